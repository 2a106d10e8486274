#include "scan/strength_spectrum.h"

#include <algorithm>
#include <vector>

#include "base/range_step.h"
#include "base/tuning_code_values.h"

namespace quillox {

int64_t StrengthStepsPerPass(const StrengthSpectrumParams& params) {
    const int64_t step = std::max<int32_t>(1, params.stepMhz);
    int64_t steps = 0;
    for (int64_t f = params.startMhz; f <= params.endMhz; f = NextInRange(f, params.endMhz, step))
        ++steps;
    return steps;
}

void RunStrengthSpectrum(TunerDevice& tuner, Clock& clock, const StrengthSpectrumParams& params,
                         StrengthSpectrumHost& host) {
    std::vector<int32_t> passes;
    if (params.vertical) passes.push_back(polarity::kVertical);
    if (params.horizontal) passes.push_back(polarity::kHorizontal);
    const int64_t step = std::max<int32_t>(1, params.stepMhz);
    const int64_t total = StrengthStepsPerPass(params) * static_cast<int64_t>(passes.size());
    int64_t done = 0;
    host.Progress(0);
    for (const int32_t polarityCode : passes) {
        // Staged once per pass; each tuning step commits them with the frequency.
        tuner.TunerSetPolarity(polarityCode);
        tuner.TunerSetSymbolRate(params.symbolRateKsps);
        tuner.TunerSetFec(fec::kAuto);
        for (int64_t f = params.startMhz; f <= params.endMhz;
             f = NextInRange(f, params.endMhz, step)) {
            TuneToFrequency(tuner, params.lnb, static_cast<int32_t>(f));
            clock.Sleep(params.settleMs);
            tuner.TunerRefreshStatus();
            StrengthPoint point{polarityCode, static_cast<int32_t>(f), {}, {}};
            int32_t level = 0;
            if (tuner.TunerGetSigtre(level) == 0) point.level = level;
            float snr = 0;
            if (tuner.TunerGetSnr(snr) == 0) point.snr = snr;
            host.Point(point);
            host.Progress(static_cast<int>(++done * 100 / total));
        }
    }
    host.Progress(100);
}

}  // namespace quillox
