#include "device/dvb/strength_survey.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillox::dvb {
namespace {

// A carrier must rise this far over the floor at the tuned point: the AGC's reading noise and
// the IF's tilt stay well below it, and a carrier weaker than this would not lock anyway.
constexpr double kMinRiseDb = 3.0;
// A dip between two carriers counts as the edge between them once the level rises again by
// this much beyond it.
constexpr double kValleyDb = 1.0;
// A carrier's plateau: the readings this close to its highest.
constexpr double kPlateauDb = 3.0;
// How much a reach grows while an edge lies beyond it.
constexpr int32_t kReachGrowthPoints = 16;

double Power(double db) {
    return std::pow(10.0, db / 10.0);
}

double Db(double power) {
    return 10.0 * std::log10(power);
}

double Median3(double a, double b, double c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// Where the level crosses line between grid points i (at or above it) and j (below), in points
// from the start, interpolated on the dB scale.
double Crossing(const std::vector<double>& level, size_t i, size_t j, double line) {
    const double span = level[i] - level[j];
    const double part = span > 0 ? (level[i] - line) / span : 0.5;
    return static_cast<double>(i) + (static_cast<double>(j) - static_cast<double>(i)) * part;
}

}  // namespace

int64_t SpectrumSurvey::GridPoint(int64_t ifKhz) const {
    const int64_t step = plan_.stepKhz;
    return (ifKhz + step / 2) / step * step;
}

std::vector<int64_t> SpectrumSurvey::Missing(int64_t path, int64_t ifKhz, int32_t reachKhz,
                                             int64_t lowKhz, int64_t highKhz, int64_t nowMs) const {
    const auto found = points_.find(path);
    const int64_t step = plan_.stepKhz, centre = GridPoint(ifKhz);
    std::vector<int64_t> missing;
    const auto fresh = [&](int64_t point) {
        if (found == points_.end()) return false;
        const auto p = found->second.find(point);
        return p != found->second.end() && nowMs - p->second.atMs <= plan_.maxAgeMs;
    };
    for (int64_t k = 0; k * step <= reachKhz; ++k) {
        for (int64_t side : {-1, 1}) {
            if (k == 0 && side > 0) continue;  // the centre once
            const int64_t point = centre + side * k * step;
            if (point >= lowKhz && point <= highKhz && !fresh(point)) missing.push_back(point);
        }
    }
    return missing;
}

void SpectrumSurvey::Record(int64_t path, int64_t ifKhz, double levelDb, int64_t nowMs) {
    points_[path][GridPoint(ifKhz)] = {levelDb, nowMs};
}

SpectrumVerdict SpectrumSurvey::Examine(int64_t path, int64_t ifKhz, int32_t& reachKhz,
                                        int64_t lowKhz, int64_t highKhz, int64_t nowMs) const {
    SpectrumVerdict verdict;
    if (!Missing(path, ifKhz, reachKhz, lowKhz, highKhz, nowMs).empty()) return verdict;
    const auto& points = points_.at(path);
    const int64_t step = plan_.stepKhz, centre = GridPoint(ifKhz);
    const int64_t first =
        std::max(lowKhz + (step - lowKhz % step) % step, centre - reachKhz / step * step);
    const int64_t last = std::min(highKhz / step * step, centre + reachKhz / step * step);
    std::vector<double> raw;
    for (int64_t p = first; p <= last; p += step) raw.push_back(points.at(p).levelDb);
    if (raw.size() < 3) return {SpectrumVerdict::NoCarrier, {}};
    // A median of three takes out a single wild reading, a 1-2-1 mean then halves the readings'
    // noise; both are symmetric, so neither moves an edge's half-power point.
    std::vector<double> median(raw);
    for (size_t i = 1; i + 1 < raw.size(); ++i) median[i] = Median3(raw[i - 1], raw[i], raw[i + 1]);
    // The mean goes over power, not dB: an edge's dB curve bends, its power does not much.
    std::vector<double> level(median);
    for (size_t i = 1; i + 1 < raw.size(); ++i)
        level[i] = Db((Power(median[i - 1]) + 2 * Power(median[i]) + Power(median[i + 1])) / 4);

    // The floor: the lowest level read near the point, beyond this window too.
    double floor = *std::min_element(level.begin(), level.end());
    for (auto it = points.lower_bound(centre - plan_.maxReachKhz);
         it != points.end() && it->first <= centre + plan_.maxReachKhz; ++it)
        if (nowMs - it->second.atMs <= plan_.maxAgeMs) floor = std::min(floor, it->second.levelDb);
    const auto at = static_cast<size_t>((centre - first) / step);
    if (level[at] - floor < kMinRiseDb) return {SpectrumVerdict::NoCarrier, {}};
    // The stretch above the floor around the point. Where it fills the whole window, the floor
    // was not seen: the window grows (as far as the frontend's range allows).
    size_t lo = at, hi = at;
    while (lo > 0 && level[lo - 1] - floor >= kMinRiseDb) --lo;
    while (hi + 1 < level.size() && level[hi + 1] - floor >= kMinRiseDb) ++hi;
    const bool canGrowLeft = first - step >= lowKhz, canGrowRight = last + step <= highKhz;
    const bool canGrow = (canGrowLeft || canGrowRight) && reachKhz < plan_.maxReachKhz;
    const auto grow = [&] {
        reachKhz = std::min(plan_.maxReachKhz, reachKhz + kReachGrowthPoints * plan_.stepKhz);
        return verdict;
    };
    if (lo == 0 && hi + 1 == level.size() && canGrow) return grow();
    // The carrier's top: the median of its plateau (the readings within 3 dB of the highest),
    // not the highest, which the readings' noise lifts and which would narrow the estimate.
    const double highest = *std::max_element(level.begin() + lo, level.begin() + hi + 1);
    std::vector<double> plateau;
    for (size_t i = lo; i <= hi; ++i)
        if (level[i] >= highest - kPlateauDb) plateau.push_back(level[i]);
    std::nth_element(plateau.begin(), plateau.begin() + plateau.size() / 2, plateau.end());
    const double top = plateau[plateau.size() / 2];
    const double half = Db(Power(floor) + (Power(top) - Power(floor)) / 2);
    // Below the half-power line the point lies outside the carrier, on its skirt: a tune there
    // is no tune of that carrier (the centring walk around a detection relies on it).
    if (level[at] < half) return {SpectrumVerdict::NoCarrier, {}};
    // Walk out either side to the half-power line, or to the bottom of a valley between two
    // carriers whose skirts overlap: down from a peak and up again, each by kValleyDb.
    bool open = false;  // an edge lies beyond the window
    const auto edge = [&](int dir) {
        size_t i = at, troughAt = at;
        double peak = level[at], trough = level[at];
        for (;;) {
            if ((dir < 0 && i == 0) || (dir > 0 && i + 1 == level.size())) {
                open = open || (dir < 0 ? canGrowLeft : canGrowRight);
                return static_cast<double>(i);
            }
            const size_t j = dir < 0 ? i - 1 : i + 1;
            if (level[j] < half) return Crossing(level, i, j, half);
            if (level[j] < trough) trough = level[j], troughAt = j;
            if (peak - trough >= kValleyDb && level[j] - trough >= kValleyDb)
                return static_cast<double>(troughAt);
            if (level[j] > peak) peak = trough = level[j], troughAt = j;
            i = j;
        }
    };
    const double left = edge(-1), right = edge(+1);
    if (open && canGrow) return grow();
    verdict.kind = SpectrumVerdict::Carrier;
    verdict.estimate.centreKhz =
        first + std::llround((left + right) / 2 * static_cast<double>(step));
    verdict.estimate.widthKhz =
        static_cast<int32_t>(std::lround((right - left) * static_cast<double>(step)));
    verdict.estimate.riseDb = top - floor;
    return verdict;
}

std::vector<int32_t> DistinctWithinTolerance(std::span<const int32_t> rates,
                                             uint32_t tolerancePpm) {
    std::vector<int32_t> kept;
    for (int32_t r : rates) {
        const bool covered = std::any_of(kept.begin(), kept.end(), [&](int32_t k) {
            return std::abs(r - k) * 1e6 <= static_cast<double>(tolerancePpm) * r;
        });
        if (!covered) kept.push_back(r);
    }
    return kept;
}

int32_t CentreUncertaintyKhz(int32_t widthKhz) {
    return std::max(100, widthKhz / 64);
}

int32_t WidthUncertaintyKhz(int32_t widthKhz, int32_t stepKhz) {
    return std::max(stepKhz, widthKhz / 16);
}

std::vector<int32_t> RatesForWidth(int32_t widthKhz, std::span<const int32_t> common,
                                   uint32_t tolerancePpm, int32_t minKsps, int32_t maxKsps,
                                   int maxGrid) {
    const int32_t spread = WidthUncertaintyKhz(widthKhz, 1000);
    int32_t low = widthKhz - spread, high = widthKhz + spread;
    if (minKsps > 0) low = std::max(low, minKsps);
    if (maxKsps > 0) high = std::min(high, maxKsps);
    std::vector<int32_t> rates;
    if (low > high) return rates;
    const auto nearestFirst = [widthKhz](int32_t a, int32_t b) {
        return std::abs(a - widthKhz) < std::abs(b - widthKhz);
    };
    for (int32_t r : common)
        if (r >= low && r <= high) rates.push_back(r);
    std::stable_sort(rates.begin(), rates.end(), nearestFirst);
    // A grid whose points lie less than twice the tolerance apart covers every rate between.
    const double stepKsps = 1.8 * tolerancePpm * 1e-6 * widthKhz;
    if (stepKsps <= 0 || (high - low) / stepKsps > maxGrid) return rates;
    std::vector<int32_t> grid;
    const int count = static_cast<int>(std::ceil((high - low) / stepKsps));
    for (int k = 0; k <= count; ++k) {
        const auto r =
            static_cast<int32_t>(std::lround(low + (high - low) * k / std::max(count, 1)));
        if (std::find(rates.begin(), rates.end(), r) == rates.end()) grid.push_back(r);
    }
    std::stable_sort(grid.begin(), grid.end(), nearestFirst);
    rates.insert(rates.end(), grid.begin(), grid.end());
    return rates;
}

}  // namespace quillox::dvb
