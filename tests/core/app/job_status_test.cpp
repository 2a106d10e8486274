// What the window tells while and after a job runs: the status line's time taken and time left,
// where a stopped job stood, how an export went, and a job that meets a field that is no number.
#include <gtest/gtest.h>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

class JobStatusTest : public ScanTest {
protected:
    // The sweep of page rev. 2.3 over a short range, vertical only: 21 steps of 750 ms.
    void StartShortSweep() {
        form.ed_f_start_r23.setText("10700");
        form.ed_f_end_r23.setText("10800");
        form.cb_Horizontal.setChecked(false);
        form.bt_go_r23.click();
    }
    std::string status() const { return form.lb_status.text(); }
};

TEST_F(JobStatusTest, StatusLineShowsTimeTakenAndLeftThenTheEnd) {
    // Commits: GO's own, the pass's, then one per step of 760 ms: the 11th step is 10750 MHz,
    // and the gauge stands at 10745's 45 % after 1 + 10 x 0.76 s.
    pause.Arm("TunerCommit", 13);
    StartShortSweep();
    EXPECT_EQ(status(), "GO running");
    ASSERT_TRUE(pause.WaitReached());
    form.ShowJobProgress();  // Timer1's last step (its tuner calls would wait for the held job)
    EXPECT_EQ(status(), "GO: 45 %, 0:00:08 elapsed, about 0:00:10 left");
    pause.Release();
    WaitIdle(form.SweepWorker);
    EXPECT_EQ(status(), "GO finished in 0:00:16");
}

TEST_F(JobStatusTest, StopSaysWhereTheJobStood) {
    pause.Arm("TunerCommit", 13);
    StartShortSweep();
    ASSERT_TRUE(pause.WaitReached());
    form.b_Stop_r23.click();
    EXPECT_EQ(status(), "Stopped at 10750 MHz");
    EXPECT_TRUE(form.bt_go_r23.enabled());
}

TEST_F(JobStatusTest, StopOfTheFirstMethodSaysWhereItStoodToo) {
    pause.Arm("TunerCommit", 4);  // the button's, the sweep's own, then 10700 and 10705
    form.Button1.click();
    ASSERT_TRUE(pause.WaitReached());
    form.b_Stop.click();
    EXPECT_EQ(status(), "Stopped at 10705 MHz");
}

// A LOF field that is no number (a saved Custom band): the job shows the conversion error in a
// box and leaves its page as its Stop button would, ready for another go.
class JobErrorTest : public JobStatusTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(JobErrorTest, ShowsTheConversionErrorAndLeavesThePageUsable) {
    form.rb_Custom.setChecked(true);
    form.ed_LOF_low.setText("abc");
    Button& start = *dynamic_cast<Button*>(form.findControl(GetParam()));
    start.click();
    for (Worker* worker : {&form.SweepWorker, &form.FreqScanWorker}) WaitIdle(*worker);
    EXPECT_EQ(rig.dialogs.errors(), std::vector<std::string>{"'abc' is not a valid integer value"});
    EXPECT_TRUE(start.enabled());
    EXPECT_TRUE(form.gbSettings.enabled());
    EXPECT_EQ(status(), std::string(GetParam() == std::string("bt_go_r23") ? "GO" : "FIND") +
                            " ended on an error: 'abc' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobErrorTest, ::testing::Values("bt_go_r23", "Button1"));

}  // namespace
}  // namespace quillox::test
