#include "files/transponder_match.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quillox {
namespace {

constexpr double kRollOffBand = 1.35;  // occupied band per symbol rate
constexpr double kMinToleranceMhz = 2;

double ToleranceMhz(const TransponderPoint& a, const TransponderPoint& b, Pairing pairing) {
    if (pairing == Pairing::NearestCarrier) return HalfOccupiedBandMhz(b.ksps);
    return std::max(kMinToleranceMhz, HalfOccupiedBandMhz(std::min(a.ksps, b.ksps)));
}

}  // namespace

double HalfOccupiedBandMhz(double ksps) {
    return kRollOffBand * ksps / 2000.0;
}

std::vector<std::optional<size_t>> PairTransponders(const std::vector<TransponderPoint>& a,
                                                    const std::vector<TransponderPoint>& b,
                                                    Pairing pairing) {
    // Every pair close enough to be one transponder, the closest first.
    std::vector<std::tuple<double, size_t, size_t>> candidates;  // MHz apart, in a, in b
    for (size_t i = 0; i < a.size(); ++i) {
        for (size_t j = 0; j < b.size(); ++j) {
            if (a[i].polarity != b[j].polarity) continue;
            const double apart = std::abs(a[i].mhz - b[j].mhz);
            if (apart <= ToleranceMhz(a[i], b[j], pairing)) candidates.emplace_back(apart, i, j);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    std::vector<std::optional<size_t>> partners(a.size());
    std::vector<bool> taken(b.size(), false);
    for (const auto& [apart, i, j] : candidates) {
        if (partners[i] || (pairing == Pairing::OneToOne && taken[j])) continue;
        partners[i] = j;
        taken[j] = true;
    }
    return partners;
}

}  // namespace quillox
