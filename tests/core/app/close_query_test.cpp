// Closing the window as the user does (File → Close, the title bar) asks once while a job runs
// or a transponder list holds lines no file has received; No leaves everything as it was. The
// closes of Save & Shutdown and of a failed start-up never ask.
#include <gtest/gtest.h>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

class CloseQueryTest : public ScanTest {
protected:
    std::vector<std::string> questions() const {
        std::vector<std::string> texts;
        for (const DialogEvent& e : rig.dialogs.events())
            if (e.kind == "ConfirmBox") texts.push_back(e.text);
        return texts;
    }
    TempDir dir;
};

TEST_F(CloseQueryTest, NothingToLoseClosesWithoutAQuestion) {
    form.Close1.click();
    EXPECT_TRUE(questions().empty());
    EXPECT_TRUE(form.closed());
}

TEST_F(CloseQueryTest, UnsavedTranspondersAskAndNoKeepsThem) {
    form.r_ed_trans_good.setText("1=10719,V,27500,34\r\n");
    form.r_ed_trans_good_r23.setText("1=11034,V,27500,34\r\n2=11054,V,27500,34\r\n");
    form.Close1.click();  // answered No
    EXPECT_EQ(questions(),
              std::vector<std::string>{"3 transponders are not saved. Close anyway?"});
    EXPECT_FALSE(form.closed());
    EXPECT_EQ(form.r_ed_trans_good_r23.count(), 2);

    rig.dialogs.AnswerConfirm(true);
    form.Close1.click();
    EXPECT_TRUE(form.closed());
}

TEST_F(CloseQueryTest, ListWrittenToAFileIsSaved) {
    form.r_ed_trans_good_r23.setText("1=11034,V,27500,34\r\n");
    rig.dialogs.AnswerFile(dir.str() + "0130.ini");
    form.bt_Save_ini_r23.click();
    form.r_ed_trans_good.setText("1=10719,V,27500,34\r\n");
    form.Close1.click();
    EXPECT_EQ(questions(), std::vector<std::string>{"1 transponder is not saved. Close anyway?"});
    rig.dialogs.clear();

    form.pc_main.setActivePage(&form.ts_01);
    rig.dialogs.AnswerFile(dir.str() + "sat.conf");
    form.Export1.click();  // an export is a file too
    form.Close1.click();
    EXPECT_TRUE(questions().empty());
    EXPECT_TRUE(form.closed());
}

TEST_F(CloseQueryTest, RunningJobAsksAndNoLetsItRunOn) {
    form.ed_f_start_r23.setText("10700");
    form.ed_f_end_r23.setText("10710");
    pause.Arm("TunerCommit", 3);
    form.bt_go_r23.click();
    ASSERT_TRUE(pause.WaitReached());
    form.Close1.click();
    EXPECT_EQ(questions(), std::vector<std::string>{"A scan is running. Close anyway?"});
    EXPECT_FALSE(form.closed());
    EXPECT_TRUE(form.SweepWorker.running());
    pause.Release();
    WaitIdle(form.SweepWorker);
}

// The rev. 2.3 job writes its own list and closes; the other page's unsaved list asks nothing.
TEST_F(CloseQueryTest, SaveAndShutdownClosesWithoutAQuestion) {
    form.r_ed_trans_good.setText("1=10719,V,27500,34\r\n");
    form.ed_f_start_r23.setText("10700");
    form.ed_f_end_r23.setText("10710");
    form.ed_shutdown_r23.setText(dir.str());
    form.cb_shutdown_r23.setChecked(true);
    form.bt_go_r23.click();
    WaitIdle(form.SweepWorker);
    EXPECT_TRUE(form.closed());
    EXPECT_TRUE(questions().empty());
}

}  // namespace
}  // namespace quillox::test
