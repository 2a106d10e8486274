// The Settings group (band radios, LOF fields, Apply), the tuning step, and the Apply of the
// "Get - Symbol Rate" transponder.
#include "app/form1.h"
#include "base/number_text.h"

namespace quillox {

Band TForm1::SelectedBand() const {
    if (rb_Cband.checked()) return Band::C;
    if (rb_Custom.checked()) return Band::Custom;
    return Band::KuLinear;
}

// ---- Band radios: they react to mouse release only, and never tune ------------------------

namespace {
void SetLofFields(TForm1& f, Band band) {
    const BandDefaults d = DefaultsOf(band);
    for (Edit* lof : {&f.ed_LOF_low, &f.ed_LOF_sw, &f.ed_LOF_higth}) lof->setEnabled(false);
    f.ed_LOF_low.setText(d.lofLow);
    f.ed_LOF_sw.setText(d.lofSwitch);
    f.ed_LOF_higth.setText(d.lofHigh);
}
}  // namespace

void TForm1::rb_Ku_LinearMouseUp() {
    SetLofFields(*this, Band::KuLinear);
}
void TForm1::rb_CbandMouseUp() {
    SetLofFields(*this, Band::C);
}

void TForm1::rb_CustomMouseUp() {
    for (Edit* lof : {&ed_LOF_low, &ed_LOF_sw, &ed_LOF_higth}) lof->setEnabled(true);
}

// ---- The tuning step ------------------------------------------------------------------------

LnbSettings TForm1::CurrentLnb() const {
    return {ed_LOF_low.text(), ed_LOF_sw.text(), ed_LOF_higth.text(), ToneCodeOf(cbLNB_Sel.text())};
}

LnbOscillators TForm1::CurrentOscillators() const {
    return {LenientInt(ed_LOF_low.text()), LenientInt(ed_LOF_sw.text()),
            LenientInt(ed_LOF_higth.text())};
}

// The LOF fields are read afresh every time and converted before any tuner call, so a field
// that is not an integer raises ConversionError without leaving the tuner half-staged.
void TForm1::TuneTo(int32_t mhz) {
    TuneToFrequency(tuner_, CurrentLnb(), mhz);
}

// ---- Apply of the Settings group -------------------------------------------------------------

namespace {

bool ValidateSettingsGroup(TForm1& f) {
    const int32_t low = LenientInt(f.ed_LOF_low.text());
    const int32_t sw = LenientInt(f.ed_LOF_sw.text());
    const int32_t high = LenientInt(f.ed_LOF_higth.text());
    if (low < 0) return f.RefuseInput("LOF_Low:\nInsert a valid Value.", f.ed_LOF_low);
    if (sw < 0) return f.RefuseInput("LOF_Sw:\nInsert a valid Value.", f.ed_LOF_sw);
    if (high < 0) return f.RefuseInput("LOF_High:\nInsert a valid Value.", f.ed_LOF_higth);
    if (high < low)
        return f.RefuseInput(
            "LOF_Low can\u00b4t be superior to the LOF_high\nInsert a valid Value.", f.ed_LOF_low);
    if (!f.cbLNB_Sel.hasItem(f.cbLNB_Sel.text()))
        return f.RefuseInput("LNB Sel:\nInsert a valid Value.", f.cbLNB_Sel);
    if (!f.cbDiSEqC.hasItem(f.cbDiSEqC.text()))
        return f.RefuseInput("DiSEqC:\nInsert a valid Value.", f.cbDiSEqC);
    return true;
}

}  // namespace

// DiSEqC is sent only here; the scans never send it, so the last Apply's option stays in force.
void TForm1::bApllyClick() {
    if (!ValidateSettingsGroup(*this)) return;
    tuner_.TunerSetDiseqc(DiseqcCodeOf(cbDiSEqC.text()));
    tuner_.TunerCommit(1);
    TuneTo(10700);
    tuner_.TunerSetPolarity(polarity::kVertical);
    tuner_.TunerSetSymbolRate(1);
    tuner_.TunerSetFec(fec::kAuto);
    tuner_.TunerCommit(1);
}

// ---- Apply of the "Get - Symbol Rate" transponder ---------------------------------------------

bool TForm1::ValidateTransponderGroup() {
    const int32_t f = LenientInt(Edit12.text());
    switch (SelectedBand()) {
        case Band::KuLinear:
            if (!FrequencyInBand(Band::KuLinear, f))
                return RefuseInput(
                    "Invalid frequency for Ku-Linear Band\nPlease put a frequency from "
                    "10700 Mhz to 12750 MHz.",
                    Edit12);
            break;
        case Band::C:
            if (!FrequencyInBand(Band::C, f))
                return RefuseInput(
                    "Invalid frequency for C-Linear Band\nPlease put a frequency from "
                    "3400 MHz to 4200 MHz.",
                    Edit12);
            break;
        case Band::Custom:
            if (f < 1)
                return RefuseInput("Invalid frequency\nPlease put a valid frequency.", Edit12);
            break;
    }
    if (!cbPolarity.hasItem(cbPolarity.text()))
        return RefuseInput("Pol:\nInsert a valid Value.", cbPolarity);
    if (!cbFec.hasItem(cbFec.text())) return RefuseInput("FEC:\nInsert a valid Value.", cbFec);
    const int32_t sr = LenientInt(Edit14.text());
    if (sr < 1 || sr > 45000)
        return RefuseInput("Invalid Symbol-Rate.\nPlease put a Symbol Rate from 1 to 45000.",
                           Edit14);
    return true;
}

void TForm1::bAplly2Click() {
    if (!ValidateTransponderGroup()) return;
    TuneTo(StrictInt(Edit12.text()));
    if (const auto code = PolarityCodeOf(cbPolarity.text())) tuner_.TunerSetPolarity(*code);
    tuner_.TunerSetSymbolRate(StrictInt(Edit14.text()));
    tuner_.TunerSetFec(FecCodeOf(cbFec.text()).value_or(fec::kAuto));
    tuner_.TunerCommit(1);
}

}  // namespace quillox
