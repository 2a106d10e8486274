// The page "SkyStar2  rev. 2.6", first method: the probable-frequency sweep of one polarity
// and the symbol-rate list scan of its result, their start and stop events and the lists they
// fill.
#include <cstdint>
#include <string>
#include <vector>

#include "app/control_states.h"
#include "app/job_texts.h"
#include "app/scan_host_of_form.h"
#include "base/number_text.h"
#include "scan/probable_frequency_scan.h"
#include "scan/symbol_rate_list_scan.h"

namespace quillox {
namespace {

constexpr int32_t kMinSymbolRateDelay = 150;

// Hits go to RichEdit2, where the merge (b_tr_GO) finds them; each step's SNR to the spectrum.
class SweepHost : public ScanHostOfForm<ProbableFrequencyScanHost> {
public:
    using ScanHostOfForm::ScanHostOfForm;
    void Hit(int32_t mhz) override { form_.RichEdit2.append(std::to_string(mhz)); }
    void Reading(int32_t mhz, double snr) override {
        form_.SpectrumReadings.AddReading(SweepMethod::ProbableFrequency, form_.stagedPolarityCode,
                                          mhz, snr);
    }
};

// Each transponder found becomes the next numbered line of the transponder list and a marker
// of the spectrum.
class SymbolRateListHost : public ScanHostOfForm<SymbolRateListScanHost> {
public:
    using ScanHostOfForm::ScanHostOfForm;
    void Found(const FoundTransponder& t) override {
        form_.AppendTransponder(form_.r_ed_trans_good, form_.trans_counter, t);
        form_.SpectrumReadings.AddFound(SweepMethod::ProbableFrequency, t);
    }
};

}  // namespace

// ---- Probable-frequency sweep -----------------------------------------------------------------

bool TForm1::ValidateFrequencyRange() {
    return ValidateFrequencyFields(ed_f_start, ed_f_end, ed_f_step, ed_f_delay);
}

namespace {

// The start events of both polarities: lock the page, stage the polarity, show the
// placeholder in the swept list and start the worker.
void StartSweep(TForm1& form, SweepPolarity polarity) {
    if (!form.ValidateFrequencyRange()) return;
    const bool vertical = polarity == SweepPolarity::Vertical;
    LockForFrequencyScan(form, polarity);
    form.stagedPolarityCode = vertical ? polarity::kVertical : polarity::kHorizontal;
    form.tuner().TunerSetPolarity(form.stagedPolarityCode);
    form.tuner().TunerSetFec(fec::kAuto);
    form.tuner().TunerCommit(1);
    Lines& list = vertical ? form.r_edt_freq_v : form.r_edt_freq_h;
    list.clear();
    list.setText(kSweepPlaceholder);
    form.RichEdit2.clear();
    form.StartWorker(form.FreqScanWorker);
}

}  // namespace

void TForm1::Button1Click() {
    StartSweep(*this, SweepPolarity::Vertical);
}
void TForm1::Button3Click() {
    StartSweep(*this, SweepPolarity::Horizontal);
}

void TForm1::ProbableFrequencyScan() {
    ProbableFrequencyScanParams params;
    params.symbolRateKsps = StrictInt(ed_f_sr.text());
    params.startMhz = StrictInt(ed_f_start.text());
    params.endMhz = StrictInt(ed_f_end.text());
    params.stepMhz = StrictInt(ed_f_step.text());
    params.delayMs = StrictInt(ed_f_delay.text());
    params.readIntervalMs = StrictInt(ed_f_delay2.text());
    SpectrumReadings.BeginSweep(SweepMethod::ProbableFrequency, stagedPolarityCode, params.startMhz,
                                params.endMhz);
    SweepHost host(*this, pbar_freq);
    RunProbableFrequencyScan(tuner(), platform().clock, params, host);
    b_tr_GOClick();
    UnlockAfterFrequencyScan(*this);
    StopWorker(FreqScanWorker);
}

void TForm1::b_tr_GOClick() {
    re_freq_tmp.clear();
    std::vector<int64_t> hits;
    for (const std::string& line : RichEdit2.lines()) hits.push_back(StrictInt(line));
    for (int64_t mhz : MergeHits(hits)) re_freq_tmp.append(std::to_string(mhz));

    tuner().TunerRefreshStatus();
    int32_t polarityCode = -1;  // a failed read changes neither list
    tuner().TunerGetPolarity(polarityCode);
    if (polarityCode == polarity::kVertical) r_edt_freq_v.setText(re_freq_tmp.text());
    if (polarityCode == polarity::kHorizontal) r_edt_freq_h.setText(re_freq_tmp.text());
}

void TForm1::b_CClick() {
    RichEdit2.clear();
}

void TForm1::b_StopClick() {
    StopWorker(FreqScanWorker);
    pbar_freq.setPosition(0);
    RichEdit2.clear();  // the stopped sweep's hits are dropped unmerged
    for (Lines* list : {&r_edt_freq_h, &r_edt_freq_v})
        if (list->text() == kSweepPlaceholder) list->clear();
    UnlockAfterFrequencyScan(*this);
}

void TForm1::bt_Clear_vClick() {
    r_edt_freq_v.clear();
}
void TForm1::bt_Clear_hClick() {
    r_edt_freq_h.clear();
}

// ---- Symbol-rate list scan --------------------------------------------------------------------

namespace {

void StartSymbolRateScan(TForm1& form, int32_t polarityCode, const Lines& frequencies) {
    if (!form.SymbolRateStartCheck()) return;
    LockForSymbolRateScan(form);
    form.stagedPolarityCode = polarityCode;
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
    SymbolRateListScanParams params;
    params.frequencies = re_freq_tmp.lines();
    params.symbolRates = r_edt_symbolrate.lines();
    params.delayMs = IntOr(ed_sr_delay.text(), kMinSymbolRateDelay);
    params.snrThresholdCode = IntOr(ed_Sig_L.text(), 39);
    params.extraSettleMs = IntOr(ed_sr_delay2.text(), kMinSymbolRateDelay);
    SpectrumReadings.BeginFinding(SweepMethod::ProbableFrequency, stagedPolarityCode);
    // The frequencies it tries came from the sweep of the page's range.
    NoteScanned(r_ed_trans_good,
                {stagedPolarityCode, LenientInt(ed_f_start.text()), LenientInt(ed_f_end.text())});
    SymbolRateListHost host(*this, pbar_sr);
    RunSymbolRateListScan(tuner(), platform().clock, params, host);
    UnlockAfterSymbolRateScan(*this);
    StopWorker(SrListWorker);
}

void TForm1::b_Stop_srClick() {
    StopWorker(SrListWorker);
    pbar_sr.setPosition(0);
    UnlockAfterSymbolRateScan(*this);
}

}  // namespace quillox
