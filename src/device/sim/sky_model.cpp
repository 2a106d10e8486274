#include "device/sim/sky_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/seeded_hash.h"

namespace quillox::sim {
namespace {

// Hash channels, apart from the dish's reading channels.
enum Channel : uint64_t {
    kLoOffset = 0x10B0,
    kDrift = 0x10B8,
    kScintillation = 0x5C10,
    kSpreadSlow = 0x5B01,
    kNoise = 0x4E00,
    kOutlier = 0x4E01,
};

constexpr double kMinuteMs = 60000;
constexpr double kScintillationPeriodMs = 3000;  // knots of the scintillation's slow noise
constexpr double kSpreadPeriodMs = 60000;        // and of each link's wander
constexpr double kOutlierChance = 0.002;         // a reading in 500 jumps by 6-12 sigma
constexpr double kIfLowMhz = 950, kIfHighMhz = 2150;

// A smooth random function of time with unit variance at its knots: Gaussian values every
// period, joined by cosine interpolation.
double SlowNoise(uint64_t key, double ms, double periodMs) {
    const double x = std::max(0.0, ms) / periodMs;
    const auto knot = static_cast<uint64_t>(x);
    const double f = x - static_cast<double>(knot);
    const double a = Gaussian(HashOf(key, knot)), b = Gaussian(HashOf(key, knot + 1));
    const double w = (1 - std::cos(std::numbers::pi * f)) / 2;
    return a + (b - a) * w;
}

}  // namespace

double Gaussian(uint64_t hash) {
    const double u1 = static_cast<double>((hash >> 11) + 1) * 0x1.0p-53;  // (0, 1]
    const double u2 = static_cast<double>(Mix64(hash) >> 11) * 0x1.0p-53;
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

SkyModel::SkyModel(const satellites::SkyImpairments& sky, uint32_t seed) : sky_(sky), seed_(seed) {
    for (int osc = 0; osc < 4; ++osc) {
        const bool high = osc % 2 == 1;
        baseOffsetMhz_[osc] =
            sky.lnbOffsetSeededMaxMhz > 0
                ? sky.lnbOffsetSeededMaxMhz * SignedUnit(HashOf(seed, kLoOffset + osc))
                : (high ? sky.lnbOffsetHighMhz : sky.lnbOffsetLowMhz);
    }
}

double SkyModel::LoOffsetMhz(int oscillator, int64_t ms) {
    const auto osc = static_cast<size_t>(std::clamp(oscillator, 0, 3));
    double offset = baseOffsetMhz_[osc];
    if (sky_.lnbDriftMhzPerHour <= 0) return offset;
    // A random walk in steps of a minute, rms lnb-drift after 60 of them, linear in between.
    const double minutes = static_cast<double>(std::max<int64_t>(0, ms)) / kMinuteMs;
    const auto whole = static_cast<size_t>(minutes);
    std::vector<double>& walk = walkMhz_[osc];
    const double stepMhz = sky_.lnbDriftMhzPerHour / std::sqrt(60.0);
    if (walk.empty()) walk.push_back(0);
    while (walk.size() < whole + 2)
        walk.push_back(walk.back() + stepMhz * Gaussian(HashOf(seed_, kDrift + osc, walk.size())));
    const double f = minutes - static_cast<double>(whole);
    return offset + walk[whole] + (walk[whole + 1] - walk[whole]) * f;
}

double SkyModel::CnChangeDb(uint32_t carrier, double ifMhz, int64_t ms) const {
    const auto t = static_cast<double>(ms);
    double db = 0;
    if (sky_.linkSpreadDb > 0) {
        // Each link wanders on its own around its C/N (uplink power control, rain cells on
        // either path): a carrier near its threshold locks for a while and then not.
        db +=
            sky_.linkSpreadDb * SlowNoise(HashOf(seed_, kSpreadSlow, carrier), t, kSpreadPeriodMs);
    }
    if (sky_.scintillationDb > 0)
        db += sky_.scintillationDb *
              SlowNoise(HashOf(seed_, kScintillation), t, kScintillationPeriodMs);
    return db + IfSlopeDb(ifMhz);
}

double SkyModel::IfSlopeDb(double ifMhz) const {
    if (sky_.ifTiltDb == 0) return 0;
    return sky_.ifTiltDb * std::clamp((ifMhz - kIfLowMhz) / (kIfHighMhz - kIfLowMhz), 0.0, 1.0);
}

double SkyModel::ReadingNoiseDb(uint64_t readingCount) const {
    if (sky_.noiseDb <= 0) return 0;
    double db = sky_.noiseDb * Gaussian(HashOf(seed_, readingCount, kNoise));
    const uint64_t outlier = HashOf(seed_, readingCount, kOutlier);
    const double u = static_cast<double>(outlier >> 11) * 0x1.0p-53;
    if (u < kOutlierChance) db += sky_.noiseDb * (6 + 6 * u / kOutlierChance);
    return db;
}

}  // namespace quillox::sim
