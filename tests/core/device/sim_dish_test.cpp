// The simulated dish as a device: what reaches the tuner through LNB, tone and switch, and how
// the demodulator acquires, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "base/tuning_code_values.h"
#include "device/sim/simulated_dish.h"
#include "platform/clock.h"
#include "satellites/scenario_loading.h"

namespace quillox::sim {
namespace {

Carrier MakeCarrier(double f, int32_t pol, double sr, DvbSystem system = DvbSystem::DvbS) {
    Carrier c;
    c.freqMhz = f, c.polarity = pol, c.symbolRateKsps = sr, c.system = system;
    c.fecCode = fec::k3_4, c.fecText = "3/4", c.modulation = "QPSK";
    c.requiredCnDb = 7.3, c.cnDb = 12;
    return c;
}

Scenario OneCarrier(Carrier c) {
    return Scenario{"test", {std::move(c)}, {}, {}, {}};
}

struct Tuning {
    int32_t pol, tone, lof, freq, sr = 27500, fecCode = fec::kAuto, diseqcCode = 0;
};

struct Reading {
    int32_t quality = -1, freq = -1, rate = -1, fecCode = -1, level = -1;
    float snr = -1;
};

class Bench {
public:
    explicit Bench(Scenario s, uint32_t seed = 1, DishModelParameters model = {})
        : dish(std::move(s), clock, seed, model) {}

    int Tune(const Tuning& t) {
        dish.TunerSetDiseqc(t.diseqcCode);
        dish.TunerSetPolarity(t.pol);
        dish.TunerSetLnbSelection(t.tone);
        dish.TunerSetLnbFrequency(t.lof);
        dish.TunerSetFrequency(t.freq);
        dish.TunerSetSymbolRate(t.sr);
        dish.TunerSetFec(t.fecCode);
        return dish.TunerCommit(1);
    }
    Reading Read() {
        Reading r;
        dish.TunerRefreshStatus();
        dish.TunerGetSignalQuality(r.quality);
        dish.TunerGetFrequency(r.freq);
        dish.TunerGetSymbolRate(r.rate);
        dish.TunerGetFec(r.fecCode);
        dish.TunerGetSigtre(r.level);
        dish.TunerGetSnr(r.snr);
        return r;
    }
    Reading ReadAfter(int32_t ms) {
        clock.Advance(ms);
        return Read();
    }
    // Virtual milliseconds from commit to the first reading with quality, polled every 10 ms.
    int64_t LockTime(const Tuning& t) {
        Tune(t);
        for (int64_t ms = 0; ms <= 5000; ms += 10) {
            if (Read().quality > 0) return ms;
            clock.Advance(10);
        }
        return -1;
    }

    VirtualClock clock;
    SimulatedDish dish;
};

const Tuning kHighBand{polarity::kVertical, tone::k22kHz, 10600, 11778};

TEST(SimulatedDish, LocksAfterAcquisitionAndReportsTheCarrier) {
    Carrier c = MakeCarrier(11778.4, polarity::kVertical, 27500);
    c.fecCode = fec::k5_6;
    Bench b(OneCarrier(c));
    Tuning t = kHighBand;
    t.freq = 11772;  // 6 MHz off, inside the capture range
    t.sr = 27480;    // within the rate tolerance
    b.Tune(t);
    Reading now = b.Read();
    EXPECT_EQ(now.quality, 0);  // acquisition takes time
    EXPECT_EQ(now.freq, 11772);
    EXPECT_EQ(now.rate, 27480);
    EXPECT_EQ(now.fecCode, fec::kAuto);
    Reading later = b.ReadAfter(400);
    EXPECT_GT(later.quality, 0);
    EXPECT_EQ(later.freq, 11778);
    EXPECT_EQ(later.rate, 27500);
    EXPECT_EQ(later.fecCode, fec::k5_6);
    EXPECT_NEAR(later.snr, 12, 0.5);
    // A commit starts acquisition afresh, even with the same values.
    b.dish.TunerCommit(1);
    EXPECT_EQ(b.Read().quality, 0);
}

struct PathCase {
    const char* what;
    Tuning tuning;
    bool locks;
    bool noInput;  // LNB unpowered or switch elsewhere: not even a noise floor
};

class SignalPathCase : public testing::TestWithParam<PathCase> {};

TEST_P(SignalPathCase, ShowsWhatARealDishShows) {
    Scenario s = OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500));
    s.carriers.push_back(MakeCarrier(10928, polarity::kVertical, 22000));  // image of a wrong LO
    s.carriers.back().system = DvbSystem::DvbS2;
    s.diseqcPort = 2;
    Bench b(s);
    b.Tune({polarity::kVertical, tone::kNone, 9750, 10700, 1, fec::kAuto, diseqc::kPosBOptA});
    b.Tune(GetParam().tuning);
    Reading r = b.ReadAfter(1000);
    EXPECT_EQ(r.quality > 0, GetParam().locks);
    if (GetParam().locks) {
        EXPECT_EQ(r.freq, 11778);
    }
    if (GetParam().noInput) {  // no reading, or one of nothing
        EXPECT_LE(r.snr, 0.0f);
        EXPECT_LE(r.level, 0);
    } else {
        EXPECT_GT(r.snr, 0.5f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignalPathCase,
    testing::Values(
        PathCase{"HighBand", {1, tone::k22kHz, 10600, 11778}, true, false},
        PathCase{"LowBandAlsoReachesIt", {1, tone::kNone, 9750, 11778}, true, false},
        PathCase{"LnbOff", {polarity::kOff, tone::k22kHz, 10600, 11778}, false, true},
        PathCase{"OtherPolarisation", {0, tone::k22kHz, 10600, 11778}, false, false},
        PathCase{"ToneMissing", {1, tone::kNone, 10600, 11778}, false, false},
        PathCase{"ToneOf33kHzIsNoTone", {1, tone::k33kHz, 10600, 11778}, false, false},
        PathCase{"ToneOf44kHzIsNoTone", {1, tone::k44kHz, 10600, 11778}, false, false},
        PathCase{"IfAboveTunerRange", {1, tone::kNone, 9750, 12500}, false, true},
        PathCase{"WrongFecStaged", {1, tone::k22kHz, 10600, 11778, 27500, fec::k1_2}, false, false},
        PathCase{"RightFecStaged", {1, tone::k22kHz, 10600, 11778, 27500, fec::k3_4}, true, false},
        PathCase{"SwitchOnOtherPort",
                 {1, tone::k22kHz, 10600, 11778, 27500, fec::kAuto, diseqc::kPosAOptB},
                 false,
                 true},
        PathCase{"ToneBurstKeepsOption",
                 {1, tone::k22kHz, 10600, 11778, 27500, fec::kAuto, diseqc::kSimpleB},
                 true,
                 false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(SimulatedDish, DiseqcNoneLeavesTheSwitchWhereItIs) {
    Scenario s = OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500));
    s.diseqcPort = 4;
    Bench b(s);
    Tuning t = kHighBand;
    b.Tune(t);
    EXPECT_EQ(b.ReadAfter(1000).quality, 0);  // powers up on port 1
    t.diseqcCode = diseqc::kPosBOptB;
    b.Tune(t);
    EXPECT_GT(b.ReadAfter(1000).quality, 0);
    t.diseqcCode = diseqc::kNone;
    b.Tune(t);
    EXPECT_GT(b.ReadAfter(1000).quality, 0);
}

TEST(SimulatedDish, IfOutsideTheTunerRangeFailsTheCommit) {
    Bench b(OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500)));
    EXPECT_EQ(b.Tune(kHighBand), 0);
    EXPECT_NE(b.Tune({1, tone::kNone, 9750, 12500}), 0);
    EXPECT_NE(b.Tune({1, tone::kNone, 9750, 10690}), 0);  // 940 MHz IF
}

TEST(SimulatedDish, ReadsBackWithTheLofItWasGiven) {
    Bench b(OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500)));
    // An LOF 3 MHz too high puts the tuner on the same IF 3 MHz higher: the card believes it.
    b.Tune({1, tone::k22kHz, 10603, 11781});
    EXPECT_EQ(b.ReadAfter(500).freq, 11781);
}

TEST(SimulatedDish, CBandSpectrumIsInverted) {
    Scenario s = OneCarrier(MakeCarrier(3700, polarity::kHorizontal, 27500));
    s.carriers.push_back(MakeCarrier(11778, polarity::kHorizontal, 27500));
    Bench b(s);  // no LNB named: a Ku and a C feed, chosen by the LOF sent
    for (int32_t tuned : {3694, 3700, 3706}) {
        b.Tune({0, tone::kNone, 5150, tuned});
        EXPECT_EQ(b.ReadAfter(500).freq, 3700) << tuned;
    }
    b.Tune({0, tone::kNone, 9750, 3700});  // Ku oscillator: IF far out of range
    EXPECT_EQ(b.ReadAfter(500).quality, 0);
    b.Tune({0, tone::k22kHz, 10600, 11778});
    EXPECT_GT(b.ReadAfter(500).quality, 0);

    s.lnb = LnbModel::Universal();  // a Ku-only dish has no C carriers
    Bench ku(s);
    ku.Tune({0, tone::kNone, 5150, 3700});
    EXPECT_EQ(ku.ReadAfter(500).quality, 0);
}

TEST(SimulatedDish, DvbS2RaisesTheSnrButNeverLocks) {
    Bench b(OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500, DvbSystem::DvbS2)));
    Bench empty(OneCarrier(MakeCarrier(12500, polarity::kVertical, 27500)));
    b.Tune(kHighBand);
    empty.Tune(kHighBand);
    Reading onCarrier = b.ReadAfter(3000), floor = empty.ReadAfter(3000);
    EXPECT_EQ(onCarrier.quality, 0);
    EXPECT_GT(onCarrier.snr, 6.0f);
    EXPECT_LT(floor.snr, 2.0f);
    EXPECT_GT(onCarrier.level, floor.level);
}

// The tuner's AGC seen through a narrow filter (tuned at 1000 kS/s): the carrier's raised-cosine
// spectrum, half its power at +-SR/2 (about 2.8 dB down at 12 dB C/N), the noise floor beyond
// (1.35 x SR / 2 = 18.6 MHz), in steps of the level's 5 units per dB.
TEST(SimulatedDish, StrengthTracesTheCarriersSpectrum) {
    Bench b(OneCarrier(MakeCarrier(11000, polarity::kVertical, 27500)));
    const auto levelDb = [&](int32_t mhz) {
        b.Tune({polarity::kVertical, tone::kNone, 9750, mhz, 1000});
        return b.ReadAfter(50).level / 655.35 / DefaultModel().levelPerDb;
    };
    const double centre = levelDb(11000), floor = levelDb(10975);
    for (int32_t edge : {10986, 11014}) EXPECT_NEAR(centre - levelDb(edge), 2.8, 0.6) << edge;
    EXPECT_NEAR(centre - floor, 12.3, 0.6);
    EXPECT_NEAR(levelDb(11025), floor, 0.6);
}

// As a DVB-S2 card the dish locks DVB-S2 carriers too, later than a DVB-S one of the same rate
// (frame synchronisation and LDPC come on top), and reads a rate without a code as such.
TEST(SimulatedDish, ADvbs2CardLocksDvbs2CarriersAfterLonger) {
    Scenario s = OneCarrier(MakeCarrier(11800, polarity::kVertical, 27500));
    s.carriers.push_back(MakeCarrier(11900, polarity::kVertical, 27500, DvbSystem::DvbS2));
    s.carriers.back().fecCode = fec::kNoCode, s.carriers.back().fecText = "3/5";
    DishModelParameters s2Card;
    s2Card.dvbs2 = true;
    Bench b(s, 1, s2Card);
    Tuning dvbs = kHighBand, dvbs2 = kHighBand;
    dvbs.freq = 11800;
    dvbs2.freq = 11900;
    for (int32_t rate : {27500, 0}) {
        dvbs.sr = dvbs2.sr = rate;
        const int64_t s1 = b.LockTime(dvbs), s2 = b.LockTime(dvbs2);
        EXPECT_GT(s1, 0);
        EXPECT_GE(s2 - s1, 100) << "rate " << rate;
        EXPECT_EQ(b.Read().fecCode, fec::kNoCode);
    }
}

struct CaptureCase {
    double rateKsps;
    double lockingOffsetMhz, missingOffsetMhz;
};

class CaptureRange : public testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureRange, GrowsWithTheSymbolRate) {
    const auto& p = GetParam();
    Bench b(OneCarrier(MakeCarrier(11800, polarity::kVertical, p.rateKsps)));
    for (double sign : {-1.0, 1.0}) {
        Tuning t = kHighBand;
        t.sr = static_cast<int32_t>(p.rateKsps);
        t.freq = static_cast<int32_t>(11800 + sign * p.lockingOffsetMhz);
        b.Tune(t);
        EXPECT_GT(b.ReadAfter(2000).quality, 0) << t.freq;
        t.freq = static_cast<int32_t>(11800 + sign * p.missingOffsetMhz);
        b.Tune(t);
        EXPECT_EQ(b.ReadAfter(2000).quality, 0) << t.freq;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, CaptureRange,
                         testing::Values(CaptureCase{2000, 1, 2}, CaptureCase{5000, 2, 4},
                                         CaptureCase{22000, 11, 12}, CaptureCase{27500, 14, 15}));

TEST(SimulatedDish, QualityPeaksAtTheCentreAndTheTrueRate) {
    Bench b(OneCarrier(MakeCarrier(11800, polarity::kVertical, 27500)));
    auto quality = [&](int32_t freq, int32_t sr) {
        Tuning t = kHighBand;
        t.freq = freq, t.sr = sr;
        b.Tune(t);
        return b.ReadAfter(1000).quality;
    };
    EXPECT_GT(quality(11800, 27500), quality(11806, 27500));
    EXPECT_GT(quality(11806, 27500), quality(11812, 27500));
    EXPECT_GT(quality(11800, 27500), quality(11800, 27520));
    EXPECT_GT(quality(11800, 27520), quality(11800, 27535));
    EXPECT_EQ(quality(11800, 27560), 0);
}

TEST(SimulatedDish, SearchingTheRateTakesLongerAndLongerStillForNarrowCarriers) {
    Scenario s = OneCarrier(MakeCarrier(11800, polarity::kVertical, 27500));
    s.carriers.push_back(MakeCarrier(11900, polarity::kVertical, 2000));
    Bench b(s);
    Tuning wide = kHighBand, narrow = kHighBand;
    wide.freq = 11800;
    narrow.freq = 11900, narrow.sr = 2000;
    int64_t wideFixed = b.LockTime(wide), narrowFixed = b.LockTime(narrow);
    wide.sr = narrow.sr = 0;
    int64_t wideSearch = b.LockTime(wide), narrowSearch = b.LockTime(narrow);
    EXPECT_GT(wideFixed, 0);
    EXPECT_GT(narrowFixed, wideFixed);
    EXPECT_GT(wideSearch, wideFixed);
    EXPECT_GT(narrowSearch, wideSearch);
    EXPECT_LT(narrowSearch, 1000);
}

TEST(SimulatedDish, SameSeedAndCallsGiveTheSameReadings) {
    Scenario sat = satellites::BuiltInScenario();
    auto run = [&](uint32_t seed) {
        Bench b(sat, seed);
        std::vector<float> snrs;
        for (int32_t f = 10700; f < 10800; f += 1) {
            b.Tune({0, tone::kNone, 9750, f, 0});
            Reading r = b.ReadAfter(150);
            snrs.push_back(r.snr + 1000.0f * static_cast<float>(r.quality));
        }
        return snrs;
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
}

TEST(SimulatedDish, InitializeReturnsToPowerOnState) {
    Scenario s = OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500));
    s.diseqcPort = 1;
    Bench b(s);
    Tuning t = kHighBand;
    t.diseqcCode = diseqc::kPosBOptB;
    b.Tune(t);
    EXPECT_EQ(b.dish.TunerInitialize(), 0);
    int32_t lof = -1, pol = -1;
    EXPECT_NE(b.dish.TunerGetLnbFrequency(lof), 0);  // no tune since
    b.dish.TunerGetPolarity(pol);
    EXPECT_EQ(pol, polarity::kOff);
    t.diseqcCode = diseqc::kNone;  // the switch lost power: back on port 1
    b.Tune(t);
    EXPECT_GT(b.ReadAfter(1000).quality, 0);
}

TEST(SimulatedDish, RefusesCodesOutsideTheTablesAndKeepsTheStagedValue) {
    Bench b(OneCarrier(MakeCarrier(11778, polarity::kVertical, 27500)));
    b.Tune(kHighBand);
    EXPECT_NE(b.dish.TunerSetPolarity(2), 0);
    EXPECT_NE(b.dish.TunerSetFec(7), 0);
    EXPECT_NE(b.dish.TunerSetLnbSelection(4), 0);
    EXPECT_NE(b.dish.TunerSetDiseqc(7), 0);
    EXPECT_NE(b.dish.TunerSetSymbolRate(-1), 0);
    b.dish.TunerCommit(1);
    EXPECT_GT(b.ReadAfter(1000).quality, 0);
}

TEST(SimulatedDish, TwoThreadsMayCallAtOnce) {
    Bench b(satellites::BuiltInScenario());
    std::thread status([&] {
        for (int i = 0; i < 2000; ++i) b.Read();
    });
    for (int32_t f = 10700; f < 12700; f += 1) {
        bool low = f < 11700;
        b.Tune({polarity::kVertical, low ? tone::kNone : tone::k22kHz, low ? 9750 : 10600, f});
    }
    status.join();
    int32_t freq = 0;
    b.dish.TunerRefreshStatus();
    b.dish.TunerGetFrequency(freq);
    EXPECT_GT(freq, 12000);
}

}  // namespace
}  // namespace quillox::sim

namespace quillox::sim {
namespace {

// ---- impairments: each directive's effect on what the dish reads, against the ideal dish ----

constexpr const char* kSkyCarriers =
    "freq_mhz,pol,sr_ksps,fec,system,cn_db\n"
    "11000,V,27500,3/4,DVB-S,12\n"  // low band, IF 1250
    "12600,V,27500,3/4,DVB-S,12\n"  // high band, IF 2000
    "11300,V,25000,3/4,DVB-S,12\n"  // a rate the search's table lacks
    "11500,V,22000,3/4,DVB-S,12\n"  // the table's second rate
    "11800,V,27500,3/4,DVB-S,6\n";  // 1.3 dB below error-free: only a real chip's lock holds

Tuning Low(int32_t f, int32_t sr = 27500) {
    return {polarity::kVertical, tone::kNone, 9750, f, sr};
}

// Milliseconds from the commit to the first locked reading (refreshed every 10 ms); -1: none.
int64_t LockMs(Bench& b, const Tuning& t, int64_t maxMs = 20000) {
    b.Tune(t);
    for (int64_t ms = 0; ms <= maxMs; ms += 10, b.clock.Advance(10))
        if (b.Read().quality > 0) return ms;
    return -1;
}

double StdDev(const std::vector<double>& v) {
    double mean = 0, sq = 0;
    for (double x : v) mean += x / static_cast<double>(v.size());
    for (double x : v) sq += (x - mean) * (x - mean) / static_cast<double>(v.size());
    return std::sqrt(sq);
}

// The demodulator's own reading: the first after a commit, before the device's median of three.
Reading RawAfter(Bench& b, int64_t ms) {
    b.clock.Advance(ms - 100);
    b.dish.TunerCommit(1);
    return b.ReadAfter(100);
}

// Unlocked SNR readings on an empty part of the band, raw or as the device reports them.
std::vector<double> NoiseFloor(const Scenario& s, int n, bool raw = true) {
    Bench b(s);
    b.Tune(Low(10800));
    std::vector<double> snr;
    for (int i = 0; i < n; ++i) snr.push_back(raw ? RawAfter(b, 100).snr : b.Read().snr);
    return snr;
}

struct SkyCase {
    const char* what;
    const char* directives;
    double (*measure)(const Scenario&);
    double idealLow, idealHigh, harshLow, harshHigh;
};

void PrintTo(const SkyCase& c, std::ostream* os) {
    *os << c.what;
}

class SkyImpairment : public testing::TestWithParam<SkyCase> {};

TEST_P(SkyImpairment, ChangesTheReadingsAsOnARealDish) {
    const SkyCase& c = GetParam();
    auto ideal = satellites::ParseScenarioText(kSkyCarriers, "ideal.csv");
    auto harsh =
        satellites::ParseScenarioText(std::string(c.directives) + "\n" + kSkyCarriers, "sky.csv");
    ASSERT_TRUE(ideal.scenario && harsh.scenario) << harsh.error;
    const double i = c.measure(*ideal.scenario), h = c.measure(*harsh.scenario);
    EXPECT_TRUE(i >= c.idealLow && i <= c.idealHigh) << "ideal: " << i;
    EXPECT_TRUE(h >= c.harshLow && h <= c.harshHigh) << "impaired: " << h;
}

INSTANTIATE_TEST_SUITE_P(
    Directives, SkyImpairment,
    testing::Values(
        // Reported minus true frequency: the LO error of each band, read back with the nominal LOF.
        SkyCase{"lnb_offset_low", "#! lnb-offset: 2 -3",
                [](const Scenario& s) {
                    Bench b(s);
                    return b.Tune(Low(11000)), b.ReadAfter(500).freq - 11000.0;
                },
                0, 0, -2, -2},
        SkyCase{"lnb_offset_high", "#! lnb-offset: 2 -3",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune({polarity::kVertical, tone::k22kHz, 10600, 12600});
                    return b.ReadAfter(500).freq - 12600.0;
                },
                0, 0, 3, 3},
        // Largest error of the read-back over six hours of clock time.
        SkyCase{"lnb_drift", "#! lnb-drift: 2",
                [](const Scenario& s) {
                    Bench b(s);
                    double worst = 0;
                    for (int quarter = 0; quarter < 24; ++quarter, b.clock.Advance(900000)) {
                        b.Tune(Low(11000));
                        worst = std::max(worst, std::abs(b.ReadAfter(500).freq - 11000.0));
                    }
                    return worst;
                },
                0, 0, 1, 15},
        // Symbol rate 0: the device reads the strength spectrum around the tune (33 points of
        // 20 ms), then tries the rates that fit the carrier's width at its centre, 22000 first,
        // and never a rate its table lacks; the ideal card searches the rate itself, well
        // within the shortest delay of the second method's sweep.
        SkyCase{"rate_search_list", "#! rate-search: list",
                [](const Scenario& s) {
                    Bench b(s);
                    return static_cast<double>(LockMs(b, Low(11500, 0)));
                },
                40, 100, 660, 800},
        SkyCase{"rate_search_list_unusual_rate", "#! rate-search: list",
                [](const Scenario& s) {
                    Bench b(s);
                    return static_cast<double>(LockMs(b, Low(11300, 0)));
                },
                40, 100, -1, -1},
        // stv0299 measures the rate (on 20 cards, each crystal a little off) to 2 kS/s. The
        // core's zig-zag (27.5 MS/s: steps of 1.72 MHz, 100 ms each) tries both inversions at
        // every position: a carrier 3 steps below is reached at retune 13, then 400 ms to lock.
        SkyCase{"read_back_stv0299_rate", "#! read-back: stv0299",
                [](const Scenario& s) {
                    double worst = 0;
                    for (uint32_t seed = 1; seed <= 20; ++seed) {
                        Bench b(s, seed);
                        b.Tune(Low(11000));
                        worst = std::max(worst, std::abs(b.ReadAfter(3000).rate - 27500.0));
                    }
                    return worst;
                },
                0, 0, 2, 2},
        SkyCase{"read_back_stv0299_lock_time", "#! read-back: stv0299",
                [](const Scenario& s) {
                    Bench b(s);
                    return static_cast<double>(LockMs(b, Low(11006)));
                },
                50, 150, 1700, 1720},
        SkyCase{"read_back_stv0299_locks_below_error_free", "#! read-back: stv0299",
                [](const Scenario& s) {
                    Bench b(s);
                    return LockMs(b, Low(11800)) >= 0 ? 1.0 : 0.0;
                },
                0, 0, 1, 1},
        // mt312 reads back the tuned frequency, and captures only within 3 MHz.
        SkyCase{"read_back_mt312_frequency", "#! read-back: mt312",
                [](const Scenario& s) {
                    Bench b(s);
                    return b.Tune(Low(11002)), b.ReadAfter(3000).freq + 0.0;
                },
                11000, 11000, 11002, 11002},
        SkyCase{"read_back_mt312_capture", "#! read-back: mt312",
                [](const Scenario& s) {
                    Bench b(s);
                    return b.Tune(Low(11005)), b.ReadAfter(3000).quality + 0.0;
                },
                1, 100, 0, 0},
        SkyCase{"noise_spread", "#! noise-db: 1",
                [](const Scenario& s) { return StdDev(NoiseFloor(s, 4000)); }, 0.15, 0.25, 0.9,
                1.3},
        SkyCase{"noise_outliers", "#! noise-db: 1",
                [](const Scenario& s) {
                    auto snr = NoiseFloor(s, 4000);
                    return *std::max_element(snr.begin(), snr.end());
                },
                1, 1.4, 7, 16},
        // The device's median of three takes out the outliers and narrows the rest.
        SkyCase{"noise_as_the_device_reports_it", "#! noise-db: 1",
                [](const Scenario& s) {
                    auto snr = NoiseFloor(s, 4000, false);
                    return *std::max_element(snr.begin(), snr.end());
                },
                1, 1.4, 2, 5},
        // Scintillation of 2 dB over 20 minutes, and how little it moves within 100 ms.
        SkyCase{"scintillation_spread", "#! scintillation-db: 2",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune(Low(11000));
                    std::vector<double> snr;
                    for (int i = 0; i < 240; ++i) snr.push_back(RawAfter(b, 5000).snr);
                    return StdDev(snr);
                },
                0, 0.25, 1.2, 2.5},
        SkyCase{"scintillation_is_slow", "#! scintillation-db: 2",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune(Low(11000));
                    double sum = 0, last = b.ReadAfter(1000).snr;
                    for (int i = 0; i < 200; ++i) {
                        const double snr = b.ReadAfter(100).snr;
                        sum += std::abs(snr - last) / 200, last = snr;
                    }
                    return sum;
                },
                0, 0.3, 0, 0.4},
        // One carrier's C/N every 30 s over an hour, and how little it moves within 2 s.
        SkyCase{"link_spread", "#! link-spread-db: 3",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune(Low(11000));
                    std::vector<double> snr;
                    for (int i = 0; i < 120; ++i) snr.push_back(RawAfter(b, 30000).snr);
                    return StdDev(snr);
                },
                0, 0.25, 1.8, 4},
        SkyCase{"link_spread_is_slow", "#! link-spread-db: 3",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune(Low(11000));
                    const double before = b.ReadAfter(45000).snr;
                    return std::abs(b.ReadAfter(2000).snr - before);
                },
                0, 0.6, 0, 1.2},
        // The vertical carrier seen on horizontal 6 dB down: energy, no lock.
        SkyCase{"xpd", "#! xpd-db: 6",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune({polarity::kHorizontal, tone::kNone, 9750, 11000});
                    Reading r = b.ReadAfter(1000);
                    return r.quality > 0 ? -1.0 : r.snr;
                },
                0.5, 1.5, 6, 9},
        // Locked SNR at IF 2000 minus at IF 1250 with -4 dB across 950-2150 MHz.
        SkyCase{"if_tilt", "#! if-tilt-db: -4",
                [](const Scenario& s) {
                    Bench b(s);
                    b.Tune({polarity::kVertical, tone::k22kHz, 10600, 12600});
                    const double high = b.ReadAfter(1000).snr;
                    b.Tune(Low(11000));
                    return high - b.ReadAfter(1000).snr;
                },
                -0.7, 0.7, -3.2, -1.8}),
    [](const testing::TestParamInfo<SkyCase>& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace quillox::sim
