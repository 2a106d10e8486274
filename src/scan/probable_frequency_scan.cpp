#include "scan/probable_frequency_scan.h"

#include <string>

#include "base/number_text.h"
#include "base/range_step.h"

namespace quillox {
namespace {

constexpr double kHitThreshold = 3.6;  // a reading that rounds to 3.6 is no hit
constexpr int32_t kStartSettleMs = 500;
constexpr int32_t kStepSettleMs = 100;
constexpr int32_t kReadingIntervalMs = 20;
constexpr int64_t kClusterGapMhz = 20;
constexpr int32_t kDefaultReadInterval = 20;

int ProgressPercent(int64_t f, int64_t start, int64_t end) {
    if (end == start) return 100;
    return static_cast<int>((f - start) * 100 / (end - start));
}

}  // namespace

int64_t ReadingsPerStep(int32_t delayMs, int32_t readIntervalMs) {
    if (readIntervalMs <= 0) readIntervalMs = kDefaultReadInterval;
    const int64_t dwell = int64_t{delayMs} - kStepSettleMs;
    return dwell / readIntervalMs + (dwell % readIntervalMs != 0 ? 1 : 0);
}

void RunProbableFrequencyScan(TunerDevice& t, Clock& clock, const ProbableFrequencyScanParams& p,
                              ProbableFrequencyScanHost& host) {
    t.TunerSetSymbolRate(p.symbolRateKsps);
    t.TunerCommit(1);
    const int64_t start = p.startMhz, end = p.endMhz;
    const int64_t readings = ReadingsPerStep(p.delayMs, p.readIntervalMs);

    host.Progress(0);
    clock.Sleep(kStartSettleMs);
    for (int64_t f = start; f <= end; f = NextInRange(f, end, p.stepMhz)) {
        TuneToFrequency(t, host.Lnb(), static_cast<int32_t>(f));
        clock.Sleep(kStepSettleMs);
        double highest = 0;
        for (int64_t r = 0; r < readings; ++r) {
            clock.Sleep(kReadingIntervalMs);
            t.TunerRefreshStatus();
            float snr = 0;
            t.TunerGetSnr(snr);
            const double rounded = RoundToTenth(snr);
            if (r == 0 || rounded > highest) highest = rounded;
            if (rounded <= kHitThreshold) continue;
            t.TunerRefreshStatus();
            int32_t mhz = 0, quality = 0;
            t.TunerGetFrequency(mhz);
            t.TunerGetSignalQuality(quality);
            host.Log("Freq = " + std::to_string(mhz) + "  Signal = " + std::to_string(quality) +
                     "  SNR = " + ReadingText(rounded));
            host.Hit(mhz);
            break;  // at most one hit per step
        }
        if (readings > 0) host.Reading(static_cast<int32_t>(f), highest);
        host.Progress(ProgressPercent(f, start, end));
    }
    host.Progress(100);
}

std::vector<int64_t> MergeHits(const std::vector<int64_t>& hits) {
    std::vector<int64_t> merged;
    if (hits.empty()) return merged;
    int64_t first = hits.front(), last = hits.front();
    for (size_t i = 1; i < hits.size(); ++i) {
        if (hits[i] - last >= kClusterGapMhz) {
            merged.push_back(first + (last - first) / 2);
            first = hits[i];
        }
        last = hits[i];
    }
    merged.push_back(first + (last - first) / 2);
    return merged;
}

}  // namespace quillox
