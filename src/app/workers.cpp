// Starting and stopping the window's jobs, and the control states that go with them.
#include <string>
#include <vector>

#include "app/control_states.h"
#include "app/form1.h"
#include "app/job_texts.h"

namespace quillox {
namespace {

using ControlList = std::vector<Control*>;

void SetEnabled(const ControlList& controls, bool enabled) {
    for (Control* control : controls) control->setEnabled(enabled);
}

// The start buttons of the page's jobs, which every job of the page locks.
ControlList StartControls(TForm1& f) {
    return {&f.Button1, &f.Button2, &f.Button3, &f.Button4, &f.bt_Find1234_r26, &f.bt_Stop1234_r26};
}

// A worker's body, the stop event that restores the window when the body fails, and what the
// status line calls the job and reads its progress from.
struct Job {
    Worker TForm1::*worker;
    void (TForm1::*body)();
    void (TForm1::*stopEvent)();
    const char* caption;
    Gauge* (*gauge)(TForm1&);
};

constexpr Job kJobs[] = {
    {&TForm1::FreqScanWorker, &TForm1::ProbableFrequencyScan, &TForm1::b_StopClick, "FIND",
     [](TForm1& f) { return &f.pbar_freq; }},
    {&TForm1::SrListWorker, &TForm1::SymbolRateListScan, &TForm1::b_Stop_srClick, "Find S/Rs",
     [](TForm1& f) { return &f.pbar_sr; }},
    {&TForm1::SrFinderWorker, &TForm1::FindSymbolRate, &TForm1::bt_stop_find_srClick, "Find_S/R",
     [](TForm1& f) { return &f.pbar_find_sr; }},
    {&TForm1::SweepWorker, &TForm1::SweepScan, &TForm1::b_Stop_r23Click, "GO",
     [](TForm1& f) { return &f.pbar_freq_r23; }},
    // Its gauge is computed from the step that runs (see StartWorker).
    {&TForm1::FindAllWorker, &TForm1::FindAllJob, &TForm1::bt_Stop1234_r26Click, "Find (1,2,3,4)",
     nullptr},
    {&TForm1::StrengthWorker, &TForm1::StrengthPass, &TForm1::bt_strength_stopClick, "Strength",
     [](TForm1& f) { return &f.Form_Spectrum.pbar_strength; }},
};

const Job* JobOf(TForm1& form, const Worker& worker) {
    for (const Job& job : kJobs)
        if (&(form.*job.worker) == &worker) return &job;
    return nullptr;
}

}  // namespace

void LockForFrequencyScan(TForm1& f, SweepPolarity polarity) {
    const bool vertical = polarity == SweepPolarity::Vertical;
    SetEnabled(StartControls(f), false);
    SetEnabled({&f.ed_f_start, &f.ed_f_end, &f.ed_f_step, &f.ed_f_delay}, false);
    if (vertical) {
        SetEnabled({&f.bt_Load_v, &f.bt_Save_v, &f.bt_Clear_v}, false);
        f.r_edt_freq_v.setReadOnly(true);
    } else {
        SetEnabled({&f.bt_Load_h, &f.bt_Save_h, &f.bt_Clear_h}, false);
        f.r_edt_freq_h.setReadOnly(true);
    }
    f.b_Stop_sr.setEnabled(false);
    // The horizontal sweep keeps the Settings group usable.
    if (vertical) f.gbSettings.setEnabled(false);
    SetEnabled({&f.ts_ss2r23, &f.ts_02, &f.ts_signal}, false);
}

void UnlockAfterFrequencyScan(TForm1& f) {
    SetEnabled(StartControls(f), true);
    SetEnabled({&f.ed_f_start, &f.ed_f_end, &f.ed_f_step, &f.ed_f_delay, &f.bt_Load_v, &f.bt_Save_v,
                &f.bt_Clear_v, &f.bt_Load_h, &f.bt_Save_h, &f.bt_Clear_h, &f.b_Stop_sr,
                &f.gbSettings, &f.ts_ss2r23, &f.ts_02, &f.ts_signal},
               true);
    f.r_edt_freq_v.setReadOnly(false);
    f.r_edt_freq_h.setReadOnly(false);
}

void LockForSymbolRateScan(TForm1& f) {
    SetEnabled(StartControls(f), false);
    SetEnabled({&f.ed_sr_delay, &f.b_Load, &f.b_Save, &f.b_Clear}, false);
    f.r_edt_symbolrate.setReadOnly(true);
    SetEnabled({&f.b_Stop, &f.gbSettings, &f.ts_ss2r23, &f.ts_02, &f.ts_signal}, false);
}

void UnlockAfterSymbolRateScan(TForm1& f) {
    SetEnabled(StartControls(f), true);
    SetEnabled({&f.ed_sr_delay, &f.b_Load, &f.b_Save, &f.b_Clear}, true);
    f.r_edt_symbolrate.setReadOnly(false);
    SetEnabled({&f.b_Stop, &f.gbSettings, &f.ts_ss2r23, &f.ts_02, &f.ts_signal}, true);
}

namespace {
ControlList FindAllLockedControls(TForm1& f) {
    return {&f.gbSettings, &f.ts_ss2r23,       &f.ts_02,  &f.ts_signal, &f.gb_freqs,
            &f.gb_srs,     &f.bt_Find1234_r26, &f.b_Stop, &f.b_Stop_sr};
}
}  // namespace

void LockPageForFindAll(TForm1& f) {
    SetEnabled(FindAllLockedControls(f), false);
}
void UnlockPageAfterFindAll(TForm1& f) {
    SetEnabled(FindAllLockedControls(f), true);
}

namespace {
ControlList SweepLockedControls(TForm1& f) {
    return {&f.gbSettings, &f.gb_freqs_r23, &f.gb_Polarity, &f.gb_F_Tuning, &f.gb_sr_range,
            &f.bt_go_r23,  &f.ts_01,        &f.ts_02,       &f.ts_signal};
}
}  // namespace

namespace {
ControlList StrengthLockedControls(TForm1& f) {
    return {&f.Button1,   &f.Button2,  &f.Button3,    &f.Button4,   &f.bt_Find1234_r26,
            &f.bt_go_r23, &f.bt_sr_go, &f.gbSettings, &f.ts_signal, &f.Form_Spectrum.bt_strength};
}
}  // namespace

void LockForStrengthPass(TForm1& f) {
    SetEnabled(StrengthLockedControls(f), false);
    f.Form_Spectrum.bt_strength_stop.setEnabled(true);
}
void UnlockAfterStrengthPass(TForm1& f) {
    SetEnabled(StrengthLockedControls(f), true);
    f.Form_Spectrum.bt_strength_stop.setEnabled(false);
}

void LockForSweep(TForm1& f) {
    SetEnabled(SweepLockedControls(f), false);
}
void UnlockAfterSweep(TForm1& f) {
    SetEnabled(SweepLockedControls(f), true);
}

// Runs the worker's body on its own thread. A body error that the job does not handle (a
// field that is not an integer, say) goes to the diagnostic log and the status line, is shown
// in an error box, and then ends the job the way its stop event would, on the worker thread.
// The box comes first: the stop event marks the worker stopped, and a worker that is stopped
// shows no dialog. Should the job be stopped while the box waits (the window closing), the
// box is withdrawn and the stop restores the page.
void TForm1::StartWorker(Worker& worker) {
    const Job* job = JobOf(*this, worker);
    if (job == nullptr) return;  // nothing to run: the page stays as the start event left it
    tuner_.JobStarting();
    std::function<int()> percent;
    if (job->gauge != nullptr) {
        percent = [gauge = job->gauge(*this)] { return gauge->position(); };
    } else {  // "Find (1,2,3,4)": four steps of equal weight, sweeps on pbar_freq
        findAllStep_ = 0;
        percent = [this] {
            const int step = findAllStep_;
            const Gauge& gauge = step % 2 == 0 ? pbar_freq : pbar_sr;
            return (step * 100 + gauge.position()) / 4;
        };
    }
    JobClockStarted(job->caption, std::move(percent));
    worker.Start(
        [this, body = job->body] {
            (this->*body)();
            JobClockFinished();
        },
        [this, stopEvent = job->stopEvent, caption = job->caption](const std::exception& error) {
            RichEdit1.append(kJobErrorPrefix + std::string(error.what()));
            JobClockEnded(std::string(caption) + " ended on an error: " + error.what());
            platform_.dialogs.ErrorBox(error.what());
            (this->*stopEvent)();
        });
}

// From another thread this returns only once the worker has ended, so the caller's following
// control changes are the last ones; the status line then tells where the job stood. On the
// worker's own thread it marks the job stopped and returns; the body ends at its next sleep or
// tuner call, or when it returns.
void TForm1::StopWorker(Worker& worker) {
    const bool stoppedFromOutside = worker.running() && !worker.onWorkerThread();
    worker.Stop();
    if (stoppedFromOutside)
        JobClockEnded("Stopped at " + std::to_string(tuner_.committedMhz()) + " MHz");
}

}  // namespace quillox
