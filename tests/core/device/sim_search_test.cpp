// The search methods of the program, each re-enacted by a small driver with the jobs' own calls
// and waits, against the shipped satellites in virtual time: the simulated dish must let each
// method find what it finds on a real card.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "device/sim/dish_model.h"
#include "device/sim/scenario.h"
#include "device/sim/simulated_dish.h"
#include "device/tuning_codes.h"
#include "platform/clock.h"

namespace quillox::sim {
namespace {

Scenario Satellite(const std::string& file) {
    ScenarioLoadResult loaded =
        LoadScenarioFile(std::string(QUILLOX_DATA_DIR) + "/satellites/" + file);
    EXPECT_TRUE(loaded.scenario) << loaded.error;
    return loaded.scenario.value_or(Scenario{});
}

// The program's rounding of SNR readings before any threshold test.
double RoundToTenth(double x) {
    double y = x * 10.0;
    double m = std::trunc(y);
    double d = std::trunc(static_cast<double>((y - m) * 9.999999999999999445L));
    if (d >= 5) m += 1;
    return m * 0.1;
}

struct Band {
    const char* name;
    int32_t lofLow, lofSwitch, lofHigh;
    int32_t start, end;
};
constexpr Band kKu{"Ku", 9750, 11700, 10600, 10700, 12750};
constexpr Band kC{"C", 5150, 0, 5150, 3400, 4200};

bool InBand(const Band& band, double mhz) {
    return mhz >= band.start && mhz <= band.end;
}

// The tuning step every job uses: LNB band by the switch frequency, then LOF, frequency, commit.
void TuneTo(TunerDevice& t, const Band& band, int32_t f) {
    bool low = band.lofSwitch == 0 || f < band.lofSwitch;
    t.TunerSetLnbSelection(low ? tone::kNone : tone::k22kHz);
    t.TunerSetLnbFrequency(low ? band.lofLow : band.lofHigh);
    t.TunerSetFrequency(f);
    t.TunerCommit(1);
}

// The range loop of every job: the last value worked on is exactly `end`.
template <class Body>
void ForEachStep(int32_t start, int32_t end, int32_t step, Body body) {
    for (int32_t x = start; x <= end;) {
        if (!body(x)) return;
        if (x < end && x + step > end) x = end - step;
        x += step;
    }
}

int32_t Quality(TunerDevice& t) {
    int32_t q = 0;
    t.TunerRefreshStatus();
    t.TunerGetSignalQuality(q);
    return q;
}

double RoundedSnr(TunerDevice& t) {
    float x = 0;
    t.TunerRefreshStatus();
    t.TunerGetSnr(x);
    return RoundToTenth(x);
}

struct Rig {
    explicit Rig(Scenario s, uint32_t seed = 7) : dish(std::move(s), clock, seed) {}
    VirtualClock clock;
    SimulatedDish dish;
};

// ---- a. fixed-rate sweep: probable frequencies -----------------------------------------------

std::vector<int32_t> MergeHits(const std::vector<int32_t>& hits) {
    std::vector<int32_t> merged;
    for (size_t i = 0; i < hits.size();) {
        size_t j = i;
        while (j + 1 < hits.size() && hits[j + 1] - hits[j] <= 19) ++j;
        merged.push_back(hits[i] + (hits[j] - hits[i]) / 2);
        i = j + 1;
    }
    return merged;
}

std::vector<int32_t> ProbableFrequencies(Rig& rig, const Band& band, int32_t pol) {
    TunerDevice& t = rig.dish;
    t.TunerSetPolarity(pol);
    t.TunerSetFec(fec::kAuto);
    t.TunerCommit(1);
    t.TunerSetSymbolRate(35000);
    t.TunerCommit(1);
    rig.clock.Sleep(500);
    std::vector<int32_t> hits;
    ForEachStep(band.start, band.end, 5, [&](int32_t f) {
        TuneTo(t, band, f);
        rig.clock.Sleep(100);
        for (int i = 0; i < 33; ++i) {
            rig.clock.Sleep(20);
            if (RoundedSnr(t) > 3.6) {
                int32_t g = 0;
                t.TunerRefreshStatus();
                t.TunerGetFrequency(g);
                hits.push_back(g);
                break;
            }
        }
        return true;
    });
    return MergeHits(hits);
}

struct SatelliteBand {
    const char* file;
    Band band;
};

void PrintTo(const SatelliteBand& sb, std::ostream* os) {
    *os << sb.file << " " << sb.band.name;
}

std::string Name(const testing::TestParamInfo<SatelliteBand>& info) {
    std::string file = info.param.file;
    return "Sat" + file.substr(0, file.find('.')) + "_" + info.param.band.name;
}

const std::vector<SatelliteBand> kSatelliteBands{{"0192E.csv", kKu},
                                                 {"0130E.csv", kKu},
                                                 {"0282E.csv", kKu},
                                                 {"0400E.csv", kC},
                                                 {"0400E.csv", kKu}};

bool FlaggedOverlap(const Carrier& c) {
    return c.note.find("overlaps") != std::string::npos;
}

class ProbableFrequencyScan : public testing::TestWithParam<SatelliteBand> {};

TEST_P(ProbableFrequencyScan, GivesOneFrequencyNearEachWideCarrier) {
    const Scenario sat = Satellite(GetParam().file);
    const Band& band = GetParam().band;
    int checked = 0;
    for (int32_t pol : {polarity::kVertical, polarity::kHorizontal}) {
        Rig rig(sat);
        std::vector<int32_t> found = ProbableFrequencies(rig, band, pol);
        for (const Carrier& c : sat.carriers) {
            if (c.polarity != pol || !InBand(band, c.freqMhz) || c.symbolRateKsps < 15000) continue;
            auto near = std::count_if(found.begin(), found.end(),
                                      [&](int32_t p) { return std::abs(p - c.freqMhz) <= 4; });
            if (FlaggedOverlap(c)) {
                EXPECT_LE(near, 1) << c.freqMhz;  // may have merged with its partner
            } else {
                EXPECT_EQ(near, 1) << "carrier " << c.freqMhz << " " << PolarityLetter(pol);
                ++checked;
            }
        }
        // Every probable frequency comes from a carrier, never from noise.
        for (int32_t p : found) {
            bool explained = std::any_of(sat.carriers.begin(), sat.carriers.end(), [&](auto& c) {
                return c.polarity == pol &&
                       std::abs(p - c.freqMhz) <= 0.7 * c.symbolRateKsps / 1000;
            });
            EXPECT_TRUE(explained) << "phantom probable frequency " << p;
        }
    }
    EXPECT_GT(checked, 0);
}

// ---- b. symbol-rate list trials at a probable frequency --------------------------------------

const std::vector<int32_t> kDefaultRates{
    27500, 20000, 30000, 22000, 21096, 13332, 26000, 26662, 28000, 24500, 27800, 19510, 26475,
    22500, 27685, 28126, 28066, 15000, 30778, 21500, 27000, 27490, 21300, 22425, 28340, 19534,
    19845, 26036, 26694, 15548, 20150, 20600, 25000, 25600, 25771, 26850, 29270, 29950, 17000};

int32_t SettleMs(size_t listIndex) {
    return listIndex <= 10 ? 4500 : listIndex <= 20 ? 1000 : 250;
}

struct TrialResult {
    bool found = false;
    bool lockedWithinDwell = false;
    int32_t trialRate = 0, freq = 0, rate = 0;
};

TrialResult TryRates(Rig& rig, const Band& band, int32_t pol, int32_t probable,
                     const std::vector<int32_t>& rates) {
    TunerDevice& t = rig.dish;
    t.TunerSetPolarity(pol);
    t.TunerSetFec(fec::kAuto);
    t.TunerCommit(1);
    TuneTo(t, band, probable);
    rig.clock.Sleep(1000);
    for (size_t i = 0; i < rates.size(); ++i) {
        t.TunerSetSymbolRate(rates[i]);
        t.TunerCommit(1);
        if (Quality(t) > 0) rig.clock.Sleep(SettleMs(i));
        rig.clock.Sleep(1500);
        double snr = RoundedSnr(t);
        bool lockedWithinDwell = Quality(t) > 0;  // same instant as the SNR reading
        if (snr > 6.0) rig.clock.Sleep(600);
        if (Quality(t) > 0) {
            TrialResult r{true, lockedWithinDwell, rates[i]};
            t.TunerRefreshStatus();
            t.TunerGetFrequency(r.freq);
            t.TunerGetSymbolRate(r.rate);
            return r;
        }
    }
    return {};
}

class SymbolRateListScan : public testing::TestWithParam<SatelliteBand> {};

TEST_P(SymbolRateListScan, LocksOnlyWhenTheTrialRateMatchesTheCarrier) {
    const Scenario sat = Satellite(GetParam().file);
    const Band& band = GetParam().band;
    for (int32_t pol : {polarity::kVertical, polarity::kHorizontal}) {
        Rig sweep(sat);
        std::vector<int32_t> found = ProbableFrequencies(sweep, band, pol);
        for (const Carrier& c : sat.carriers) {
            if (c.polarity != pol || !InBand(band, c.freqMhz) || c.symbolRateKsps < 15000 ||
                FlaggedOverlap(c))
                continue;
            auto p = std::find_if(found.begin(), found.end(),
                                  [&](int32_t f) { return std::abs(f - c.freqMhz) <= 4; });
            ASSERT_NE(p, found.end()) << c.freqMhz;
            std::vector<int32_t> rates = kDefaultRates;
            int32_t own = static_cast<int32_t>(std::lround(c.symbolRateKsps));
            if (std::find(rates.begin(), rates.end(), own) == rates.end()) rates.push_back(own);
            Rig rig(sat);
            TrialResult r = TryRates(rig, band, pol, *p, rates);
            if (c.system == DvbSystem::DvbS2) {
                EXPECT_FALSE(r.found) << "DVB-S2 carrier " << c.freqMhz << " locked";
                continue;
            }
            ASSERT_TRUE(r.found) << "carrier " << c.freqMhz << " at " << *p;
            EXPECT_TRUE(r.lockedWithinDwell) << c.freqMhz;
            EXPECT_LE(std::abs(r.trialRate - c.symbolRateKsps), 50) << c.freqMhz;
            EXPECT_EQ(r.freq, std::lround(c.freqMhz));
            EXPECT_EQ(r.rate, own);
        }
    }
}

// ---- c. automatic-rate sweep, d. the confirmation walk ---------------------------------------

struct Detection {
    int32_t tuned = 0, freq = 0, rate = 0;
};

std::vector<Detection> AutoRateSweep(Rig& rig, const Band& band, int32_t pol, int32_t start,
                                     int32_t end, int32_t step) {
    TunerDevice& t = rig.dish;
    t.TunerSetFec(fec::kAuto);
    t.TunerCommit(1);
    rig.clock.Sleep(1000);
    t.TunerSetPolarity(pol);
    t.TunerSetSymbolRate(0);
    t.TunerCommit(1);
    std::vector<Detection> detections;
    ForEachStep(start, end, step, [&](int32_t f) {
        TuneTo(t, band, f);
        rig.clock.Sleep(100);
        for (int i = 0; i < 33; ++i) {
            rig.clock.Sleep(20);
            int32_t q = Quality(t), r = 0;
            t.TunerGetSymbolRate(r);
            if (q > 0 && r >= 0 && r <= 45000) {
                Detection d{f};
                t.TunerGetFrequency(d.freq);
                d.rate = r;
                detections.push_back(d);
                break;
            }
        }
        return true;
    });
    return detections;
}

bool Locks(const Carrier& c) {
    return c.system == DvbSystem::DvbS;
}

class AutoRateSweepScan : public testing::TestWithParam<SatelliteBand> {};

TEST_P(AutoRateSweepScan, DetectsEveryDvbSCarrierOfFiveMegasymbolsOrMore) {
    const Scenario sat = Satellite(GetParam().file);
    const Band& band = GetParam().band;
    for (int32_t pol : {polarity::kVertical, polarity::kHorizontal}) {
        Rig rig(sat);
        auto detections = AutoRateSweep(rig, band, pol, band.start, band.end, 5);
        std::set<int32_t> detected;
        for (const Detection& d : detections) {
            detected.insert(d.freq);
            auto source = std::find_if(sat.carriers.begin(), sat.carriers.end(), [&](auto& c) {
                return c.polarity == pol && Locks(c) && std::lround(c.freqMhz) == d.freq;
            });
            ASSERT_NE(source, sat.carriers.end()) << "no DVB-S carrier at " << d.freq;
            EXPECT_EQ(d.rate, std::lround(source->symbolRateKsps));
        }
        for (const Carrier& c : sat.carriers) {
            if (c.polarity == pol && InBand(band, c.freqMhz) && Locks(c) &&
                c.symbolRateKsps >= 5000) {
                EXPECT_TRUE(detected.count(std::lround(c.freqMhz))) << c.freqMhz;
            }
        }
    }
}

TEST(AutoRateSweepScan, NarrowCarriersNeedASmallerStep) {
    // Both carriers sit 2.5 MHz from the nearest frequency of a 5 MHz sweep from 11000.
    auto carrier = [](double f, double sr) {
        Carrier c;
        c.freqMhz = f, c.polarity = polarity::kVertical, c.symbolRateKsps = sr;
        c.fecCode = fec::k3_4, c.fecText = "3/4", c.modulation = "QPSK";
        c.requiredCnDb = 7.3, c.cnDb = 12;
        return c;
    };
    Scenario s{"narrow", {carrier(11102.5, 5000), carrier(11202.5, 3000)}, {}, {}};
    auto detectedWith = [&](int32_t step) {
        Rig rig(s);
        std::set<int32_t> found;
        for (auto& d : AutoRateSweep(rig, kKu, polarity::kVertical, 11000, 11300, step))
            found.insert(d.freq);
        return found;
    };
    EXPECT_EQ(detectedWith(5), (std::set<int32_t>{11103}));
    EXPECT_EQ(detectedWith(1), (std::set<int32_t>{11103, 11203}));
}

struct WalkResult {
    std::map<int32_t, int32_t> quality;  // frequency -> last quality read there
    bool downEndedInside = false, upEndedInside = false, signalReturned = true;
    int32_t centre = 0;
};

bool WaitForSignal(Rig& rig) {
    rig.clock.Sleep(50);
    for (int i = 0; i < 400; ++i) {  // the job waits without limit
        rig.clock.Sleep(50);
        if (Quality(rig.dish) != 0) return true;
    }
    return false;
}

WalkResult ConfirmTransponder(Rig& rig, const Band& band, int32_t fc) {
    const int32_t v = 2500;
    int32_t q[61] = {};
    WalkResult w;
    auto walk = [&](int dir) {
        TuneTo(rig.dish, band, fc);
        w.signalReturned = w.signalReturned && WaitForSignal(rig);
        for (int i = 30; i >= 0 && i <= 60; i += dir) {
            TuneTo(rig.dish, band, fc - 60 + 2 * i);
            for (int k = 0; k < 3; ++k) rig.clock.Sleep(20), Quality(rig.dish);
            rig.clock.Sleep(v - 60);
            q[i] = Quality(rig.dish);
            if (q[i] == 0) return true;
        }
        return false;
    };
    w.downEndedInside = walk(-1);
    w.upEndedInside = walk(+1);
    double total = 0;
    int64_t weight = 0;
    for (int i = 0; i <= 60; ++i) {
        int32_t f = fc - 60 + 2 * i;
        total += static_cast<double>(f) * q[i];
        weight += q[i];
        if (q[i] > 0) w.quality[f] = q[i];
    }
    w.centre = weight != 0 ? static_cast<int32_t>(static_cast<int64_t>(total) / weight) : fc;
    return w;
}

TEST_P(AutoRateSweepScan, ConfirmationWalkCentresOnTheCarrier) {
    const Scenario sat = Satellite(GetParam().file);
    const Band& band = GetParam().band;
    int walks = 0;
    for (int32_t pol : {polarity::kVertical, polarity::kHorizontal}) {
        Rig sweep(sat);
        std::map<int32_t, int32_t> firstDetection;  // carrier frequency -> sweep frequency
        for (auto& d : AutoRateSweep(sweep, band, pol, band.start, band.end, 5))
            firstDetection.emplace(d.freq, d.tuned);
        for (const Carrier& c : sat.carriers) {
            auto hit = firstDetection.find(std::lround(c.freqMhz));
            if (c.polarity != pol || !Locks(c) || hit == firstDetection.end()) continue;
            Rig rig(sat);
            rig.dish.TunerSetPolarity(pol);
            rig.dish.TunerSetSymbolRate(0);
            WalkResult w = ConfirmTransponder(rig, band, hit->second);
            ++walks;
            ASSERT_TRUE(w.signalReturned) << c.freqMhz;
            EXPECT_TRUE(w.downEndedInside && w.upEndedInside) << c.freqMhz;
            EXPECT_GE(w.quality.size(), c.symbolRateKsps >= 15000 ? 5u : 2u) << c.freqMhz;
            auto peak = std::max_element(w.quality.begin(), w.quality.end(),
                                         [](auto& a, auto& b) { return a.second < b.second; });
            EXPECT_LT(std::abs(peak->first - c.freqMhz), 2.0) << c.freqMhz;  // nearest step
            EXPECT_LE(std::abs(w.centre - c.freqMhz), 1.0) << c.freqMhz;
        }
    }
    if (std::string(GetParam().file) != "0400E.csv") {
        EXPECT_GT(walks, 20);
    }
}

// ---- e. symbol-rate finder -------------------------------------------------------------------

int32_t FinderSettleMs(int32_t rate) {
    return rate <= 10 ? 4500 : rate <= 20 ? 1000 : 250;
}

struct Try {
    int32_t quality = 0, reportedRate = 0;
};

// One try as the finder makes it: set, commit, settle if a signal shows, dwell, SNR, extra dwell.
Try FinderTry(Rig& rig, int32_t rate, int32_t dwell, int32_t extra, bool extraOnlyWithoutLock) {
    TunerDevice& t = rig.dish;
    t.TunerSetSymbolRate(rate);
    t.TunerCommit(1);
    int32_t q = Quality(t);
    if (q > 0) rig.clock.Sleep(FinderSettleMs(rate));
    rig.clock.Sleep(dwell);
    if (extraOnlyWithoutLock) q = Quality(t);
    if (RoundedSnr(t) > 6.0 && (!extraOnlyWithoutLock || q == 0)) rig.clock.Sleep(extra);
    Try result;
    result.quality = Quality(t);
    t.TunerGetSymbolRate(result.reportedRate);
    return result;
}

struct FinderResult {
    int32_t coarse = 0;
    std::vector<std::pair<int32_t, int32_t>> normal, best;  // (rate tried, quality)
    bool normalEndsInside = true;
};

FinderResult FindSymbolRate(Rig& rig, const Band& band, const Carrier& c) {
    TunerDevice& t = rig.dish;
    TuneTo(t, band, static_cast<int32_t>(std::lround(c.freqMhz)));
    t.TunerSetPolarity(c.polarity);
    t.TunerSetSymbolRate(1);
    t.TunerSetFec(fec::kAuto);
    t.TunerCommit(1);
    FinderResult out;
    ForEachStep(1, 45000, 20, [&](int32_t r) {
        Try k = FinderTry(rig, r, 300, 2000, false);
        if (k.quality > 0) out.coarse = k.reportedRate;
        return k.quality == 0;
    });
    if (out.coarse == 0) return out;

    // NORMAL: walks of 4 kS/s from the centre, up then down, each until quality 0.
    const int32_t m = out.coarse;
    const int32_t dwell = m <= 10000 ? 4000 : 2000;
    auto walk = [&](int dir) {
        for (int i = 60; i >= 0 && i <= 120; i += dir) {
            int32_t rate = std::clamp(m - 240 + 4 * i, 1, 45000);
            int32_t q = FinderTry(rig, rate, dwell, dwell, true).quality;
            out.normal.emplace_back(rate, q);
            if (q == 0) return;
        }
        out.normalEndsInside = false;
    };
    walk(+1);
    t.TunerSetSymbolRate(m);
    t.TunerCommit(1);
    if (!WaitForSignal(rig)) return out;
    walk(-1);

    // BEST: every 5 kS/s over +-65 around the coarse result.
    ForEachStep(std::max(1, m - 65), std::min(45000, m + 65), 5, [&](int32_t r) {
        out.best.emplace_back(r, FinderTry(rig, r, 2000, 2000, false).quality);
        return true;
    });
    return out;
}

int32_t PeakRate(const std::vector<std::pair<int32_t, int32_t>>& tries) {
    return std::max_element(tries.begin(), tries.end(),
                            [](auto& a, auto& b) { return a.second < b.second; })
        ->first;
}

class SymbolRateFinder : public testing::TestWithParam<SatelliteBand> {};

TEST_P(SymbolRateFinder, LocksOnEveryDvbSCarrierAndPeaksAtItsRate) {
    const Scenario sat = Satellite(GetParam().file);
    const Band& band = GetParam().band;
    for (const Carrier& c : sat.carriers) {
        if (!InBand(band, c.freqMhz) || !Locks(c) || c.symbolRateKsps < 1000) continue;
        Rig rig(sat);
        FinderResult f = FindSymbolRate(rig, band, c);
        const int32_t own = static_cast<int32_t>(std::lround(c.symbolRateKsps));
        ASSERT_EQ(f.coarse, own) << c.freqMhz;
        EXPECT_TRUE(f.normalEndsInside) << c.freqMhz;
        EXPECT_EQ(PeakRate(f.normal), own) << c.freqMhz;
        ASSERT_FALSE(f.best.empty());
        EXPECT_EQ(f.best.front().second, 0) << c.freqMhz;
        EXPECT_EQ(f.best.back().second, 0) << c.freqMhz;
        EXPECT_EQ(PeakRate(f.best), own) << c.freqMhz;
    }
}

const std::vector<SatelliteBand> kFinderBands{
    {"0192E.csv", kKu}, {"0130E.csv", kKu}, {"0282E.csv", kKu}, {"0400E.csv", kC}};

INSTANTIATE_TEST_SUITE_P(ShippedSatellites, ProbableFrequencyScan,
                         testing::ValuesIn(kSatelliteBands), Name);
INSTANTIATE_TEST_SUITE_P(ShippedSatellites, SymbolRateListScan, testing::ValuesIn(kSatelliteBands),
                         Name);
INSTANTIATE_TEST_SUITE_P(ShippedSatellites, AutoRateSweepScan, testing::ValuesIn(kFinderBands),
                         Name);
INSTANTIATE_TEST_SUITE_P(ShippedSatellites, SymbolRateFinder, testing::ValuesIn(kFinderBands),
                         Name);

}  // namespace
}  // namespace quillox::sim
