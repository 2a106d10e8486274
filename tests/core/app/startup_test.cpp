// Creation, first showing (device opening, first Apply), closing and destruction, page-show
// handlers, menus, help and About.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/form_rig.h"

namespace quillox {
namespace {

using Calls = std::vector<std::string>;

TEST(StartupTest, CreationPaintsTheFrameAndAlignsDependentControls) {
    test::FormRig r;
    r.form->FormCreate();
    TForm1& f = *r.form;
    EXPECT_EQ(f.settingsPath, r.settingsFile().string());
    EXPECT_EQ(f.Image2.pixel(0, 0), 0x000000u);
    EXPECT_EQ(f.Image2.pixel(648, 24), 0x000000u);
    EXPECT_EQ(f.Image2.pixel(300, 24), 0x000000u);
    EXPECT_EQ(f.Image2.pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(f.Image2.pixel(647, 23), 0xFFFFFFu);
    for (Control* c : std::initializer_list<Control*>{
             &f.rb_win_xp_r26, &f.ed_shutdown_r26, &f.bt_Save_ini_r26, &f.rb_win_98_r23,
             &f.bt_save_shutdown_r23, &f.ed_sr_job, &f.bt_save_sr_shutdown, &f.ed_sr_range_from,
             &f.Label70, &f.ed_F_Tuning})
        EXPECT_FALSE(c->enabled()) << c->name();
    EXPECT_TRUE(f.cb_custom_delay.enabled());  // fine tuning is ticked at design time
}

TEST(StartupTest, FirstRunInitialisesThenApplies) {
    test::FormRig r;
    r.Start();
    TForm1& f = *r.form;
    EXPECT_EQ(r.tuner().callTexts().front(), "TunerInitialize()");
    EXPECT_EQ(r.tuner().callTextsFrom("TunerSetDiseqc").size(), 10u);
    EXPECT_EQ(r.tuner().callTexts().size(), 11u);
    EXPECT_TRUE(f.Timer1.enabled());
    EXPECT_TRUE(r.rig.dialogs.events().empty());
    EXPECT_EQ(f.ed_sat_name.text(), "Sat_name");  // the read default, not the design text
    ASSERT_EQ(r.rig.devices.requests.size(), 1u);
    EXPECT_EQ(r.rig.devices.requests[0].kind, "auto");
}

TEST(StartupTest, FirstApplyUsesTheSavedBand) {
    test::FormRig r;
    r.WriteSettings("[Settings]\r\nBand=2\r\nLNB_Sel=33 KHz\r\n");
    r.Start();
    EXPECT_EQ(r.tuner().callTextsFrom("TunerSetLnbSelection"),
              (Calls{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(5150)",
                     "TunerSetFrequency(10700)", "TunerCommit(1)", "TunerSetPolarity(1)",
                     "TunerSetSymbolRate(1)", "TunerSetFec(6)", "TunerCommit(1)"}));
}

TEST(StartupTest, DamagedSettingsAreRefusedByTheFirstApplyAndTheProgramRuns) {
    test::FormRig r;
    r.WriteSettings("[Settings]\r\nBand=3\r\nLOF_Low=97S0\r\n");
    r.Start();
    EXPECT_EQ(r.rig.dialogs.errors(), Calls{"LOF_Low:\nInsert a valid Value."});
    EXPECT_EQ(r.tuner().callTexts(), Calls{"TunerInitialize()"});
    EXPECT_TRUE(r.form->Timer1.enabled());
    EXPECT_FALSE(r.form->closed());
}

struct FailureCase {
    int step;
    bool nullDevice;
    std::string message;
};

class StartupFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailureTest, ShowsThePlainMessageClosesAndStillSavesSettings) {
    test::FormRig r;
    r.rig.devices.failStep = GetParam().step;
    if (GetParam().nullDevice) r.rig.devices.device.reset();
    r.rig.devices.failDetail = "/dev/dvb/adapter0/frontend0: Permission denied";
    r.Start();
    ASSERT_EQ(r.rig.dialogs.events().size(), 1u);
    EXPECT_EQ(r.rig.dialogs.events()[0].kind, "MessageBox");
    EXPECT_EQ(r.rig.dialogs.events()[0].text, GetParam().message);
    EXPECT_TRUE(r.form->closed());
    EXPECT_FALSE(r.form->Timer1.enabled());
    EXPECT_NE(r.settings().find("[Save_Shutdown]"), std::string::npos);
    EXPECT_FALSE(r.form->tunerSlot().attached());
    if (!GetParam().nullDevice) {
        EXPECT_TRUE(r.tuner().callTexts().empty());
    }
}

const std::string kM3 =
    "ERROR - Could not open the tuner device [/dev/dvb/adapter0/frontend0: Permission denied]"
    "\n\nProbably the card's DVB driver is not loaded, or this user may not use the DVB devices "
    "(add the user to the group \"video\"), fix it and later run the [Quillox] again."
    "\n\nThe program will now close.";

INSTANTIATE_TEST_SUITE_P(
    Steps, StartupFailureTest,
    ::testing::Values(
        FailureCase{1, false,
                    "ERROR - Could not initialize the tuner subsystem [/dev/dvb/adapter0/"
                    "frontend0: Permission denied]\n\nThe program will now close."},
        FailureCase{2, false,
                    "ERROR - Could not create the tuner device [/dev/dvb/adapter0/frontend0: "
                    "Permission denied]\n\nThe program will now close."},
        FailureCase{3, false, kM3},
        FailureCase{0, true,
                    "ERROR - Could not open the tuner device\n\nProbably the card's DVB "
                    "driver is not loaded, or this user may not use the DVB devices (add "
                    "the user to the group \"video\"), fix it and later run the "
                    "[Quillox] again.\n\nThe program will now close."}));

TEST(StartupTest, DeviceSectionChoosesTheDeviceAndIsWrittenBack) {
    test::FormRig r;
    r.WriteSettings(
        "[device]\r\nkind=dvb\r\nAdapter=1\r\nFrontend=2\r\nScenario=dish.csv\r\n"
        "Seed=4000000000\r\nSimulatedDvbS2=1\r\nLockTimeoutZarlink=2500\r\n"
        "LockTimeoutOther=-5\r\nLnbPowerUpMs=soon\r\nRecord=session.rec\r\n");
    r.rig.devices.failStep = 3;
    r.Start();
    ASSERT_EQ(r.rig.devices.requests.size(), 1u);
    const DeviceSettings& s = r.rig.devices.requests[0];
    EXPECT_EQ(s.kind, "dvb");
    EXPECT_EQ(s.adapter, 1);
    EXPECT_EQ(s.frontend, 2);
    EXPECT_EQ(s.scenario, "dish.csv");
    EXPECT_EQ(s.seed, 4000000000u);
    EXPECT_TRUE(s.simulatedDvbs2);
    EXPECT_EQ(s.lockTimeouts.zarlink, 2500);
    EXPECT_EQ(s.lockTimeouts.other, LockTimeouts{}.other);  // no positive time: default
    EXPECT_EQ(s.lnbPowerUpMs, DeviceSettings{}.lnbPowerUpMs);
    EXPECT_EQ(s.record, r.rig.programDir.str() + "session.rec");  // beside Settings.ini
    EXPECT_NE(r.settings().find("[device]\r\nKind=dvb\r\nAdapter=1\r\nFrontend=2\r\n"
                                "Scenario=dish.csv\r\nSeed=4000000000\r\n"),
              std::string::npos);
}

// Where the Windows driver notice stood: the device in use. Approximated table lines are told
// once, before the first Apply.
TEST(StartupTest, FirstPageNamesTheDeviceInUse) {
    test::FormRig r;
    r.rig.devices.openedDetail = "ST STV0299 DVB-S, /dev/dvb/adapter0/frontend0";
    r.rig.devices.warnings = {"sat.csv: line 4: DVB-S2 8PSK has no code rate 1/2; modelled as 3/5"};
    r.Start();
    EXPECT_EQ(r.form->lb_attention_driver.text(),
              "Device in use: ST STV0299 DVB-S, /dev/dvb/adapter0/frontend0");
    const auto events = r.rig.dialogs.events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "MessageBox");
    EXPECT_NE(events[0].text.find(r.rig.devices.warnings[0]), std::string::npos);
}

TEST(CloseTest, SwitchesTheLnbOffFirstThenFreesPagesAndSaves) {
    test::FormRig r;
    r.StartQuiet();
    r.form->ts_02.setEnabled(false);
    r.form->Timer_sig.setEnabled(true);
    r.form->Close1.click();
    EXPECT_EQ(r.tuner().callTexts(), (Calls{"TunerSetPolarity(10)", "TunerCommit(1)"}));
    EXPECT_TRUE(r.form->closed());
    EXPECT_FALSE(r.form->Timer1.enabled());
    EXPECT_FALSE(r.form->Timer_sig.enabled());
    EXPECT_TRUE(r.form->ts_02.enabled());
    EXPECT_EQ(r.settings().rfind("[Form]\r\nTop=100\r\n", 0), 0u);
    r.form->Close();  // closing again does nothing
    EXPECT_EQ(r.tuner().callTexts().size(), 2u);
}

TEST(CloseTest, StopsARunningJobAndLeavesTheLnbOff) {
    test::FormRig r;
    r.StartQuiet();
    TForm1& f = *r.form;
    std::atomic<bool> tuned{false};
    f.SweepWorker.Start(
        [&] {
            f.TuneTo(11000);
            tuned = true;
            for (;;) r.rig.clock.Sleep(100);
        },
        nullptr);
    while (!tuned) std::this_thread::yield();
    f.Close();
    EXPECT_FALSE(f.SweepWorker.running());
    const Calls calls = r.tuner().callTextsFrom("TunerSetPolarity(10)");
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[1], "TunerCommit(1)");
    EXPECT_EQ(calls[calls.size() - 2], "TunerSetPolarity(10)");
    EXPECT_EQ(calls.back(), "TunerCommit(1)");
    EXPECT_TRUE(std::filesystem::exists(r.settingsFile()));
}

TEST(CloseTest, AJobMayCloseTheWindowFromItsOwnThread) {
    test::FormRig r;
    r.StartQuiet();
    TForm1& f = *r.form;
    f.FindAllWorker.Start([&] { f.Close(); }, nullptr);  // as Save & Shutdown does
    f.FindAllWorker.join();
    EXPECT_TRUE(f.closed());
    EXPECT_FALSE(f.FindAllWorker.running());
    EXPECT_EQ(r.tuner().callTexts(), (Calls{"TunerSetPolarity(10)", "TunerCommit(1)"}));
    EXPECT_TRUE(std::filesystem::exists(r.settingsFile()));
}

TEST(CloseTest, DestroyReleasesTheDevice) {
    test::FormRig r;
    r.Start();
    r.form->Close();
    r.form->FormDestroy();
    EXPECT_FALSE(r.form->tunerSlot().attached());
    EXPECT_FALSE(r.form->Timer1.enabled());
}

TEST(PagesTest, LeavingSignalInfoStopsTheMonitorExceptForPageRev23) {
    test::FormRig r;
    r.StartQuiet();
    TForm1& f = *r.form;
    f.pbar_sig_q.setPosition(70);
    f.Form_Signal.pbar_sig_q.setPosition(70);
    f.pc_main.setActivePage(&f.ts_signal);
    EXPECT_EQ(f.pbar_sig_q.position() + f.Form_Signal.pbar_sig_q.position(), 0);
    f.Timer_sig.setEnabled(true);
    f.pc_main.setActivePage(&f.ts_ss2r23);
    EXPECT_TRUE(f.Timer_sig.enabled());
    f.pc_main.setActivePage(&f.ts_01);
    EXPECT_FALSE(f.Timer_sig.enabled());
    f.Timer_sig.setEnabled(true);
    f.Image3.setVisible(true);
    f.ed_sr.setText("27500");
    f.pc_main.setActivePage(&f.ts_02);
    EXPECT_FALSE(f.Timer_sig.enabled());
    EXPECT_FALSE(f.Image3.visible());
    EXPECT_EQ(f.ed_sr.text(), "");
}

TEST(MenusTest, HelpPagesOpenFromTheProgramFolderAndPicturesShowAbout) {
    test::FormRig r;
    r.StartQuiet();
    TForm1& f = *r.form;
    f.HelpPORT1.click();
    f.HelpENG1.click();
    EXPECT_EQ(r.rig.shell.opened(),
              (Calls{r.rig.programDir.str() + "Help/direita_ss2_qx_zyl.htm",
                     r.rig.programDir.str() + "Help/direita_ss2_qx_zyl_eng.htm"}));
    f.About1.click();
    f.AboutBox.OKButton.click();
    f.Image1.click();
    f.Image4.click();
    f.LOGO.click();
    const auto events = r.rig.dialogs.events();
    ASSERT_EQ(events.size(), 4u);
    for (const auto& e : events) EXPECT_EQ(e.kind + ":" + e.text, "ShowModal:About");
    EXPECT_FALSE(f.AboutBox.closed());
}

}  // namespace
}  // namespace quillox
