// The page "SkyStar2  rev. 2.3", second method: the sweep in which the tuner finds the symbol
// rate itself, with the confirmation that centres each transponder it detects.
#include <cstdint>
#include <string>
#include <utility>

#include "app/control_states.h"
#include "app/scan_host_of_form.h"
#include "base/number_text.h"
#include "scan/sweep_scan.h"

namespace quillox {
namespace {

constexpr int32_t kMinDwellMs = 200;
constexpr int32_t kMaxRangeMsps = 45;
constexpr int32_t kDefaultPollDivisor = 20;

// The fine-tuning box is read at each detection; each transponder becomes the next line and a
// marker of the spectrum, each step's quality a point of it.
class SweepHostOfForm : public ScanHostOfForm<SweepScanHost> {
public:
    using ScanHostOfForm::ScanHostOfForm;
    bool FineTuning() override { return form_.cb_Fine_Tuning.checked(); }
    void Found(const FoundTransponder& t) override {
        form_.AppendTransponder(form_.r_ed_trans_good_r23, form_.trans_counter_r23, t);
        form_.SpectrumReadings.AddFound(SweepMethod::RateSearch, t);
    }
    void Reading(int32_t polarityCode, int32_t mhz, int32_t quality) override {
        form_.SpectrumReadings.AddReading(SweepMethod::RateSearch, polarityCode, mhz, quality);
    }
};

}  // namespace

// A device that tells how soon it can lock while it searches the rate (the simulated dish
// does) lets the job say at its start that a delay too short for it can find nothing, rather
// than finish with an empty list and no word. The sweep still runs: its readings show where
// the energy is.
void TForm1::WarnWhenTooQuickToLock(const SweepScanParams& params) {
    if (params.symbolRateKsps != 0) return;
    const std::optional<int32_t> quickest = tuner_.QuickestRateSearchLockMs();
    const int64_t listen = SweepListenMs(params);
    if (!quickest || *quickest <= listen) return;
    const int64_t delay = params.dwellMs + (*quickest - listen);
    JobClockNotice("The tuner needs at least " + std::to_string(*quickest) +
                   " ms to lock while it searches the symbol rate: with a delay of " +
                   std::to_string(params.dwellMs) + " ms GO cannot find any transponder. Use " +
                   std::to_string((delay + 9) / 10 * 10) + " ms or more.");
}

bool TForm1::ValidateSweepInput() {
    if (!ValidateFrequencyFields(ed_f_start_r23, ed_f_end_r23, ed_f_step_r23, ed_f_delay_r23))
        return false;
    const bool range = rb_sr_range_custom.checked();
    const int32_t from = LenientInt(ed_sr_range_from.text());
    const int32_t to = LenientInt(ed_sr_range_to.text());
    return RefuseFirstFailing({
        {!cb_Vertical.checked() && !cb_Horizontal.checked(),
         "You have to choose at least one Polarity!", cb_Vertical},
        {LenientInt(ed_F_Tuning.text()) < kMinDwellMs,
         "Invalid Custom Delay, the minimum value is 200.", ed_F_Tuning},
        {range && (from < 0 || from > kMaxRangeMsps),
         "Symbol - Rates Range:\nFrom: Invalid value!\n"
         "          Please put a Symbol-Rate from 0 MS/s to 45 MS/s",
         ed_sr_range_from},
        {range && (to < 1 || to > kMaxRangeMsps),
         "Symbol - Rates Range:\nTo: Invalid value!\n"
         "        Please put a Symbol-Rate from 1 MS/s to 45 MS/s",
         ed_sr_range_to},
        {range && to <= from, "Symbol - Rates Range:\nTO value must be superior to FROM value!",
         ed_sr_range_from},
    });
}

// Earlier lines stay: a new sweep appends and numbers on from the counter.
void TForm1::bt_go_r23Click() {
    if (!ValidateSweepInput()) return;
    tuner().TunerSetFec(fec::kAuto);
    tuner().TunerCommit(1);
    LockForSweep(*this);
    StartWorker(SweepWorker);
}

// The list, the log and the counter keep what the stopped sweep wrote.
void TForm1::b_Stop_r23Click() {
    StopWorker(SweepWorker);
    pbar_freq_r23.setPosition(0);
    UnlockAfterSweep(*this);
}

void TForm1::SweepScan() {
    SweepScanParams params;
    params.startMhz = StrictInt(ed_f_start_r23.text());
    params.endMhz = StrictInt(ed_f_end_r23.text());
    params.stepMhz = StrictInt(ed_f_step_r23.text());
    params.dwellMs = StrictInt(ed_f_delay_r23.text());
    // The hidden fields are constants the user cannot reach; their design values stand in for
    // anything else.
    params.pollDivisor = IntOr(ed_f_delay2_r23.text(), kDefaultPollDivisor);
    params.symbolRateKsps = IntOr(ed_sr_r23.text(), 0);
    if (rb_sr_range_custom.checked()) {
        params.minKsps = StrictInt(ed_sr_range_from.text()) * 1000;
        params.maxKsps = StrictInt(ed_sr_range_to.text()) * 1000;
    } else {
        params.minKsps = 0;  // whatever the caption of "ALL" says
        params.maxKsps = kMaxRangeMsps * 1000;
    }
    params.vertical = cb_Vertical.checked();
    params.horizontal = cb_Horizontal.checked();
    if (cb_custom_delay.checked()) params.customDelayMs = StrictInt(ed_F_Tuning.text());

    for (auto [swept, code] : {std::pair{params.vertical, polarity::kVertical},
                               std::pair{params.horizontal, polarity::kHorizontal}}) {
        if (!swept) continue;
        SpectrumReadings.BeginSweep(SweepMethod::RateSearch, code, params.startMhz,
                                    params.endMhz);
        NoteScanned(r_ed_trans_good_r23, {code, params.startMhz, params.endMhz});
    }
    WarnWhenTooQuickToLock(params);
    SweepHostOfForm host(*this, pbar_freq_r23);
    RunSweepScan(tuner(), platform().clock, params, host);
    UnlockAfterSweep(*this);
    if (cb_shutdown_r23.checked()) {
        SaveAndShutdown(ShutdownPage::Rev23);  // may close the window: nothing may follow
        return;
    }
    StopWorker(SweepWorker);
}

}  // namespace quillox
