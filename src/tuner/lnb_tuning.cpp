#include "app/form1.h"
#include "app/number_text.h"

namespace quillox {

Band TForm1::SelectedBand() const {
    if (rb_Cband.checked()) return Band::C;
    if (rb_Custom.checked()) return Band::Custom;
    return Band::KuLinear;
}

// Puts the LNB on downlink frequency `mhz`: low band (tone off, low LOF) below the switch
// frequency or when there is no high band, else the high band with the chosen tone. The LOF
// fields are read afresh every time and converted before any tuner call, so a field that is
// not an integer raises ConversionError without leaving the tuner half-staged.
void TForm1::TuneTo(int32_t mhz) {
    const int32_t sw = StrictInt(ed_LOF_sw.text());
    const bool lowBand = mhz < sw || sw == 0;
    const int32_t toneCode = lowBand ? tone::kNone : ToneCodeOf(cbLNB_Sel.text());
    const int32_t lof = StrictInt(lowBand ? ed_LOF_low.text() : ed_LOF_higth.text());
    tuner_.TunerSetLnbSelection(toneCode);
    tuner_.TunerSetLnbFrequency(lof);
    tuner_.TunerSetFrequency(mhz);
    tuner_.TunerCommit(1);
}

}  // namespace quillox
