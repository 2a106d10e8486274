// Save & Shutdown: the sequence at the end of each page's job, its failures, the shared variant
// and folder, and the two browse buttons.
#include <gtest/gtest.h>

#include <tuple>

#include "core/app/page_fixture.h"
#include "support/form_rig.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class SaveAndShutdownTest : public ::testing::Test {
protected:
    void SetUp() override { r.StartQuiet(); }
    TForm1& f() { return *r.form; }
    std::string home() const { return r.rig.homeDir.str(); }
    FormRig r;
};

struct JobCase {
    Button TForm1::*start;
    CheckBox TForm1::*box;
    Worker TForm1::*worker;
    const char* result;  // in the home folder
};

class SequenceTest : public SaveAndShutdownTest, public ::testing::WithParamInterface<JobCase> {};

// At each switch-off step the result and the settings are on disk and the window is open.
TEST_P(SequenceTest, TheJobSavesItsResultThenTheSettingsThenSwitchesOffThenCloses) {
    const JobCase& job = GetParam();
    Texts seen;
    r.rig.power.onCall = [&](const std::string& call) {
        seen.push_back(
            call + (ReadFileBytes(home() + job.result).empty() ? "" : " result") +
            (r.settings().find("Dir=" + home()) == std::string::npos ? "" : " settings") +
            (f().closed() ? " closed" : ""));
    };
    f().subscribeClosed([&] { seen.push_back("closed"); });
    for (Edit* end : {&f().ed_f_end, &f().ed_f_end_r23, &f().ed_end}) end->setText("10700");
    (f().*job.box).click();
    (f().*job.start).click();
    WaitUntilEnded(f().*job.worker);
    EXPECT_EQ(seen, (Texts{"OpenToken result settings", "Privilege result settings",
                           "Shutdown result settings", "closed"}));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SequenceTest,
    ::testing::Values(JobCase{&TForm1::bt_Find1234_r26, &TForm1::cb_shutdown_r26,
                              &TForm1::FindAllWorker, "0000.ini"},
                      JobCase{&TForm1::bt_go_r23, &TForm1::cb_shutdown_r23, &TForm1::SweepWorker,
                              "0000.ini"},
                      JobCase{&TForm1::bt_sr_go, &TForm1::cb_shutdown, &TForm1::SrFinderWorker,
                              "Get_-_Symbol_Rate_(result).txt"}));

struct PowerCase {
    bool win98, token, privilege, shutdown;
    std::string reason;
    Texts calls, messages;
};

class SwitchOffTest : public SaveAndShutdownTest,
                      public ::testing::WithParamInterface<PowerCase> {};

TEST_P(SwitchOffTest, EachFailedStepIsToldAndTheWindowClosesAnyway) {
    const PowerCase& c = GetParam();
    if (c.win98) f().rb_win_98_r26.click();  // the sequence reads the finder page's radios
    RecordingPower& power = r.rig.power;
    std::tie(power.tokenResult, power.privilegeResult, power.shutdownResult, power.reason) =
        std::tuple{c.token, c.privilege, c.shutdown, c.reason};
    f().SaveAndShutdown(ShutdownPage::Rev26);
    EXPECT_EQ(power.calls(), c.calls);
    Texts messages;
    for (const DialogEvent& e : r.rig.dialogs.events()) messages.push_back(e.text);
    EXPECT_EQ(messages, c.messages);
    EXPECT_TRUE(f().closed());
}

const Texts kXpSteps = {"OpenToken", "Privilege", "Shutdown"};
INSTANTIATE_TEST_SUITE_P(
    Steps, SwitchOffTest,
    ::testing::Values(
        PowerCase{false,
                  false,
                  false,
                  false,
                  "why",
                  kXpSteps,
                  {"ERROR - OpenProcessToken\nwhy", "ERROR - AdjustTokenPrivileges\nwhy",
                   "ERROR - ExitWindowsEx\nwhy"}},
        PowerCase{false, true, false, true, "", kXpSteps, {"ERROR - AdjustTokenPrivileges"}},
        PowerCase{true, false, false, false, "", {"Shutdown(forced)"}, {"ERROR - ExitWindowsEx"}},
        PowerCase{true, true, true, true, "", {"Shutdown(forced)"}, {}}));

TEST_F(SaveAndShutdownTest, AResultThatCannotBeWrittenKeepsTheMachineOnAndTheWindowOpen) {
    f().ed_shutdown_r26.setText(home() + "missing/");
    f().SaveAndShutdown(ShutdownPage::Rev26);
    EXPECT_EQ(r.rig.dialogs.errors(), Texts{"The File:\n" + home() +
                                            "missing/0000.ini\nCan't be written!\n\n"
                                            "No such file or directory"});
    EXPECT_NE(r.settings().find("Dir=" + home() + "missing/"), std::string::npos);
    EXPECT_TRUE(r.rig.power.calls().empty());
    EXPECT_FALSE(f().closed());
}

TEST_F(SaveAndShutdownTest, VariantAndFolderAreOneChoiceAcrossThePages) {
    RadioButton* xp[] = {&f().rb_win_xp_r26, &f().rb_win_xp_r23, &f().rb_win_xp};
    RadioButton* w98[] = {&f().rb_win_98_r26, &f().rb_win_98_r23, &f().rb_win_98};
    for (int clicked = 0; clicked < 3; ++clicked) {
        w98[clicked]->click();
        EXPECT_TRUE(w98[0]->checked() && w98[1]->checked() && w98[2]->checked()) << clicked;
        xp[(clicked + 1) % 3]->click();
        EXPECT_TRUE(xp[0]->checked() && xp[1]->checked() && xp[2]->checked()) << clicked;
    }
    f().ed_shutdown_r23.setText("/srv/a/");
    EXPECT_EQ(f().ed_shutdown_r26.text(), "/srv/a/");
    f().ed_shutdown_r26.setText("/srv/b/");
    EXPECT_EQ(f().ed_shutdown_r23.text(), "/srv/b/");
}

// Folder field ("-": a missing folder), answer ("": cancel), dialog preset, folder afterwards;
// all under the home folder.
TEST_F(SaveAndShutdownTest, FolderBrowsePresetsTheFieldsFolderAndTakesTheFolderOfTheAnswer) {
    std::filesystem::create_directory(r.rig.homeDir.path() / "sat");
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"sat/", "", "sat/ignore_file_name.ini", "sat/"},
        {"sat", "", "sat/ignore_file_name.ini", "sat/"},
        {"-", "", "ignore_file_name.ini", ""},
        {"-", "sat/x.ini", "ignore_file_name.ini", "sat/"}};
    for (const auto& [field, answer, preset, folder] : cases)
        for (Button* browse : {&f().bt_save_shutdown_r23, &f().bt_Save_ini_r26}) {
            if (*answer) r.rig.dialogs.AnswerFile(home() + answer);
            f().ed_shutdown_r23.setText(*field == '-' ? "/nowhere/" : home() + field);
            browse->click();
            EXPECT_EQ(f().ed_shutdown_r26.text() + f().ed_shutdown_r23.text(),
                      home() + folder + home() + folder)
                << field << browse->name();
            if (!*answer) {
                EXPECT_EQ(f().sd_shutdown_r23.fileName(), home() + preset) << field;
            }
        }
}

TEST_F(SaveAndShutdownTest, ReportBrowsePresetsAnExistingFoldersFileAndKeepsItOnCancel) {
    for (const auto& [field, after] :
         {std::pair{home() + "night.txt", home() + "night.txt"},
          std::pair{std::string("/nowhere/a.txt"), home() + "Get_-_Symbol_Rate_(result).txt"}}) {
        f().ed_sr_job.setText(field);
        f().bt_save_sr_shutdown.click();
        EXPECT_EQ(f().ed_sr_job.text(), after);
    }
    r.rig.dialogs.AnswerFile(home() + "other.txt");
    f().bt_save_sr_shutdown.click();
    EXPECT_EQ(f().ed_sr_job.text(), home() + "other.txt");
}

}  // namespace
}  // namespace quillox::test
