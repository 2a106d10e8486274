#include "device/demod_profiles.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>

namespace quillox {
namespace {

constexpr std::array<int32_t, 17> kSearchRates = {27500, 22000, 30000, 29900, 28000, 27000,
                                                  26000, 24500, 23000, 20000, 15000, 11000,
                                                  6111,  5632,  4340,  3000,  2000};

// The older QPSK chips report FE_HAS_LOCK once the Viterbi decoder is in sync, which happens
// around 2.5 dB below the C/N of error-free output (a pre-Viterbi error rate near 10^-1).
constexpr double kViterbiSyncBelowQefDb = 2.5;

DemodProfile Make(DemodFamily family, ReadBackFrequency f, ReadBackRate r, uint32_t captureKhz,
                  int32_t lockMs, int32_t stepDivisor, int32_t delayMs) {
    return {family, f, r, captureKhz, lockMs, stepDivisor, delayMs, kViterbiSyncBelowQefDb};
}

}  // namespace

int32_t LockTimeouts::For(DemodFamily family) const {
    switch (family) {
        case DemodFamily::Stv0299:
            return stv0299;
        case DemodFamily::Zarlink:
            return zarlink;
        case DemodFamily::Cx24123:
            return cx24123;
        case DemodFamily::S5h1420:
            return s5h1420;
        case DemodFamily::Other:
            break;
    }
    return other;
}

int32_t LockTimeouts::ForRate(DemodFamily family, int32_t ksps) const {
    const int32_t timeout = For(family);
    return ksps >= 5000 ? timeout : 2 * timeout;
}

std::span<const int32_t> SearchRatesKsps() {
    return kSearchRates;
}

const DemodProfile& DemodProfileOf(DemodFamily family) {
    using F = ReadBackFrequency;
    using R = ReadBackRate;
    // stv0299: derotator +-13.75 MHz at 27.5 MS/s (max_drift = SR / 2000 kHz), zig-zag step
    // SR / 16000 kHz every min_delay_ms (100 ms on the budget cards), rate measured to 2 kS/s.
    static const DemodProfile stv0299 =
        Make(DemodFamily::Stv0299, F::Carrier, R::MeasuredTo2k, 13750, 400, 16000, 100);
    // mt312: hardware acquisition (step_size 0), reads back what was tuned.
    static const DemodProfile mt312 =
        Make(DemodFamily::Zarlink, F::Requested, R::Requested, 3000, 200, 0, 0);
    static const DemodProfile cx24123 =
        Make(DemodFamily::Cx24123, F::Requested, R::Requested, 10000, 150, 0, 0);
    // s5h1420: tuned frequency plus the offset register; the rate as set; zig-zag 2 MHz steps
    // every 50 ms above 20 MS/s (s5h1420_get_tune_settings).
    static const DemodProfile s5h1420 =
        Make(DemodFamily::S5h1420, F::Carrier, R::Requested, 8000, 250, 13750, 50);
    static const DemodProfile other{};
    switch (family) {
        case DemodFamily::Stv0299:
            return stv0299;
        case DemodFamily::Zarlink:
            return mt312;
        case DemodFamily::Cx24123:
            return cx24123;
        case DemodFamily::S5h1420:
            return s5h1420;
        case DemodFamily::Other:
            break;
    }
    return other;
}

std::vector<int32_t> RateSearchOrder::For(int64_t path, int64_t ifKhz) const {
    std::vector<size_t> index(candidates_.size());
    std::iota(index.begin(), index.end(), size_t{0});
    std::stable_sort(index.begin(), index.end(),
                     [&](size_t a, size_t b) { return locks_[a] > locks_[b]; });
    std::vector<int32_t> order;
    order.reserve(index.size());
    const bool sameCarrier = KnownRate(path, ifKhz) != 0;
    if (sameCarrier) order.push_back(last_.ksps);
    for (size_t i : index)
        if (!sameCarrier || candidates_[i] != last_.ksps) order.push_back(candidates_[i]);
    return order;
}

int32_t RateSearchOrder::KnownRate(int64_t path, int64_t ifKhz) const {
    // Within half the rate (in MHz) the tune lies inside the same carrier.
    const bool inside = last_.ksps > 0 && path == last_.path &&
                        std::llabs(ifKhz - last_.ifKhz) * 2 <= int64_t{last_.ksps};
    return inside ? last_.ksps : 0;
}

void RateSearchOrder::Locked(int64_t path, int32_t ksps, int64_t ifKhz) {
    // Each carrier counts once, however often a centring walk locks it again.
    if (KnownRate(path, ifKhz) != ksps) {
        auto it = std::find(candidates_.begin(), candidates_.end(), ksps);
        if (it != candidates_.end()) ++locks_[static_cast<size_t>(it - candidates_.begin())];
    }
    last_ = {path, ksps, ifKhz};
}

float SnrMedian::Push(float raw, bool locked) {
    if (locked != locked_) count_ = 0;
    locked_ = locked;
    last_[count_ % 3] = raw;
    ++count_;
    if (count_ < 3) return raw;  // too few for a median: the reading as it is
    return std::max(std::min(last_[0], last_[1]), std::min(std::max(last_[0], last_[1]), last_[2]));
}

}  // namespace quillox
