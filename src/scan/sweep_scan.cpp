#include "scan/sweep_scan.h"

#include <string>
#include <vector>

#include "base/range_step.h"
#include "base/tuning_code_values.h"
#include "scan/probable_frequency_scan.h"

namespace quillox {
namespace {

constexpr int32_t kStartSettleMs = 1000;
constexpr int32_t kStepSettleMs = 100;
constexpr int32_t kPollMs = 20;

// The gauge's share of one pass: the whole gauge, or one half of it for each of two passes.
struct PassShare {
    int base;
    int width;
};

int Percent(const PassShare& share, int64_t f, int64_t start, int64_t end) {
    if (end == start) return share.base + share.width;
    return static_cast<int>((f - start) * share.width / (end - start)) + share.base;
}

class Sweep {
public:
    Sweep(TunerDevice& t, Clock& clock, const SweepScanParams& p, SweepScanHost& host)
        : t_(t), clock_(clock), p_(p), host_(host) {
        confirmation_.dwellMs = ConfirmationDwellMs(p.dwellMs, p.customDelayMs);
        confirmation_.stepMhz = p.stepMhz;
        confirmation_.centreWaitLimitMs = p.centreWaitLimitMs;
    }

    void Run() {
        host_.Progress(0);
        clock_.Sleep(kStartSettleMs);
        std::vector<int32_t> passes;
        if (p_.vertical) passes.push_back(polarity::kVertical);
        if (p_.horizontal) passes.push_back(polarity::kHorizontal);
        for (size_t i = 0; i < passes.size(); ++i) {
            const int width = passes.size() == 2 ? 50 : 100;
            Pass(passes[i], {static_cast<int>(i) * width, width});
        }
        host_.Progress(100);
    }

private:
    void Pass(int32_t polarityCode, PassShare share) {
        t_.TunerSetPolarity(polarityCode);
        t_.TunerSetSymbolRate(p_.symbolRateKsps);
        t_.TunerCommit(1);
        const int64_t start = p_.startMhz, end = p_.endMhz;
        const int64_t polls = ReadingsPerStep(p_.dwellMs, p_.pollDivisor);
        for (int64_t f = start; f <= end;) {
            const int64_t tuned = f;
            TuneToFrequency(t_, host_.Lnb(), static_cast<int32_t>(f));
            host_.Log("--> Freq = " + std::to_string(f));
            clock_.Sleep(kStepSettleMs);
            int32_t highest = 0;
            for (int64_t n = 0; n < polls; ++n) {
                if (Poll(f, highest)) break;
            }
            host_.Reading(polarityCode, static_cast<int32_t>(tuned), highest);
            host_.Progress(Percent(share, f, start, end));
            f = NextInRange(f, end, p_.stepMhz);
            // A detection at the end may resume below it, and the stepping rule would then
            // come back to the end and detect the same transponder for ever.
            if (f <= tuned) break;
        }
    }

    // One poll at f; true when it detected (and recorded) a transponder. A confirmation
    // replaces f by the frequency to go on from. Raises highest to the quality polled.
    bool Poll(int64_t& f, int32_t& highest) {
        clock_.Sleep(kPollMs);
        t_.TunerRefreshStatus();
        int32_t quality = 0, ksps = 0;
        t_.TunerGetSignalQuality(quality);
        t_.TunerGetSymbolRate(ksps);
        if (quality > highest) highest = quality;
        if (quality <= 0 || ksps < p_.minKsps || ksps > p_.maxKsps) return false;

        int32_t mhz = 0;
        t_.TunerGetFrequency(mhz);
        if (host_.FineTuning()) {
            f = ConfirmTransponder(t_, clock_, confirmation_, host_, static_cast<int32_t>(f));
            return true;
        }
        host_.Log("Freq = " + std::to_string(mhz) + "  Signal = " + std::to_string(quality));
        host_.Found(ReadTransponder(t_));
        return true;
    }

    TunerDevice& t_;
    Clock& clock_;
    const SweepScanParams& p_;
    SweepScanHost& host_;
    ConfirmationParams confirmation_;
};

}  // namespace

int64_t SweepListenMs(const SweepScanParams& params) {
    return kStepSettleMs + ReadingsPerStep(params.dwellMs, params.pollDivisor) * kPollMs;
}

void RunSweepScan(TunerDevice& tuner, Clock& clock, const SweepScanParams& params,
                  SweepScanHost& host) {
    Sweep(tuner, clock, params, host).Run();
}

}  // namespace quillox
