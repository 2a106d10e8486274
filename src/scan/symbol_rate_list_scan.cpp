// The symbol-rate list scan: every probable frequency of one polarity is tried with the symbol
// rates of the list, in list order, until the tuner reports a signal; the transponder it then
// reports is appended, numbered, to the transponder list.
#include <cstdint>
#include <string>

#include "app/form1.h"
#include "app/number_text.h"
#include "scan/control_states.h"

namespace quillox {
namespace {

constexpr int32_t kMinSymbolRateDelay = 150;
constexpr int32_t kTuneSettleMs = 1000;

// A signal found early in the list gets a long extra settle: those are the common rates, and
// a lock there is worth waiting for.
int32_t ExtraWaitOnSignal(int index) {
    if (index <= 10) return 4500;
    if (index <= 20) return 1000;
    return 250;
}

// The SNR threshold above which the job waits a little longer before reading the transponder.
double SnrThresholdOf(int32_t code) {
    if (code == 23) return 3.6;
    if (code == 39) return 6.0;
    return 0.0;
}

void StartSymbolRateScan(TForm1& form, int32_t polarityCode, const Lines& frequencies) {
    if (!form.SymbolRateStartCheck()) return;
    LockForSymbolRateScan(form);
    form.tuner().TunerSetPolarity(polarityCode);
    form.tuner().TunerSetFec(fec::kAuto);
    form.tuner().TunerCommit(1);
    form.re_freq_tmp.setText(frequencies.text());
    form.b_GOClick();
}

}  // namespace

bool TForm1::SymbolRateStartCheck() {
    if (LenientInt(ed_sr_delay.text()) < kMinSymbolRateDelay)
        return RefuseInput("Invalid Delay, the minimum value is 150.", ed_sr_delay);
    ValidateScanLists();  // the scan starts whatever it removed
    return true;
}

void TForm1::Button2Click() {
    StartSymbolRateScan(*this, polarity::kVertical, r_edt_freq_v);
}
void TForm1::Button4Click() {
    StartSymbolRateScan(*this, polarity::kHorizontal, r_edt_freq_h);
}

void TForm1::b_GOClick() {
    StartWorker(SrListWorker);
}

void TForm1::SymbolRateListScan() {
    TunerDevice& t = tuner();
    Clock& clock = platform().clock;
    pbar_sr.setPosition(0);
    // Shares of the gauge per frequency and per attempt; used only while both lists have lines.
    const int frequencyCount = re_freq_tmp.count();
    const int rateCount = r_edt_symbolrate.count();
    const double perFrequency = frequencyCount > 0 ? 100.0 / frequencyCount : 0.0;
    const double perAttempt = rateCount > 0 ? perFrequency / rateCount : 0.0;
    double progress = 0.0;

    for (int k = 0; k < re_freq_tmp.count(); ++k) {
        TuneTo(StrictInt(re_freq_tmp.line(k)));
        clock.Sleep(kTuneSettleMs);
        for (int i = 0; i < r_edt_symbolrate.count(); ++i) {
            t.TunerSetSymbolRate(StrictInt(r_edt_symbolrate.line(i)));
            t.TunerCommit(1);
            t.TunerRefreshStatus();
            int32_t quality = 0;
            t.TunerGetSignalQuality(quality);
            if (quality > 0) clock.Sleep(ExtraWaitOnSignal(i));
            clock.Sleep(IntOr(ed_sr_delay.text(), kMinSymbolRateDelay));

            t.TunerRefreshStatus();
            float snr = 0;
            t.TunerGetSnr(snr);
            const double rounded = RoundToTenth(snr);
            if (rounded > SnrThresholdOf(IntOr(ed_Sig_L.text(), 39)))
                clock.Sleep(IntOr(ed_sr_delay2.text(), kMinSymbolRateDelay));

            progress += perAttempt;
            pbar_sr.setPosition(static_cast<int>(progress));

            t.TunerRefreshStatus();
            quality = 0;
            t.TunerGetSignalQuality(quality);
            if (quality <= 0) continue;

            // Found: the line records what the tuner reports after locking.
            t.TunerRefreshStatus();
            int32_t mhz = 0, ksps = 0;
            t.TunerGetFrequency(mhz);
            t.TunerGetSymbolRate(ksps);
            t.TunerGetSignalQuality(quality);
            RichEdit1.append("Freq = " + std::to_string(mhz) + " Symb = " + std::to_string(ksps) +
                             "  Signal = " + std::to_string(quality) +
                             "  SNR = " + ReadingText(rounded));

            t.TunerRefreshStatus();
            int32_t polarityCode = -1, fecCode = 0;
            t.TunerGetFrequency(mhz);
            t.TunerGetPolarity(polarityCode);
            t.TunerGetSymbolRate(ksps);
            t.TunerGetFec(fecCode);
            r_ed_trans_good.append(std::to_string(trans_counter) + "=" + std::to_string(mhz) + "," +
                                   PolarityLetter(polarityCode) + "," + std::to_string(ksps) + "," +
                                   TransponderFecText(fecCode));
            ++trans_counter;
            break;  // one transponder per frequency
        }
        progress = (k + 1) * perFrequency;
        pbar_sr.setPosition(static_cast<int>(progress));
    }
    pbar_sr.setPosition(100);
    UnlockAfterSymbolRateScan(*this);
    StopWorker(SrListWorker);
}

void TForm1::b_Stop_srClick() {
    StopWorker(SrListWorker);
    pbar_sr.setPosition(0);
    UnlockAfterSymbolRateScan(*this);
}

}  // namespace quillox
