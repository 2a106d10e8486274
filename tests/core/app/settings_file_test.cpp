// Settings.ini: location, the complete file in key order, restoring every input through its
// handlers, the decoding rules, and files written by others or damaged.
#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "support/form_rig.h"

namespace quillox {
namespace {

struct LocationCase {
    const char* programDir;
    bool writable;
    const char* xdg;
    const char* home;
    const char* expected;
};

class SettingsLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationTest, BesideTheProgramWhenWritableElseTheUserConfigFolder) {
    const LocationCase& c = GetParam();
    EXPECT_EQ(SettingsPathFor(c.programDir, c.writable, c.xdg, c.home), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, SettingsLocationTest,
    ::testing::Values(
        LocationCase{"/opt/quillox/", true, "/x", "/home/u", "/opt/quillox/Settings.ini"},
        LocationCase{"/opt/quillox", true, "", "/home/u", "/opt/quillox/Settings.ini"},
        LocationCase{"/usr/bin/", false, "/home/u/cfg", "/home/u",
                     "/home/u/cfg/quillox/Settings.ini"},
        LocationCase{"/usr/bin/", false, "cfg", "/home/u/", "/home/u/.config/quillox/Settings.ini"},
        LocationCase{"/usr/bin/", false, "", "/home/u", "/home/u/.config/quillox/Settings.ini"}));

TEST(SettingsLocationTest, WritableFolderCheck) {
    test::TempDir dir;
    EXPECT_TRUE(IsWritableFolder(dir.str()));
    EXPECT_FALSE(IsWritableFolder(dir.str() + "missing/"));
    EXPECT_FALSE(IsWritableFolder(""));
}

std::string FirstRunFile(const std::string& home) {
    return "[Form]\r\nTop=100\r\nLeft=100\r\n"
           "[Settings]\r\nLOF_Low=9750\r\nLOF_Sw=11700\r\nLOF_Higth=10600\r\nLNB_Sel=22 KHz\r\n"
           "DiSEqC=None\r\nBand=1\r\n"
           "[Prob_Freq]\r\nStart=10700\r\nEnd=12750\r\nStep=5\r\nDelay=750\r\nSR_custom=8\r\n"
           "SR=2\r\n"
           "[Freq_r23]\r\nStart=10700\r\nEnd=12750\r\nStep=5\r\nDelay=750\r\nVert=1\r\nHor=1\r\n"
           "f_t=1\r\nc_delay=1\r\nC__Delay=350\r\nsr_range_custom=0\r\nc_from=4\r\nc_to=45\r\n"
           "[Symbol_Rates]\r\nDelay=750\r\n"
           "[INI_file]\r\nSAT_Name=Sat_name\r\nSAT_Position_E_W=E\r\nSAT_Position_I=0\r\n"
           "SAT_Position_D=0\r\n"
           "[INI_file_r23]\r\nSAT_Name=Sat_name\r\nSAT_Position_E_W=E\r\nSAT_Position_I=0\r\n"
           "SAT_Position_D=0\r\n"
           "[Transponder]\r\nFreq=10700\r\nPol=VERTICAL\r\nFEC=AUTO\r\n"
           "[Get_Symbol_Rate]\r\nStart=1\r\nEnd=45000\r\nStep=20\r\nDelay=300\r\n"
           "Fine Tuning=2\r\n"
           "[Signal_Info]\r\nFreq=10700\r\nPol=VERTICAL\r\nS_R=1\r\nFEC=AUTO\r\nRefresh=500\r\n"
           "[Save_Shutdown]\r\nXP=1\r\nDir=" +
           home + "\r\nFile_sr=" + home +
           "Get_-_Symbol_Rate_(result).txt\r\n"
           "[Device]\r\nKind=auto\r\nAdapter=0\r\nFrontend=0\r\nScenario=\r\nSeed=1\r\n"
           "SimulatedDvbS2=0\r\nLnbPowerUpMs=200\r\nLockTimeoutStv0299=3000\r\n"
           "LockTimeoutZarlink=800\r\nLockTimeoutCx24123=800\r\nLockTimeoutS5h1420=2000\r\n"
           "LockTimeoutOther=1000\r\nRecord=\r\n";
}

TEST(SettingsFileTest, FirstCloseWritesTheCompleteFileInKeyOrder) {
    test::FormRig r;
    r.Start();
    r.form->Close();
    EXPECT_EQ(r.settings(), FirstRunFile(r.rig.homeDir.str()));
}

// Every text key, with a value unlike its default.
const std::vector<std::pair<const char*, const char*>> kTexts = {
    {"ed_f_start", "11000"},
    {"ed_f_end", "12000"},
    {"ed_f_step", "3"},
    {"ed_f_delay", "900"},
    {"ed_f_start_r23", "10800"},
    {"ed_f_end_r23", "12500"},
    {"ed_f_step_r23", "4"},
    {"ed_f_delay_r23", "800"},
    {"ed_F_Tuning", "400"},
    {"ed_sr_range_from", "2"},
    {"ed_sr_range_to", "30"},
    {"ed_sr_delay", "1200"},
    {"ed_sat_name", "Hot Bird"},
    {"cb_E_W", "W"},
    {"ed_sat_pos1", "13"},
    {"ed_sat_pos2", "5"},
    {"ed_sat_name_r23", "Astra"},
    {"cb_E_W_r23", "W"},
    {"ed_sat_pos1_r23", "19"},
    {"ed_sat_pos2_r23", "2"},
    {"Edit12", "11954"},
    {"cbPolarity", "HORIZONTAL"},
    {"cbFec", "3/4"},
    {"ed_start", "2000"},
    {"ed_end", "30000"},
    {"ed_step", "10"},
    {"ed_delay", "350"},
    {"ed_sig_freq", "12188"},
    {"cb_sig_Polarity", "HORIZONTAL"},
    {"ed_sig_sr", "27500"},
    {"cb_sig_Fec", "5/6"},
    {"ed_sig_refresh", "250"},
    {"ed_sr_job", "/srv/scan/report.txt"}};

TEST(SettingsFileTest, ReopeningRestoresEveryInputThroughItsHandlers) {
    test::FormRig first;
    first.Start();
    TForm1& a = *first.form;
    a.setTop(40);
    a.setLeft(60);
    a.rb_Custom.click();
    a.rb_Custom.mouseUp();
    a.ed_LOF_low.setText("9000");
    a.ed_LOF_sw.setText("10700");
    a.ed_LOF_higth.setText("10000");
    a.cbLNB_Sel.setText("33 KHz");
    a.cbDiSEqC.setText("Simple B");
    for (const auto& [name, value] : kTexts) a.findControl(name)->setText(value);
    a.TBar_custom.setPosition(3);
    a.rb_sr_custom.click();
    a.cb_Horizontal.click();
    a.rb_sr_range_custom.click();
    a.rb_ft_best.click();
    a.rb_win_98.click();                      // the Get-Symbol-Rate page's radio
    a.ed_shutdown_r23.setText("/srv/scan/");  // mirrored into the saved folder
    a.Close();

    test::FormRig second;
    second.WriteSettings(first.settings());
    second.Start();
    TForm1& b = *second.form;
    EXPECT_EQ(b.top(), 40);
    EXPECT_EQ(b.left(), 60);
    for (const auto& [name, value] : kTexts) EXPECT_EQ(b.findControl(name)->text(), value) << name;
    EXPECT_TRUE(b.rb_Custom.checked());
    EXPECT_TRUE(b.ed_LOF_low.enabled());
    EXPECT_EQ(b.ed_LOF_higth.text(), "10000");
    EXPECT_TRUE(b.rb_sr_custom.checked());
    EXPECT_EQ(b.ed_f_sr.text(), "3000");
    EXPECT_EQ(b.lb_custom.text(), "3000");
    EXPECT_TRUE(b.cb_Vertical.checked());
    EXPECT_FALSE(b.cb_Horizontal.checked());
    EXPECT_TRUE(b.ed_sr_range_to.enabled());
    EXPECT_TRUE(b.rb_ft_best.checked());
    for (RadioButton* w98 : {&b.rb_win_98_r26, &b.rb_win_98_r23, &b.rb_win_98})
        EXPECT_TRUE(w98->checked()) << w98->name();
    EXPECT_EQ(b.ed_shutdown_r26.text(), "/srv/scan/");
    EXPECT_EQ(b.ed_shutdown_r23.text(), "/srv/scan/");
    // The first Apply tunes the restored Custom band: 10700 is at the switch, so high band.
    EXPECT_EQ(
        second.tuner().callTextsFrom("TunerSetDiseqc"),
        (std::vector<std::string>{"TunerSetDiseqc(2)", "TunerCommit(1)", "TunerSetLnbSelection(2)",
                                  "TunerSetLnbFrequency(10000)", "TunerSetFrequency(10700)",
                                  "TunerCommit(1)", "TunerSetPolarity(1)", "TunerSetSymbolRate(1)",
                                  "TunerSetFec(6)", "TunerCommit(1)"}));
    b.Close();
    EXPECT_EQ(second.settings(), first.settings());  // a restart changes nothing
}

TEST(SettingsFileTest, DecodingRulesForOutOfRangeAndForeignValues) {
    test::FormRig r;
    r.WriteSettings(
        "[Prob_Freq]\r\nSR=7\r\nSR_custom=50\r\n[Get_Symbol_Rate]\r\nFine Tuning=9\r\n"
        "[Freq_r23]\r\nVert=abc\r\nHor=2\r\nf_t=0\r\nc_delay=1\r\n"
        "[Form]\r\nTop=-20\r\nLeft=1.5\r\n");
    r.Start();
    TForm1& f = *r.form;
    EXPECT_TRUE(f.rb_sr_maior.checked());
    EXPECT_EQ(f.ed_f_sr.text(), "35000");
    EXPECT_EQ(f.lb_custom.text(), "10000");  // the track bar stops at 10
    EXPECT_TRUE(f.rb_ft_normal.checked());
    EXPECT_TRUE(f.cb_Vertical.checked());
    EXPECT_TRUE(f.cb_Horizontal.checked());
    EXPECT_EQ(f.top(), -20);
    EXPECT_EQ(f.left(), 100);
    // Fine tuning off: its custom delay box and field stay disabled even though ticked.
    EXPECT_TRUE(f.cb_custom_delay.checked());
    EXPECT_FALSE(f.cb_custom_delay.enabled());
    EXPECT_FALSE(f.ed_F_Tuning.enabled());
}

TEST(SettingsFileTest, CBandOverridesStoredLofValues) {
    test::FormRig r;
    r.WriteSettings("[Settings]\r\nLOF_Low=1\r\nLOF_Sw=2\r\nLOF_Higth=3\r\nBand=2\r\n");
    r.Start();
    EXPECT_TRUE(r.form->rb_Cband.checked());
    EXPECT_FALSE(r.form->ed_LOF_sw.enabled());
    r.form->Close();
    EXPECT_NE(r.settings().find("LOF_Low=5150\r\nLOF_Sw=0\r\nLOF_Higth=5150\r\n"),
              std::string::npos);
}

TEST(SettingsFileTest, CustomBandWithoutSwitchTunesEverythingLow) {
    test::FormRig r;
    r.WriteSettings("[Settings]\r\nBand=3\r\nLOF_Low=9750\r\nLOF_Sw=0\r\nLOF_Higth=10600\r\n");
    r.StartQuiet();
    EXPECT_TRUE(r.form->ed_LOF_sw.enabled());
    r.form->TuneTo(12700);
    EXPECT_EQ(r.tuner().callTexts().at(1), "TunerSetLnbFrequency(9750)");
}

TEST(SettingsFileTest, OthersSectionsKeysAndCommentsSurviveAndBrokenLinesCannotInjectKeys) {
    test::FormRig r;
    r.WriteSettings("; tuned by hand\r\n[Mine]\r\nA=1\r\n\r\n[FORM]\r\nTop=5\r\nExtra=x\r\n");
    r.Start();
    EXPECT_EQ(r.form->top(), 5);
    r.form->ed_sat_name.setText("Sat\r\n[Form]\r\nTop=1");
    r.form->Close();
    const std::string written = r.settings();
    EXPECT_EQ(written.rfind("; tuned by hand\r\n[Mine]\r\nA=1\r\n\r\n[FORM]\r\nTop=5\r\nExtra=x\r\n"
                            "Left=100\r\n[Settings]\r\n",
                            0),
              0u);
    EXPECT_NE(written.find("SAT_Name=Sat  [Form]  Top=1\r\n"), std::string::npos);
}

TEST(SettingsFileTest, GarbageFileStartsWithDefaultsAndKeepsItsLines) {
    test::FormRig r;
    const char bytes[] = "\0\xff\xfe[[[\r\n=\r\n[Form\r\n[Settings]\r\nBand=\r\nLNB_Sel";
    const std::string garbage(bytes, sizeof bytes - 1);  // truncated in the middle of a key
    r.WriteSettings(garbage);
    r.Start();
    EXPECT_TRUE(r.rig.dialogs.events().empty());
    EXPECT_EQ(r.form->cbLNB_Sel.text(), "22 KHz");
    EXPECT_TRUE(r.form->rb_Ku_Linear.checked());
    r.form->Close();
    const std::string written = r.settings();
    EXPECT_EQ(written.rfind(garbage.substr(0, 18), 0), 0u);
    EXPECT_NE(written.find("[Settings]\r\nBand=1\r\nLNB_Sel\r\nLOF_Low=9750"), std::string::npos);
}

}  // namespace
}  // namespace quillox
