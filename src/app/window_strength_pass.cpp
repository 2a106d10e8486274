// The Spectrum window's job: a strength pass over the range and polarities of the latest sweep
// shown, whose signal levels the picture draws behind that sweep's readings. It tunes the
// window's tuner with the window's LNB settings and writes nothing to the transponder lists.
#include <algorithm>
#include <optional>
#include <utility>

#include "app/control_states.h"
#include "app/form1.h"
#include "base/number_text.h"
#include "scan/strength_spectrum.h"

namespace quillox {
namespace {

// The pass's share done on the window's gauge, its points in the window's store.
class StrengthHostOfForm : public StrengthSpectrumHost {
public:
    explicit StrengthHostOfForm(TForm1& form) : form_(form) {}
    void Progress(int percent) override { form_.Form_Spectrum.pbar_strength.setPosition(percent); }
    void Point(const StrengthPoint& point) override { form_.StrengthReadings.AddPoint(point); }

private:
    TForm1& form_;
};

// The polarities the shown sweep covered, over the range of them all; nullopt before any sweep.
std::optional<StrengthSpectrumParams> SweepRangeOf(const SpectrumData& shown) {
    StrengthSpectrumParams params;
    bool any = false;
    for (auto [trace, swept] : {std::pair{&shown.vertical, &params.vertical},
                                std::pair{&shown.horizontal, &params.horizontal}}) {
        *swept = trace->startMhz != 0 || trace->endMhz != 0;
        if (!*swept) continue;
        params.startMhz = any ? std::min(params.startMhz, trace->startMhz) : trace->startMhz;
        params.endMhz = any ? std::max(params.endMhz, trace->endMhz) : trace->endMhz;
        any = true;
    }
    if (!any) return std::nullopt;
    return params;
}

}  // namespace

// Before any sweep the pass takes the range and polarities of "GO", checked as "GO" checks
// them. The tuner serves one job at a time: while another runs, the pass is refused.
void TForm1::bt_strengthClick() {
    for (const Worker* worker : {&FreqScanWorker, &SweepWorker, &SrListWorker, &SrFinderWorker,
                                 &FindAllWorker, &StrengthWorker})
        if (worker->running()) {
            platform_.dialogs.MessageBox(
                "A job is running: stop it before starting the strength pass.");
            return;
        }
    std::optional<StrengthSpectrumParams> params = SweepRangeOf(Form_Spectrum.Picture());
    if (!params) {
        if (!ValidateFrequencyFields(ed_f_start_r23, ed_f_end_r23, ed_f_step_r23, ed_f_delay_r23))
            return;
        if (!cb_Vertical.checked() && !cb_Horizontal.checked()) {
            RefuseInput("You have to choose at least one Polarity!", cb_Vertical);
            return;
        }
        params = StrengthSpectrumParams{};
        params->startMhz = StrictInt(ed_f_start_r23.text());
        params->endMhz = StrictInt(ed_f_end_r23.text());
        params->vertical = cb_Vertical.checked();
        params->horizontal = cb_Horizontal.checked();
    }
    strengthPass_ = *params;
    Form_Spectrum.pbar_strength.setPosition(0);
    LockForStrengthPass(*this);
    StartWorker(StrengthWorker);
}

// Each polarity's earlier curve goes when the pass starts; a stopped pass keeps what it read.
void TForm1::StrengthPass() {
    StrengthSpectrumParams params = strengthPass_;
    params.lnb = CurrentLnb();
    for (auto [measured, code] : {std::pair{params.vertical, polarity::kVertical},
                                  std::pair{params.horizontal, polarity::kHorizontal}})
        if (measured) StrengthReadings.BeginPass(code, params.startMhz, params.endMhz);
    StrengthHostOfForm host(*this);
    RunStrengthSpectrum(tuner(), platform().clock, params, host);
    UnlockAfterStrengthPass(*this);
}

void TForm1::bt_strength_stopClick() {
    StopWorker(StrengthWorker);
    Form_Spectrum.pbar_strength.setPosition(0);
    UnlockAfterStrengthPass(*this);
}

}  // namespace quillox
