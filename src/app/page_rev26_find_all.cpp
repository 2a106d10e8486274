// "Find (1,2,3,4)" of page "SkyStar2  rev. 2.6": both probable-frequency sweeps and the
// symbol-rate scan of each sweep's result as one unattended job on FindAllWorker, which may end
// with Save & Shutdown.
#include <cstdint>

#include "app/control_states.h"
#include "app/form1.h"
#include "app/job_texts.h"

namespace quillox {
namespace {

// What each of the four steps stages before its body runs.
void Stage(TForm1& form, int32_t polarityCode) {
    form.stagedPolarityCode = polarityCode;
    form.tuner().TunerSetPolarity(polarityCode);
    form.tuner().TunerSetFec(fec::kAuto);
    form.tuner().TunerCommit(1);
}

// The sweep's merge fills the list of the polarity that the tuner reports.
void SweepStep(TForm1& form, int32_t polarityCode, Lines& list) {
    Stage(form, polarityCode);
    list.clear();
    list.setText(kSweepPlaceholder);
    form.RichEdit2.clear();
    form.ProbableFrequencyScan();
}

// Tries exactly what the sweep of the same polarity has just found.
void SymbolRateStep(TForm1& form, int32_t polarityCode, const Lines& frequencies) {
    Stage(form, polarityCode);
    form.re_freq_tmp.setText(frequencies.text());
    form.SymbolRateListScan();
}

}  // namespace

// The checks of "1 - FIND" and of the symbol-rate scans; the job locks the page itself.
void TForm1::bt_Find1234_r26Click() {
    if (!ValidateFrequencyRange() || !SymbolRateStartCheck()) return;
    StartWorker(FindAllWorker);
}

// Each step's own end unlocks the page for a moment; locking it again at once keeps the user
// from starting a second job between two steps.
void TForm1::FindAllJob() {
    r_edt_freq_v.clear();
    r_edt_freq_h.clear();
    LockPageForFindAll(*this);
    findAllStep_ = 0;
    SweepStep(*this, polarity::kVertical, r_edt_freq_v);
    LockPageForFindAll(*this);
    findAllStep_ = 1;
    SymbolRateStep(*this, polarity::kVertical, r_edt_freq_v);
    LockPageForFindAll(*this);
    pbar_sr.setPosition(0);
    findAllStep_ = 2;
    SweepStep(*this, polarity::kHorizontal, r_edt_freq_h);
    LockPageForFindAll(*this);
    findAllStep_ = 3;
    SymbolRateStep(*this, polarity::kHorizontal, r_edt_freq_h);
    UnlockPageAfterFindAll(*this);
    if (cb_shutdown_r26.checked()) {
        SaveAndShutdown(ShutdownPage::Rev26);  // may close the window: nothing may follow
        return;
    }
    StopWorker(FindAllWorker);
}

// The transponders found before the stop stay in their list.
void TForm1::bt_Stop1234_r26Click() {
    StopWorker(FindAllWorker);
    r_edt_freq_v.clear();
    r_edt_freq_h.clear();
    pbar_freq.setPosition(0);
    pbar_sr.setPosition(0);
    UnlockPageAfterFindAll(*this);
}

}  // namespace quillox
