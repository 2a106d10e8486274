#include "scan/symbol_rate_finder.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/number_text.h"
#include "base/range_step.h"
#include "scan/snr_threshold.h"

namespace quillox {
namespace {

constexpr int64_t kMinKsps = 1;
constexpr int64_t kMaxKsps = 45000;
constexpr int kCentre = 60;  // NORMAL's tables hold the centre and 60 fine steps either side
constexpr int kLast = 2 * kCentre;
constexpr int32_t kCentrePollMs = 50;
constexpr int64_t kBestHalfRangeKsps = 65;
constexpr int32_t kBestMaxStepKsps = 5;
constexpr int64_t kDoubledDwellUpToKsps = 10000;
constexpr const char* kSeparator = "//-------------------";

// Once a try shows a signal, slow rates need longer to settle before the reading means much.
// A rate outside the table (a centre the tuner reported oddly) gets none.
int32_t ExtraSettleMs(int64_t ksps) {
    if (ksps < 0 || ksps > kMaxKsps) return 0;
    if (ksps <= 10) return 4500;
    if (ksps <= 20) return 1000;
    return 250;
}

int32_t NormalFineStep(int32_t searchStep) {
    if (searchStep >= 15) return 4;
    if (searchStep >= 5) return 2;
    return 1;
}

int64_t Limited(int64_t ksps) {
    return std::clamp(ksps, kMinKsps, kMaxKsps);
}

// What the tuner reports at the end of a try.
struct Reported {
    int32_t mhz = 0, ksps = 0, quality = 0;
    double snr = 0;
};

std::string TryLine(const Reported& r) {
    return "Freq = " + std::to_string(r.mhz) + " Symb = " + std::to_string(r.ksps) +
           "  Signal = " + std::to_string(r.quality) + "  SNR = " + ReadingText(r.snr);
}

class Finder {
public:
    Finder(TunerDevice& t, Clock& clock, const SymbolRateFinderParams& p, SymbolRateFinderHost& h)
        : t_(t), clock_(clock), p_(p), host_(h), step_(std::max(p.stepKsps, 1)) {}

    SymbolRateFinderResult Run() {
        SymbolRateFinderResult result;
        if (!Coarse(result)) return result;
        result.ksps = result.coarseKsps;
        if (p_.mode == FineTuning::Normal) Normal(result);
        if (p_.mode == FineTuning::Best) Best(result);
        return result;
    }

private:
    int32_t Quality() {
        t_.TunerRefreshStatus();
        int32_t quality = 0;
        t_.TunerGetSignalQuality(quality);
        return quality;
    }

    double Snr() {
        t_.TunerRefreshStatus();
        float snr = 0;
        t_.TunerGetSnr(snr);
        return RoundToTenth(snr);
    }

    // The threshold field is read at every try, so it may change while the job runs.
    bool AboveThreshold(double snr) { return snr > SnrThresholdOf(host_.SnrThresholdCode()); }

    void Commit(int64_t ksps) {
        t_.TunerSetSymbolRate(static_cast<int32_t>(ksps));
        t_.TunerCommit(1);
    }

    // A try of the coarse search and of BEST: the transponder as the tuner reports it.
    Reported Try(int64_t ksps, int32_t dwellMs, int32_t extraDwellMs) {
        Commit(ksps);
        if (Quality() > 0) clock_.Sleep(ExtraSettleMs(ksps));
        clock_.Sleep(dwellMs);
        Reported r;
        r.snr = Snr();
        if (AboveThreshold(r.snr)) clock_.Sleep(extraDwellMs);
        t_.TunerRefreshStatus();
        t_.TunerGetFrequency(r.mhz);
        t_.TunerGetSymbolRate(r.ksps);
        t_.TunerGetSignalQuality(r.quality);
        return r;
    }

    // Tries start..end until one shows a signal; false when none did.
    bool Coarse(SymbolRateFinderResult& result) {
        const int64_t start = p_.startKsps, end = p_.endKsps;
        const int full = p_.mode == FineTuning::None ? 100 : 95;
        for (int64_t r = start; r <= end; r = NextInRange(r, end, step_)) {
            const Reported got = Try(r, p_.dwellMs, p_.extraDwellMs);
            if (got.quality > 0) host_.Log(TryLine(got));
            host_.Progress(end == start ? full
                                        : static_cast<int>((r - start) * full / (end - start)));
            if (got.quality > 0) {
                result.found = true;
                result.coarseKsps = got.ksps;
                return true;
            }
        }
        return false;
    }

    // A step of NORMAL's walks: the quality once the rate has had its time.
    int32_t WalkStep(int64_t ksps, int32_t dwellMs) {
        Commit(ksps);
        if (Quality() > 0) clock_.Sleep(ExtraSettleMs(ksps));
        clock_.Sleep(dwellMs);
        const int32_t quality = Quality();
        if (AboveThreshold(Snr()) && quality == 0) clock_.Sleep(dwellMs);
        return Quality();
    }

    // Walks from the centre in one direction until the signal is gone or the table ends.
    void Walk(std::array<int64_t, kLast + 1>& rates, std::array<int32_t, kLast + 1>& qualities,
              int direction, int32_t dwellMs) {
        for (int i = kCentre;; i += direction) {
            qualities[i] = WalkStep(rates[i], dwellMs);
            host_.Log(std::to_string(rates[i]) + " " + std::to_string(qualities[i]));
            const int next = i + direction;
            const bool tableEnds = next < 0 || next > kLast;
            if (!tableEnds) rates[next] = Limited(rates[next]);
            if (qualities[i] == 0 || tableEnds) return;
        }
    }

    // Waits in short polls for the signal at the centre; false when it did not come back.
    bool SignalReturns() {
        clock_.Sleep(kCentrePollMs);
        for (int32_t waited = 0; waited < p_.centreWaitLimitMs; waited += kCentrePollMs) {
            clock_.Sleep(kCentrePollMs);
            if (Quality() != 0) return true;
        }
        return false;
    }

    // Walks up and then down from the coarse result in fine steps, recording the quality of
    // every rate set, and takes the quality-weighted mean of the rates set.
    void Normal(SymbolRateFinderResult& result) {
        host_.Log(kSeparator);
        const int64_t m = result.coarseKsps;
        const int64_t d = NormalFineStep(step_);
        // Both dwells become the larger one (the dwell is also the extra dwell of a walk step);
        // slow rates get twice that.
        int32_t dwellMs = std::max(p_.dwellMs, p_.extraDwellMs);
        if (m <= kDoubledDwellUpToKsps) dwellMs *= 2;

        std::array<int64_t, kLast + 1> rates;
        std::array<int32_t, kLast + 1> qualities{};
        for (int i = 0; i <= kLast; ++i) rates[i] = m - kCentre * d + i * d;
        host_.Progress(96);
        Walk(rates, qualities, +1, dwellMs);

        host_.Progress(98);
        Commit(rates[kCentre]);
        if (!SignalReturns()) {
            host_.Log("No signal at " + std::to_string(rates[kCentre]) + " within " +
                      std::to_string(p_.centreWaitLimitMs) + " ms: the coarse result " +
                      std::to_string(m) + " stands");
            result.centreLost = true;
            Commit(m);
            return;
        }
        Walk(rates, qualities, -1, dwellMs);

        double total = 0;
        int64_t weight = 0;
        for (int k = 0; k <= kLast; ++k) {
            total += static_cast<double>(rates[k] * qualities[k]);
            weight += qualities[k];
        }
        result.ksps = static_cast<int32_t>(weight != 0 ? static_cast<int64_t>(total) / weight : m);
        Commit(result.ksps);
    }

    // Tries every rate within 65 kS/s of the coarse result and takes the quality-weighted mean
    // of the rates the tuner reports while it has a signal.
    void Best(SymbolRateFinderResult& result) {
        const int64_t m = result.coarseKsps;
        double total = 0;
        int64_t weight = 0;
        host_.Log(kSeparator);
        const int64_t lo = std::max(m - kBestHalfRangeKsps, kMinKsps);
        const int64_t hi = std::min(m + kBestHalfRangeKsps, kMaxKsps);
        const int64_t d = std::min(step_, kBestMaxStepKsps);
        const int32_t dwellMs = std::max(p_.dwellMs, p_.extraDwellMs);
        for (int64_t r = lo; r <= hi; r = NextInRange(r, hi, d)) {
            const Reported got = Try(r, dwellMs, p_.extraDwellMs);
            if (got.quality > 0) {
                total += static_cast<double>(int64_t{got.ksps} * got.quality);
                weight += got.quality;
            }
            host_.Log(TryLine(got));
            host_.Progress(hi == lo ? 100 : static_cast<int>((r - lo) * 5 / (hi - lo) + 95));
        }
        result.ksps = static_cast<int32_t>(weight != 0 ? static_cast<int64_t>(total) / weight : m);
        Commit(result.ksps);
    }

    TunerDevice& t_;
    Clock& clock_;
    const SymbolRateFinderParams& p_;
    SymbolRateFinderHost& host_;
    const int32_t step_;  // a step below 1 would never end the search
};

}  // namespace

SymbolRateFinderResult RunSymbolRateFinder(TunerDevice& tuner, Clock& clock,
                                           const SymbolRateFinderParams& params,
                                           SymbolRateFinderHost& host) {
    return Finder(tuner, clock, params, host).Run();
}

}  // namespace quillox
