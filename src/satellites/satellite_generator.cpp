#include "satellites/satellite_generator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "base/number_text.h"
#include "base/seeded_hash.h"
#include "base/tuning_code_values.h"
#include "satellites/carrier_to_noise.h"

namespace quillox::satellites {
namespace {

constexpr double kBandLowMhz = 10700, kBandHighMhz = 12750;
constexpr double kOccupied = 1.35;  // occupied width per symbol rate (roll-off 0.35)

// Per-polarity slot widths of the rasters in use: 29.5 MHz (26 MHz transponders) and the
// 19.18 MHz channel raster, whose channels alternate polarity (38.36 MHz per polarity).
constexpr std::array<double, 2> kSlotMhz{29.5, 38.36};

constexpr std::array<double, 10> kBroadcastRates{27500, 22000, 30000, 29900, 28000,
                                                 27000, 26000, 24500, 23000, 20000};
constexpr std::array<double, 12> kFeedRates{6666, 7200, 13333, 5632, 4340,  3214,
                                            3000, 2604, 2000,  6111, 11000, 15000};
constexpr double kOddRateMin = 2000, kOddRateMax = 45000;

// Code rates as often as operators pick them (a rate listed twice is twice as likely).
constexpr std::array<std::string_view, 7> kDvbsRates{"3/4", "3/4", "5/6", "5/6",
                                                     "2/3", "7/8", "1/2"};
constexpr std::array<std::string_view, 9> kQpskRates{"3/4", "2/3", "5/6",  "1/2", "3/5",
                                                     "4/5", "8/9", "9/10", "3/4"};
constexpr std::array<std::string_view, 8> kPsk8Rates{"2/3", "3/4",  "5/6", "3/5",
                                                     "8/9", "9/10", "2/3", "3/4"};

// A stream of draws from one seed: the seed hashed with a counter, no shared state.
class Draws {
public:
    explicit Draws(uint32_t seed) : seed_(seed) {}
    double Unit() { return (SignedUnit(HashOf(seed_, counter_++, 0x5A7E111E)) + 1.0) / 2.0; }
    double Between(double low, double high) { return low + (high - low) * Unit(); }
    bool Chance(double p) { return Unit() < p; }
    size_t Index(size_t n) { return std::min(n - 1, static_cast<size_t>(Unit() * n)); }
    template <class T, size_t N>
    T Pick(const std::array<T, N>& items) {
        return items[Index(N)];
    }

private:
    uint64_t seed_;
    uint64_t counter_ = 0;
};

// One polarity's carriers, placed from the foot of the band upwards. `floor` is the upper edge
// of the highest carrier placed so far: a carrier goes in only above it and below the band's top.
class PolarityPlan {
public:
    PolarityPlan(int32_t polarity, std::vector<Carrier>& out) : polarity_(polarity), out_(out) {}

    double floor() const { return floor_; }

    bool Fits(double centreMhz, double rateKsps) const {
        const double half = kOccupied * rateKsps / 2000.0;
        return centreMhz - half >= floor_ && centreMhz + half <= kBandHighMhz;
    }
    bool Place(double centreMhz, double rateKsps) {
        if (!Fits(centreMhz, rateKsps)) return false;
        Carrier c;
        c.freqMhz = centreMhz;
        c.polarity = polarity_;
        c.symbolRateKsps = rateKsps;
        out_.push_back(c);
        floor_ = centreMhz + kOccupied * rateKsps / 2000.0;
        return true;
    }
    // The highest whole rate a carrier at centreMhz may have (0 when there is no room).
    double RoomAt(double centreMhz) const {
        const double half = std::min(centreMhz - floor_, kBandHighMhz - centreMhz);
        return half <= 0 ? 0 : std::floor(2000.0 * half / kOccupied);
    }

private:
    int32_t polarity_;
    std::vector<Carrier>& out_;
    double floor_ = kBandLowMhz;
};

// A broadcast carrier on the slot's centre: the drawn rate, or when the carrier below leaves too
// little room the widest broadcast rate that fits. False when none does.
bool PlaceBroadcast(Draws& draws, PolarityPlan& plan, double centre) {
    if (plan.Place(centre, draws.Pick(kBroadcastRates))) return true;
    double widest = 0;
    for (double rate : kBroadcastRates)
        if (plan.Fits(centre, rate)) widest = std::max(widest, rate);
    return widest > 0 && plan.Place(centre, widest);
}

// An odd rate anywhere in 2000..45000 kS/s, narrowed to the room the slot leaves.
void PlaceOddRate(Draws& draws, PolarityPlan& plan, double centre) {
    const double room = std::min(plan.RoomAt(centre), kOddRateMax);
    if (room < kOddRateMin) return;
    plan.Place(centre, std::floor(draws.Between(kOddRateMin, room)));
}

// Feed and SCPC carriers packed into the slot [low, high] with guard gaps of about 0.2 x rate,
// mostly of one rate, now and then a position left free. Centres on a 0.25 MHz step.
void PlaceCrowded(Draws& draws, PolarityPlan& plan, double low, double high) {
    double rate = draws.Pick(kFeedRates);
    double edge = std::max(low, plan.floor());
    while (true) {
        if (draws.Chance(0.3)) rate = draws.Pick(kFeedRates);
        const double gap = draws.Between(0.15, 0.25) * rate / 1000.0;
        const double centre = std::ceil((edge + gap + kOccupied * rate / 2000.0) * 4.0) / 4.0;
        if (centre + kOccupied * rate / 2000.0 > high) return;
        if (draws.Chance(0.1)) {  // an unused position
            edge = centre + kOccupied * rate / 2000.0;
            continue;
        }
        if (!plan.Place(centre, rate)) return;
        edge = plan.floor();
    }
}

std::map<std::string_view, int32_t> TunerFecCodes() {
    return {{"1/2", fec::k1_2},
            {"2/3", fec::k2_3},
            {"3/4", fec::k3_4},
            {"5/6", fec::k5_6},
            {"7/8", fec::k7_8}};
}

// System, modulation and code rate of each carrier: exactly round(share x count) of them DVB-S2.
void AssignSystems(Draws& draws, std::vector<Carrier>& carriers) {
    std::vector<size_t> order(carriers.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[draws.Index(i)]);
    const double share = draws.Between(0.32, 0.58);
    const auto s2Count =
        static_cast<size_t>(std::lround(share * static_cast<double>(carriers.size())));
    const auto codes = TunerFecCodes();
    for (size_t k = 0; k < order.size(); ++k) {
        Carrier& c = carriers[order[k]];
        if (k < s2Count) {
            c.system = DvbSystem::DvbS2;
            const bool psk8 = draws.Chance(0.5);
            c.modulation = psk8 ? "8PSK" : "QPSK";
            c.fecText = std::string(psk8 ? draws.Pick(kPsk8Rates) : draws.Pick(kQpskRates));
        } else {
            c.system = DvbSystem::DvbS;
            c.modulation = "QPSK";
            c.fecText = std::string(draws.Pick(kDvbsRates));
        }
        const auto code = codes.find(c.fecText);
        c.fecCode = code == codes.end() ? fec::kNoCode : code->second;
        c.thresholdRate = c.fecText;
        c.requiredCnDb = RequiredCnDb(c.system, c.modulation, c.thresholdRate);
        c.cnDb = DerivedCnDb(c);
    }
}

}  // namespace

Scenario GenerateSatellite(uint32_t seed) {
    Draws draws(seed);
    Scenario s;
    s.name = "Generated " + std::to_string(seed);
    const double slot = draws.Pick(kSlotMhz);
    // The first slot's centre a little above half a slot from the band's foot; the other
    // polarity's slots half a slot higher.
    const double first = kBandLowMhz + slot / 2 + draws.Between(0, slot / 4);
    const int32_t lowerPolarity = draws.Chance(0.5) ? polarity::kHorizontal : polarity::kVertical;
    for (int32_t pol : {polarity::kHorizontal, polarity::kVertical}) {
        PolarityPlan plan(pol, s.carriers);
        const double start = pol == lowerPolarity ? first : first + slot / 2;
        for (double centre = start; centre < kBandHighMhz; centre += slot) {
            const double kind = draws.Unit();
            if (kind < 0.12) continue;  // an empty slot
            const double rounded = std::round(centre);
            if (kind < 0.70) {
                if (!PlaceBroadcast(draws, plan, rounded))
                    PlaceCrowded(draws, plan, centre - slot / 2, centre + slot / 2);
            } else if (kind < 0.93) {
                PlaceCrowded(draws, plan, centre - slot / 2, centre + slot / 2);
            } else {
                PlaceOddRate(draws, plan, rounded);
            }
        }
    }
    std::sort(s.carriers.begin(), s.carriers.end(), [](const Carrier& a, const Carrier& b) {
        return std::pair{a.freqMhz, a.polarity} < std::pair{b.freqMhz, b.polarity};
    });
    AssignSystems(draws, s.carriers);
    return s;
}

std::string SatelliteTableText(const Scenario& s) {
    std::string text = "#! name: " + s.name + "\n";
    if (s.lnb) {
        switch (s.lnb->kind) {
            case LnbModel::Kind::Universal:
                text += "#! lnb: universal\n";
                break;
            case LnbModel::Kind::CBand:
                text += "#! lnb: c-band\n";
                break;
            case LnbModel::Kind::Custom:
                text += "#! lnb: custom " + ReadingText(s.lnb->loLowMhz) + " " +
                        ReadingText(s.lnb->loHighMhz) + "\n";
                break;
        }
    }
    if (s.diseqcPort) text += "#! diseqc-port: " + std::to_string(*s.diseqcPort) + "\n";
    const bool ownRatios = std::any_of(s.carriers.begin(), s.carriers.end(), [](const Carrier& c) {
        return std::abs(c.cnDb - DerivedCnDb(c)) > 1e-9;
    });
    text += ownRatios ? "freq_mhz,pol,sr_ksps,fec,system,modulation,cn_db,note\n"
                      : "freq_mhz,pol,sr_ksps,fec,system,modulation,note\n";
    for (const Carrier& c : s.carriers) {
        text += ReadingText(c.freqMhz) + (c.polarity == polarity::kVertical ? ",V," : ",H,") +
                ReadingText(c.symbolRateKsps) + "," + c.fecText + "," +
                (c.system == DvbSystem::DvbS2 ? "DVB-S2," : "DVB-S,") + c.modulation + ",";
        // Empty where the rule gives the ratio, so the reader derives exactly the same one.
        if (ownRatios)
            text += (std::abs(c.cnDb - DerivedCnDb(c)) > 1e-9 ? ReadingText(c.cnDb) : "") + ",";
        text += c.note + "\n";
    }
    return text;
}

}  // namespace quillox::satellites
