// The page "Get - Symbol Rate": the symbol-rate finder for one known transponder, its start and
// stop events, and the report of its result.
#include <string>

#include "app/about_box.h"
#include "app/scan_host_of_form.h"
#include "base/number_text.h"
#include "files/symbol_rate_report.h"
#include "scan/symbol_rate_finder.h"

namespace quillox {
namespace {

constexpr int32_t kMaxKsps = 45000;
constexpr int32_t kMinDwellMs = 150;
constexpr const char* kNotFound = "Not Found";

// The threshold field is read at every try; a text that is no number counts as its design value.
class FinderHost : public ScanHostOfForm<SymbolRateFinderHost> {
public:
    using ScanHostOfForm::ScanHostOfForm;
    int32_t SnrThresholdCode() override { return IntOr(form_.ed_sr_Sig_L.text(), 39); }
};

// What the finder's start locks and its end or stop unlocks.
void SetFinderControlsEnabled(TForm1& f, bool enabled) {
    for (Control* control :
         std::initializer_list<Control*>{&f.gbSettings, &f.gbTransponder, &f.gb_sr,
                                         &f.gb_Fine_Tuning, &f.ts_01, &f.ts_ss2r23, &f.ts_signal})
        control->setEnabled(enabled);
}

FineTuning ModeOf(const TForm1& f) {
    if (f.rb_ft_normal.checked()) return FineTuning::Normal;
    if (f.rb_ft_best.checked()) return FineTuning::Best;
    return FineTuning::None;
}

std::string ModeWord(const TForm1& f) {
    if (f.rb_ft_none.checked()) return "NONE";
    if (f.rb_ft_normal.checked()) return "NORMAL";
    if (f.rb_ft_best.checked()) return "BEST";
    return "";
}

}  // namespace

bool TForm1::ValidateSymbolRateSearch() {
    const int32_t start = LenientInt(ed_start.text());
    const int32_t end = LenientInt(ed_end.text());
    return RefuseFirstFailing({
        {start < 1 || start > kMaxKsps,
         "Invalid START Symbol Rate.\nPlease put a Symbol Rate from 1 to 45000.", ed_start},
        {end < 1 || end > kMaxKsps,
         "Invalid END Symbol Rate.\nPlease put a Symbol Rate from 1 to 45000.", ed_end},
        {end < start, "The START Symbol Rate cannot be superior to the END Symbol Rate.", ed_start},
        {LenientInt(ed_step.text()) < 1, "Invalid STEP, please put a step superior to 0.", ed_step},
        {LenientInt(ed_delay.text()) < kMinDwellMs, "Invalid Delay, the minimum value is 150.",
         ed_delay},
    });
}

void TForm1::bt_sr_goClick() {
    if (!ValidateTransponderGroup() || !ValidateSymbolRateSearch()) return;
    bAplly2.click();  // frequency, polarity and FEC stay as tuned here for the whole search
    SetFinderControlsEnabled(*this, false);
    StartWorker(SrFinderWorker);
}

void TForm1::FindSymbolRate() {
    SymbolRateFinderParams params;
    params.mode = ModeOf(*this);
    pbar_find_sr.setPosition(0);
    Image3.setVisible(false);
    ed_sr.setText("");
    params.startKsps = StrictInt(ed_start.text());
    params.endKsps = StrictInt(ed_end.text());
    params.stepKsps = StrictInt(ed_step.text());
    params.dwellMs = StrictInt(ed_delay.text());
    params.extraDwellMs = StrictInt(ed_delay2.text());
    FinderHost host(*this, pbar_find_sr);
    const SymbolRateFinderResult result =
        RunSymbolRateFinder(tuner(), platform().clock, params, host);

    ed_sr.setText(result.found ? std::to_string(result.ksps) : kNotFound);
    Image3.setVisible(result.found);
    pbar_find_sr.setPosition(100);
    SetFinderControlsEnabled(*this, true);
    if (cb_shutdown.checked()) {
        SaveAndShutdown(ShutdownPage::SymbolRate);  // may close the window: nothing may follow
        return;
    }
    StopWorker(SrFinderWorker);
}

// The tuner keeps the last symbol rate tried.
void TForm1::bt_stop_find_srClick() {
    StopWorker(SrFinderWorker);
    pbar_find_sr.setPosition(0);
    Image3.setVisible(false);
    ed_sr.setText("");
    SetFinderControlsEnabled(*this, true);
}

// The report of the last search, read from the page as it stands. The caller learns whether
// the file was written; the file is replaced as a whole or not at all.
FileWriteResult TForm1::bt_write_fileClick() {
    const SymbolRateReport report{Edit12.text(),   cbPolarity.text(), cbFec.text(),
                                  ModeWord(*this), ed_sr.text(),      platform().clock.Now()};
    return WriteSymbolRateReport(ed_sr_job.text(), report, kHomePageUrl);
}

}  // namespace quillox
