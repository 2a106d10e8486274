#include "scan/lnb_tuning.h"

#include "base/number_text.h"
#include "base/tuning_code_values.h"

namespace quillox {

void TuneToFrequency(TunerDevice& tuner, const LnbSettings& lnb, int32_t mhz) {
    const int32_t sw = StrictInt(lnb.lofSwitch);
    const bool lowBand = mhz < sw || sw == 0;
    const int32_t lof = StrictInt(lowBand ? lnb.lofLow : lnb.lofHigh);
    tuner.TunerSetLnbSelection(lowBand ? tone::kNone : lnb.highBandTone);
    tuner.TunerSetLnbFrequency(lof);
    tuner.TunerSetFrequency(mhz);
    tuner.TunerCommit(1);
}

}  // namespace quillox
