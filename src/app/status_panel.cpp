// The " Actual Settings " panel: what the tuner reports, refreshed by Timer1.
#include <algorithm>
#include <string>

#include "app/form1.h"
#include "base/number_text.h"

namespace quillox {
namespace {

// A code outside the table leaves the field showing what it showed before.
void ShowCode(Edit& field, const char* text) {
    if (text != nullptr) field.setText(text);
}

}  // namespace

// One tick of the "Actual Settings" panel: what the tuner reports, in a fixed call order. Each
// out-variable starts at 0, so a getter that fails shows 0 (or the text of code 0).
void TForm1::Timer1Timer() {
    tuner_.TunerRefreshStatus();
    int32_t frequency = 0, polarityCode = 0, symbolRate = 0, fecCode = 0;
    tuner_.TunerGetFrequency(frequency);
    tuner_.TunerGetPolarity(polarityCode);
    tuner_.TunerGetSymbolRate(symbolRate);
    tuner_.TunerGetFec(fecCode);
    Edit2.setText(std::to_string(frequency));
    ShowCode(Edit3, PolarityText(polarityCode));
    Edit4.setText(std::to_string(symbolRate));
    ShowCode(Edit5, FecText(fecCode));

    int32_t lof = 0;
    tuner_.TunerGetLnbFrequency(lof);
    Edit6.setText(std::to_string(lof));

    int32_t diseqcCode = 0;
    tuner_.TunerGetDiseqc(diseqcCode);
    ShowCode(Edit7, DiseqcText(diseqcCode));

    int32_t toneCode = 0;
    tuner_.TunerGetLnbSelection(toneCode);
    ShowCode(Edit8, ToneText(toneCode));

    int32_t quality = 0;
    tuner_.TunerGetSignalQuality(quality);
    Edit9.setText(std::to_string(quality));
    // The bar fills the inside of its one-pixel frame; a reading outside 0..100 stays inside it.
    const int64_t inside = Image2.width() - 2;
    Image3.setWidth(static_cast<int>(inside * std::clamp(quality, 0, 100) / 100));

    tuner_.TunerRefreshStatus();
    float snr = 0.0f;
    tuner_.TunerGetSnr(snr);
    ed_snr.setText(ReadingText(RoundToTenth(snr)));

    int32_t sigtre = 0;
    tuner_.TunerGetSigtre(sigtre);
    Edit10.setText(std::to_string(sigtre));

    ShowJobProgress();  // the status line, once a second like the panel
}

}  // namespace quillox
