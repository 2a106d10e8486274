#include "device/sim/dish_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillox::sim {

const DishModelParameters& DefaultModel() {
    static const DishModelParameters parameters;
    return parameters;
}

double CaptureHalfWidthMhz(const DishModelParameters& p, double rateKsps) {
    const double cap = p.dvbs2 ? p.s2CaptureMaxMhz : p.captureMaxMhz;
    return std::min(cap, p.captureBaseMhz + p.captureMhzPerMsps * rateKsps / 1000.0);
}

double RateToleranceKsps(const DishModelParameters& p, double rateKsps) {
    return p.rateToleranceBaseKsps + p.rateTolerancePerMille * rateKsps / 1000.0;
}

bool RateAccepted(const DishModelParameters& p, int32_t stagedKsps, double carrierKsps) {
    if (stagedKsps == 0) return carrierKsps >= p.searchMinKsps && carrierKsps <= p.searchMaxKsps;
    return std::abs(stagedKsps - carrierKsps) <= RateToleranceKsps(p, carrierKsps);
}

double AcquisitionMs(const DishModelParameters& p, double carrierKsps, double offsetFraction,
                     bool searchingRate, bool dvbs2Carrier) {
    const double x = std::clamp(offsetFraction, 0.0, 1.0);
    double ms =
        searchingRate
            ? p.searchBaseMs + p.searchRateMs * 1000.0 / carrierKsps + p.searchOffsetMs * x
            : p.acquireBaseMs + p.acquireRateMs * 1000.0 / carrierKsps + p.acquireOffsetMs * x;
    if (dvbs2Carrier) ms += p.s2ExtraBaseMs + p.s2ExtraRateMs * 1000.0 / carrierKsps;
    return ms;
}

double EstimatorHalfWidthMhz(const DishModelParameters& p, double carrierKsps) {
    return p.estimatorMhzPerMsps * carrierKsps / 1000.0;
}

double EstimatorPower(const DishModelParameters& p, double cnDb, double carrierKsps,
                      int32_t stagedKsps, double offsetMhz) {
    double x = std::abs(offsetMhz) / EstimatorHalfWidthMhz(p, carrierKsps);
    if (x >= 1.0) return 0.0;
    double share = stagedKsps > 0 ? std::min(1.0, carrierKsps / stagedKsps) : 1.0;
    double shape = std::cos(std::numbers::pi / 2 * x);
    return std::pow(10.0, cnDb / 10.0) * share * shape * shape;
}

double UnlockedSnrDb(const DishModelParameters& p, double totalPower) {
    return p.snrFloorDb + 10.0 * std::log10(1.0 + totalPower);
}

double OccupiedHalfWidthMhz(double rateKsps, double rollOff) {
    return (1.0 + rollOff) * rateKsps / 2000.0;
}

double FilterHalfWidthMhz(double tunedKsps) {
    return std::max(kFilterMinHalfMhz, OccupiedHalfWidthMhz(tunedKsps));
}

double InBandPower(double cnDb, double carrierKsps, double rollOff, double offsetMhz,
                   double filterHalfMhz) {
    const double flat = (1.0 - rollOff) * carrierKsps / 2000.0;
    const double edge = OccupiedHalfWidthMhz(carrierKsps, rollOff);
    if (std::abs(offsetMhz) >= filterHalfMhz + edge) return 0.0;
    // Midpoint rule over the filter's band: smooth enough for a raised cosine.
    constexpr int kSlices = 32;
    const double slice = 2.0 * filterHalfMhz / kSlices;
    double sum = 0;
    for (int i = 0; i < kSlices; ++i) {
        const double x = std::abs(-filterHalfMhz + (i + 0.5) * slice - offsetMhz);
        if (x <= flat) {
            sum += 1.0;
        } else if (x < edge) {
            sum += 0.5 * (1.0 + std::cos(std::numbers::pi * (x - flat) / (edge - flat)));
        }
    }
    return std::pow(10.0, cnDb / 10.0) * sum * slice;
}

int32_t LockedQuality(const DishModelParameters& p, double cnDb, double offsetFraction,
                      double rateErrorFraction, int32_t noiseStep) {
    double q0 = std::clamp(p.qualityPerDb * (cnDb - p.qualityZeroDb), p.qualityMin, 100.0);
    double q = q0 * (1.0 - p.offsetSlope * std::clamp(offsetFraction, 0.0, 1.0)) *
               (1.0 - p.rateSlope * std::clamp(rateErrorFraction, 0.0, 1.0));
    return std::clamp(static_cast<int32_t>(std::lround(q)) + noiseStep, 1, 100);
}

}  // namespace quillox::sim
