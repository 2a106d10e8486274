// Save & Shutdown: the sequence of each page (result, settings, switch-off steps, close), its
// failures, the shared variant and folder, and the two browse buttons.
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
    Texts messages() const {
        Texts texts;
        for (const DialogEvent& e : r.rig.dialogs.events())
            if (e.kind == "MessageBox") texts.push_back(e.text);
        return texts;
    }
    FormRig r;
};

struct PageCase {
    ShutdownPage page;
    const char* result;  // in the home folder
};

class SequenceTest : public SaveAndShutdownTest, public ::testing::WithParamInterface<PageCase> {};

// At each switch-off step: the result and the settings are on disk, the window still open.
TEST_P(SequenceTest, SavesTheResultThenTheSettingsThenSwitchesOffThenCloses) {
    Texts seen;
    const auto onDisk = [&](const std::string& what) {
        seen.push_back(
            what + (ReadFileBytes(home() + GetParam().result).empty() ? "" : " result") +
            (r.settings().find("Dir=" + home()) == std::string::npos ? "" : " settings") +
            (f().closed() ? " closed" : ""));
    };
    r.rig.power.onCall = onDisk;
    f().subscribeClosed([&] { seen.push_back("closed"); });
    f().SaveAndShutdown(GetParam().page);
    EXPECT_EQ(seen, (Texts{"OpenToken result settings", "Privilege result settings",
                           "Shutdown result settings", "closed"}));
    EXPECT_TRUE(r.rig.dialogs.events().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, SequenceTest,
                         ::testing::Values(PageCase{ShutdownPage::Rev26, "0000.ini"},
                                           PageCase{ShutdownPage::Rev23, "0000.ini"},
                                           PageCase{ShutdownPage::SymbolRate,
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
    if (c.win98) f().rb_win_98.click();
    RecordingPower& power = r.rig.power;
    std::tie(power.tokenResult, power.privilegeResult, power.shutdownResult, power.reason) =
        std::tuple{c.token, c.privilege, c.shutdown, c.reason};
    f().SaveAndShutdown(ShutdownPage::Rev26);
    EXPECT_EQ(power.calls(), c.calls);
    EXPECT_EQ(messages(), c.messages);
    EXPECT_TRUE(f().closed());
}

const Texts kXpSteps = {"OpenToken", "Privilege", "Shutdown"};
INSTANTIATE_TEST_SUITE_P(
    Steps, SwitchOffTest,
    ::testing::Values(
        PowerCase{
            false,
            false,
            false,
            false,
            "logind: no",
            kXpSteps,
            {"ERROR - OpenProcessToken\nlogind: no", "ERROR - AdjustTokenPrivileges\nlogind: no",
             "ERROR - ExitWindowsEx\nlogind: no"}},
        PowerCase{false,
                  true,
                  false,
                  false,
                  "",
                  kXpSteps,
                  {"ERROR - AdjustTokenPrivileges", "ERROR - ExitWindowsEx"}},
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
    const std::vector<RadioButton*> xp = {&f().rb_win_xp_r26, &f().rb_win_xp_r23, &f().rb_win_xp};
    const std::vector<RadioButton*> w98 = {&f().rb_win_98_r26, &f().rb_win_98_r23, &f().rb_win_98};
    for (size_t clicked = 0; clicked < 3; ++clicked) {
        w98[clicked]->click();
        for (RadioButton* radio : w98) EXPECT_TRUE(radio->checked()) << radio->name();
        xp[(clicked + 1) % 3]->click();
        for (RadioButton* radio : xp) EXPECT_TRUE(radio->checked()) << radio->name();
    }
    f().ed_shutdown_r23.setText("/srv/a/");
    EXPECT_EQ(f().ed_shutdown_r26.text(), "/srv/a/");
    f().ed_shutdown_r26.setText("/srv/b/");
    EXPECT_EQ(f().ed_shutdown_r23.text(), "/srv/b/");
}

struct BrowseCase {
    const char* field;                  // relative to home; "-" for a missing folder
    std::optional<std::string> answer;  // nullopt: cancelled
    const char* preset;                 // relative to home
    const char* folder;                 // both fields afterwards, relative to home
};

class FolderBrowseTest : public SaveAndShutdownTest,
                         public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(FolderBrowseTest, PresetsTheFieldsFolderAndTakesTheFolderOfWhatComesBack) {
    const BrowseCase& c = GetParam();
    std::filesystem::create_directory(r.rig.homeDir.path() / "sat");
    for (Button* browse : {&f().bt_save_shutdown_r23, &f().bt_Save_ini_r26}) {
        if (c.answer) r.rig.dialogs.AnswerFile(home() + *c.answer);
        f().ed_shutdown_r23.setText(c.field[0] == '-' ? "/nowhere/" : home() + c.field);
        browse->click();
        if (!c.answer) {
            EXPECT_EQ(f().sd_shutdown_r23.fileName(), home() + c.preset);
        }
        EXPECT_EQ(f().ed_shutdown_r23.text(), home() + c.folder) << browse->name();
        EXPECT_EQ(f().ed_shutdown_r26.text(), home() + c.folder) << browse->name();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderBrowseTest,
    ::testing::Values(BrowseCase{"sat/", std::nullopt, "sat/ignore_file_name.ini", "sat/"},
                      BrowseCase{"sat", std::nullopt, "sat/ignore_file_name.ini", "sat/"},
                      BrowseCase{"-", std::nullopt, "ignore_file_name.ini", ""},
                      BrowseCase{"sat/", std::string("sat/x.ini"), "", "sat/"}));

TEST_F(SaveAndShutdownTest, ReportBrowsePresetsAnExistingFoldersFileAndKeepsItOnCancel) {
    const std::string report = home() + "night.txt";
    const std::string fallback = home() + "Get_-_Symbol_Rate_(result).txt";
    const std::pair<std::string, std::string> cancelled[] = {{report, report},
                                                             {"/nowhere/night.txt", fallback}};
    for (const auto& [field, after] : cancelled) {
        f().ed_sr_job.setText(field);
        f().bt_save_sr_shutdown.click();
        EXPECT_EQ(f().ed_sr_job.text(), after) << field;
    }
    r.rig.dialogs.AnswerFile(home() + "other.txt");
    f().bt_save_sr_shutdown.click();
    EXPECT_EQ(f().ed_sr_job.text(), home() + "other.txt");
}

// The sweep of page rev. 2.3 and the finder end with the sequence when their box is ticked.
TEST(SaveAndShutdownJobsTest, TheSweepAndTheFinderEndWithItWhenTicked) {
    struct Job {
        Button TForm1::*start;
        CheckBox TForm1::*box;
        Worker TForm1::*worker;
        const char* result;
    };
    for (const Job& job :
         {Job{&TForm1::bt_go_r23, &TForm1::cb_shutdown_r23, &TForm1::SweepWorker, "0000.ini"},
          Job{&TForm1::bt_sr_go, &TForm1::cb_shutdown, &TForm1::SrFinderWorker,
              "Get_-_Symbol_Rate_(result).txt"}}) {
        for (bool ticked : {false, true}) {
            FormRig r;
            r.StartQuiet();
            TForm1& f = *r.form;
            f.ed_f_end_r23.setText("10700");
            f.ed_end.setText("1");
            if (ticked) (f.*job.box).click();
            (f.*job.start).click();
            WaitUntilEnded(f.*job.worker);
            EXPECT_EQ(!ReadFileBytes(r.rig.homeDir.path() / job.result).empty(), ticked);
            EXPECT_EQ(r.rig.power.calls().size(), ticked ? 3u : 0u);
            EXPECT_EQ(f.closed(), ticked);
        }
    }
}

}  // namespace
}  // namespace quillox::test
