// The page "Signal Info" and the full-screen signal window: tune one transponder and watch its
// signal quality as a coloured bar in both windows, whose five inputs are kept alike.
#include <algorithm>

#include "app/form1.h"
#include "base/number_text.h"

namespace quillox {
namespace {

constexpr int32_t kMinRefreshMs = 100;

}  // namespace

// ---- Main window -------------------------------------------------------------------------------

bool TForm1::ValidateSignalInput() {
    const Band band = SelectedBand();
    const int32_t mhz = LenientInt(ed_sig_freq.text());
    const int32_t ksps = LenientInt(ed_sig_sr.text());
    const bool outside = !FrequencyInBand(band, mhz);
    return RefuseFirstFailing(
        {
            {band == Band::KuLinear && outside,
             "Invalid frequency, please put a frequency from 10700 to 12750.", ed_sig_freq},
            {band == Band::C && outside,
             "Invalid frequency, please put a frequency from 3400 to 4200.", ed_sig_freq},
            {band == Band::Custom && mhz < 1, "Invalid frequency\nPlease put a valid frequency.",
             ed_sig_freq},
            {!cb_sig_Polarity.hasItem(cb_sig_Polarity.text()), "Pol:\nInsert a valid Value.",
             cb_sig_Polarity},
            {!cb_sig_Fec.hasItem(cb_sig_Fec.text()), "FEC:\nInsert a valid Value.", cb_sig_Fec},
            {ksps < 1 || ksps > 45000,
             "Invalid Symbol-Rate.\nPlease put a Symbol Rate from 1 to 45000.", ed_sig_sr},
            {LenientInt(ed_sig_refresh.text()) < kMinRefreshMs,
             "Refresh:\nMinimum value is 100ms\nInsert a valid Value.", ed_sig_refresh},
        },
        // The field to correct is in the main window, behind the signal window: close that.
        [this] {
            if (!Form_Signal.closed()) Form_Signal.Close();
        });
}

// Stays on for later Applies, which only change the interval and the tuning.
void TForm1::bt_sig_ApplyClick() {
    if (!ValidateSignalInput()) return;
    Timer_sig.setEnabled(true);
    Timer_sig.setInterval(IntOr(ed_sig_refresh.text(), kMinRefreshMs));
    TuneTo(StrictInt(ed_sig_freq.text()));
    if (const auto code = PolarityCodeOf(cb_sig_Polarity.text())) tuner().TunerSetPolarity(*code);
    tuner().TunerSetSymbolRate(StrictInt(ed_sig_sr.text()));
    tuner().TunerSetFec(FecCodeOf(cb_sig_Fec.text()).value_or(fec::kAuto));
    tuner().TunerCommit(1);
}

// A quality outside 0..100 takes the colour of the nearest end of the strip.
void TForm1::Timer_sigTimer() {
    tuner().TunerRefreshStatus();
    int32_t quality = 0;
    tuner().TunerGetSignalQuality(quality);
    const uint32_t colour = img_SL_pixel_color.pixel(std::clamp(quality, 0, 100), 0);
    pbar_sig_q.setColour(colour);
    Form_Signal.pbar_sig_q.setColour(colour);
    pbar_sig_q.setPosition(quality);
    Form_Signal.pbar_sig_q.setPosition(quality);
}

void TForm1::Button5Click() {
    Form_Signal.Reopen();
    platform().dialogs.ShowModal(Form_Signal);
}

// An equal text changes nothing and runs no handler, so each copy ends after one exchange.
void TForm1::ed_sig_freqChange() {
    Form_Signal.ed_sig_freq.setText(ed_sig_freq.text());
}
void TForm1::cb_sig_PolarityChange() {
    Form_Signal.cb_sig_Polarity.setText(cb_sig_Polarity.text());
}
void TForm1::ed_sig_srChange() {
    Form_Signal.ed_sig_sr.setText(ed_sig_sr.text());
}
void TForm1::cb_sig_FecChange() {
    Form_Signal.cb_sig_Fec.setText(cb_sig_Fec.text());
}
void TForm1::ed_sig_refreshChange() {
    Form_Signal.ed_sig_refresh.setText(ed_sig_refresh.text());
}

// ---- Signal window -----------------------------------------------------------------------------

void TForm_Signal::bt_sig_ApplyClick() {
    main_.bt_sig_Apply.click();
}

void TForm_Signal::ed_sig_freqChange() {
    main_.ed_sig_freq.setText(ed_sig_freq.text());
}
void TForm_Signal::cb_sig_PolarityChange() {
    main_.cb_sig_Polarity.setText(cb_sig_Polarity.text());
}
void TForm_Signal::ed_sig_srChange() {
    main_.ed_sig_sr.setText(ed_sig_sr.text());
}
void TForm_Signal::cb_sig_FecChange() {
    main_.cb_sig_Fec.setText(cb_sig_Fec.text());
}
void TForm_Signal::ed_sig_refreshChange() {
    main_.ed_sig_refresh.setText(ed_sig_refresh.text());
}

void TForm_Signal::Button1Click() {
    Close();
}

}  // namespace quillox
