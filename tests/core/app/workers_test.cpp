// Control states of the page's jobs while they run, after they end, after Stop (also on an
// idle worker), and what a body error does to the window.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/control_states.h"
#include "app/job_texts.h"
#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Names = std::vector<std::string>;

const Names kCommonLocked = {"Button1",   "Button2",         "Button3",
                             "Button4",   "bt_Find1234_r26", "bt_Stop1234_r26",
                             "ts_ss2r23", "ts_02",           "ts_signal"};

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

Names With(Names extra) {
    extra.insert(extra.end(), kCommonLocked.begin(), kCommonLocked.end());
    return Sorted(extra);
}

struct JobCase {
    const char* label;
    void (TForm1::*start)();
    void (TForm1::*stop)();
    Worker TForm1::*worker;
    const char* holdAfter;  // the body's first reading
    Names locked;           // controls whose state the start event changes
};

class JobControlStatesTest : public ScanTest, public ::testing::WithParamInterface<JobCase> {
protected:
    void SetUp() override {
        form.r_edt_freq_v.setText("10700");
        form.r_edt_freq_h.setText("10750");
        initial = StatesOf(form);
        pause.Arm(GetParam().holdAfter, 1);
        (form.*GetParam().start)();
        ASSERT_TRUE(pause.WaitReached());
    }
    Worker& worker() { return form.*GetParam().worker; }
    ControlStates initial;
};

TEST_P(JobControlStatesTest, StartLocksExactlyItsControlsAndTheEndUnlocksThem) {
    EXPECT_EQ(Sorted(ChangedBetween(initial, StatesOf(form))), GetParam().locked);
    pause.Release();
    WaitIdle(worker());
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
}

TEST_P(JobControlStatesTest, StopEventEndsTheWorkerBeforeItRestoresTheControls) {
    (form.*GetParam().stop)();
    EXPECT_FALSE(worker().running()) << "the stop event returned before the worker ended";
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, JobControlStatesTest,
    ::testing::Values(
        JobCase{"VerticalSweep", &TForm1::Button1Click, &TForm1::b_StopClick,
                &TForm1::FreqScanWorker, "TunerGetSnr",
                With({"ed_f_start", "ed_f_end", "ed_f_step", "ed_f_delay", "bt_Load_v", "bt_Save_v",
                      "bt_Clear_v", "r_edt_freq_v", "b_Stop_sr", "gbSettings"})},
        JobCase{"HorizontalSweepKeepsSettings", &TForm1::Button3Click, &TForm1::b_StopClick,
                &TForm1::FreqScanWorker, "TunerGetSnr",
                With({"ed_f_start", "ed_f_end", "ed_f_step", "ed_f_delay", "bt_Load_h", "bt_Save_h",
                      "bt_Clear_h", "r_edt_freq_h", "b_Stop_sr"})},
        JobCase{"VerticalSymbolRates", &TForm1::Button2Click, &TForm1::b_Stop_srClick,
                &TForm1::SrListWorker, "TunerGetSignalQuality",
                With({"ed_sr_delay", "b_Load", "b_Save", "b_Clear", "r_edt_symbolrate", "b_Stop",
                      "gbSettings"})},
        JobCase{"HorizontalSymbolRates", &TForm1::Button4Click, &TForm1::b_Stop_srClick,
                &TForm1::SrListWorker, "TunerGetSignalQuality",
                With({"ed_sr_delay", "b_Load", "b_Save", "b_Clear", "r_edt_symbolrate", "b_Stop",
                      "gbSettings"})}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ScanTest, CombinedJobLocksItsNineControlsAndUnlocksThem) {
    const ControlStates initial = StatesOf(form);
    LockPageForFindAll(form);
    EXPECT_EQ(Sorted(ChangedBetween(initial, StatesOf(form))),
              Sorted({"gbSettings", "ts_ss2r23", "ts_02", "ts_signal", "gb_freqs", "gb_srs",
                      "bt_Find1234_r26", "b_Stop", "b_Stop_sr"}));
    UnlockPageAfterFindAll(form);
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
}

TEST_F(ScanTest, SweepStopOnAnIdleWorkerStillRepairsThePage) {
    const ControlStates initial = StatesOf(form);
    LockForFrequencyScan(form, SweepPolarity::Vertical);
    form.r_edt_freq_v.setText(kSweepPlaceholder);
    form.r_edt_freq_h.setText("10719");
    form.RichEdit2.setText("10714");
    form.pbar_freq.setPosition(40);

    form.b_Stop.click();
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
    EXPECT_EQ(form.pbar_freq.position(), 0);
    EXPECT_EQ(form.r_edt_freq_v.count(), 0);
    EXPECT_EQ(form.r_edt_freq_h.lines(), Names{"10719"});
    EXPECT_EQ(form.RichEdit2.count(), 0);
    EXPECT_TRUE(tuner.callTexts().empty());
}

TEST_F(ScanTest, SymbolRateStopOnAnIdleWorkerStillRepairsThePage) {
    const ControlStates initial = StatesOf(form);
    LockForSymbolRateScan(form);
    form.pbar_sr.setPosition(70);
    form.r_ed_trans_good.setText("1=10719,V,27500,34");

    form.b_Stop_sr.click();
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
    EXPECT_EQ(form.pbar_sr.position(), 0);
    EXPECT_EQ(form.r_ed_trans_good.count(), 1);
    EXPECT_TRUE(tuner.callTexts().empty());
}

// A LOF field that is not an integer (possible in the Custom band without Apply) makes the
// sweep's tuning step fail: the job ends as if stopped, and the program goes on.
TEST_F(ScanTest, SweepBodyErrorEndsTheJobAsItsStopEventWould) {
    const ControlStates initial = StatesOf(form);
    form.rb_Custom.setChecked(true);
    form.ed_LOF_sw.setText("11 700");
    form.ed_f_delay.setText("200");
    form.Button1.click();
    WaitIdle(form.FreqScanWorker);

    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
    EXPECT_EQ(form.r_edt_freq_v.count(), 0) << "the placeholder is removed";
    EXPECT_EQ(form.pbar_freq.position(), 0);
    EXPECT_EQ(tuner.countOf("TunerSetLnbSelection"), 0) << "no half-staged tuning";
    ASSERT_GE(form.RichEdit1.count(), 1);
    EXPECT_EQ(form.RichEdit1.line(form.RichEdit1.count() - 1),
              "Job ended on an error: '11 700' is not a valid integer value");

    // The window is usable again: a corrected field lets the next sweep run to its end.
    form.ed_LOF_sw.setText("11700");
    form.Button1.click();
    WaitIdle(form.FreqScanWorker);
    EXPECT_EQ(form.pbar_freq.position(), 100);
}

TEST_F(ScanTest, SymbolRateBodyErrorKeepsWhatWasFoundAndRestoresThePage) {
    const ControlStates initial = StatesOf(form);
    tuner.Script(Reading::Quality, [](const TunerState&, int64_t) { return 60; });
    form.r_edt_symbolrate.setText("27500");
    form.re_freq_tmp.setText("10719\r\nten");  // the work list changed behind the start check
    LockForSymbolRateScan(form);
    form.b_GO.click();
    WaitIdle(form.SrListWorker);

    EXPECT_EQ(form.r_ed_trans_good.lines(), Names{"1=10719,H,27500,"});
    EXPECT_EQ(form.trans_counter, 2);
    EXPECT_EQ(form.pbar_sr.position(), 0);
    EXPECT_EQ(ChangedBetween(initial, StatesOf(form)), Names{});
}

}  // namespace
}  // namespace quillox::test
