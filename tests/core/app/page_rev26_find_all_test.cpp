// "Find (1,2,3,4)": the four steps with the page locked between them, and Stop (the Save &
// Shutdown at its end: save_and_shutdown_test.cpp).
#include <gtest/gtest.h>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

// What stays disabled while the job runs, by name.
const Texts kNine = {"b_Stop", "b_Stop_sr", "bt_Find1234_r26", "gbSettings", "gb_freqs",
                     "gb_srs", "ts_02",     "ts_signal",       "ts_ss2r23"};

// A carrier at 10715..10725 MHz vertical and one at 10700..10710 MHz horizontal, both 27500 kS/s.
class FindAllTest : public ScanTest {
protected:
    FindAllTest() {
        const auto on = [](const TunerState& s) {
            return (s.polarity == 1 && s.frequency >= 10715 && s.frequency <= 10725) ||
                   (s.polarity == 0 && s.frequency >= 10700 && s.frequency <= 10710);
        };
        tuner.Script(Reading::Snr, [=](const TunerState& s, int64_t) { return on(s) ? 6.1 : 0; });
        tuner.Script(Reading::Quality, [=](const TunerState& s, int64_t) {
            return on(s) && s.symbolRate == 27500 ? 65 : 0;
        });
        form.ed_f_start.setText("10700");
        form.ed_f_end.setText("10730");
        form.r_edt_symbolrate.setText("22000\r\n27500");
        form.r_edt_freq_v.setText("11111");  // a list from before the job is discarded
    }
};

TEST_F(FindAllTest, RunsTheFourStepsInOrderWithThePageLockedAtEachStart) {
    const ControlStates before = StatesOf(form);
    std::vector<Texts> atEachStage;
    pause.observe = [&](const std::string& operation) {
        if (operation == "TunerSetPolarity")
            atEachStage.push_back(ChangedBetween(before, StatesOf(form)));
    };
    form.bt_Find1234_r26.click();
    WaitIdle(form.FindAllWorker);

    EXPECT_EQ(atEachStage, std::vector<Texts>(4, kNine));
    // Each symbol-rate step tried what its own polarity's sweep had just found.
    ASSERT_EQ(form.r_edt_freq_v.count() + form.r_edt_freq_h.count(), 2);
    EXPECT_EQ(form.r_ed_trans_good.lines(),
              (Texts{"1=" + form.r_edt_freq_v.line(0) + ",V,27500,0",
                     "2=" + form.r_edt_freq_h.line(0) + ",H,27500,0"}));
    EXPECT_TRUE(ChangedBetween(before, StatesOf(form)).empty());
    EXPECT_TRUE(rig.power.calls().empty()) << "Save & Shutdown is not ticked";
    EXPECT_FALSE(form.closed());
}

TEST_F(FindAllTest, StopDuringTheHorizontalSweepKeepsTheVerticalTranspondersOnly) {
    form.cb_shutdown_r26.click();
    const ControlStates before = StatesOf(form);
    // Seven frequencies of the vertical sweep, one of its symbol-rate scan, then the third of
    // the horizontal sweep.
    pause.Arm("TunerSetFrequency", 11);
    form.bt_Find1234_r26.click();
    ASSERT_TRUE(pause.WaitReached());
    ASSERT_EQ(tuner.countOf("TunerSetPolarity"), 3);
    const size_t callsAtStop = tuner.callTexts().size();

    form.bt_Stop1234_r26.click();
    EXPECT_EQ(tuner.callTexts().size(), callsAtStop);
    EXPECT_EQ(form.r_ed_trans_good.count(), 1);
    EXPECT_NE(form.r_ed_trans_good.line(0).find(",V,"), std::string::npos);
    EXPECT_EQ(form.r_edt_freq_v.count() + form.r_edt_freq_h.count(), 0);
    EXPECT_EQ(form.pbar_freq.position() + form.pbar_sr.position(), 0);
    EXPECT_TRUE(ChangedBetween(before, StatesOf(form)).empty());
    EXPECT_TRUE(rig.power.calls().empty());
    EXPECT_FALSE(form.closed());
}

// A Stop that lands after the job's last tuner call, before the sequence, still means: stay on.
TEST_F(FindAllTest, AStopAtTheVeryEndNeitherSavesNorSwitchesOff) {
    form.bt_Find1234_r26.click();  // a first run, unticked, finds the last call
    WaitIdle(form.FindAllWorker);
    const std::string last = tuner.callTexts().back();
    const std::string operation = last.substr(0, last.find('('));

    form.cb_shutdown_r26.click();
    pause.Arm(operation, tuner.countOf(operation));
    form.bt_Find1234_r26.click();
    ASSERT_TRUE(pause.WaitReached());
    form.bt_Stop1234_r26.click();
    EXPECT_EQ(tuner.callTexts().back(), last);
    EXPECT_TRUE(rig.power.calls().empty());
    EXPECT_FALSE(form.closed());
}

}  // namespace
}  // namespace quillox::test
