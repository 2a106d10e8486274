#include "scan/symbol_rate_list_scan.h"

#include "base/number_text.h"
#include "scan/snr_threshold.h"

namespace quillox {
namespace {

constexpr int32_t kTuneSettleMs = 1000;

// A signal found early in the list gets a long extra settle: those are the common rates, and
// a lock there is worth waiting for.
int32_t ExtraWaitOnSignal(size_t index) {
    if (index <= 10) return 4500;
    if (index <= 20) return 1000;
    return 250;
}

int32_t Quality(TunerDevice& t) {
    t.TunerRefreshStatus();
    int32_t quality = 0;
    t.TunerGetSignalQuality(quality);
    return quality;
}

}  // namespace

void RunSymbolRateListScan(TunerDevice& t, Clock& clock, const SymbolRateListScanParams& p,
                           SymbolRateListScanHost& host) {
    host.Progress(0);
    // Shares of the gauge per frequency and per attempt; used only while both lists have lines.
    const size_t frequencyCount = p.frequencies.size();
    const size_t rateCount = p.symbolRates.size();
    const double perFrequency = frequencyCount > 0 ? 100.0 / frequencyCount : 0.0;
    const double perAttempt = rateCount > 0 ? perFrequency / rateCount : 0.0;
    const double snrThreshold = SnrThresholdOf(p.snrThresholdCode);
    double progress = 0.0;

    for (size_t k = 0; k < frequencyCount; ++k) {
        TuneToFrequency(t, host.Lnb(), StrictInt(p.frequencies[k]));
        clock.Sleep(kTuneSettleMs);
        for (size_t i = 0; i < rateCount; ++i) {
            t.TunerSetSymbolRate(StrictInt(p.symbolRates[i]));
            t.TunerCommit(1);
            if (Quality(t) > 0) clock.Sleep(ExtraWaitOnSignal(i));
            clock.Sleep(p.delayMs);

            t.TunerRefreshStatus();
            float snr = 0;
            t.TunerGetSnr(snr);
            const double rounded = RoundToTenth(snr);
            if (rounded > snrThreshold) clock.Sleep(p.extraSettleMs);

            progress += perAttempt;
            host.Progress(static_cast<int>(progress));
            int32_t quality = Quality(t);
            if (quality <= 0) continue;

            // Found: the log line and the result record what the tuner reports after locking.
            // A getter that fails leaves the value read before it.
            t.TunerRefreshStatus();
            int32_t mhz = 0, ksps = 0;
            t.TunerGetFrequency(mhz);
            t.TunerGetSymbolRate(ksps);
            t.TunerGetSignalQuality(quality);
            host.Log("Freq = " + std::to_string(mhz) + " Symb = " + std::to_string(ksps) +
                     "  Signal = " + std::to_string(quality) + "  SNR = " + ReadingText(rounded));

            t.TunerRefreshStatus();
            FoundTransponder found{mhz, -1, ksps, 0};
            t.TunerGetFrequency(found.mhz);
            t.TunerGetPolarity(found.polarityCode);
            t.TunerGetSymbolRate(found.ksps);
            t.TunerGetFec(found.fecCode);
            host.Found(found);
            break;  // one transponder per frequency
        }
        progress = static_cast<double>(k + 1) * perFrequency;
        host.Progress(static_cast<int>(progress));
    }
    host.Progress(100);
}

}  // namespace quillox
