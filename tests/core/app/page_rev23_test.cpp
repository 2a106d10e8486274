// The page "SkyStar2  rev. 2.3": validation, what GO stages and locks, STOP, the numbered list
// with Clear, and the " INI file " groups' file name and writers.
#include <gtest/gtest.h>

#include <sstream>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

// "name=value ...": texts of fields, 0/1 for boxes, any value checks a radio.
void Set(TForm1& form, const std::string& settings) {
    std::istringstream in(settings);
    for (std::string item; in >> item;) {
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq), value = item.substr(eq + 1);
        Control* control = form.findControl(name);
        if (auto* box = dynamic_cast<CheckBox*>(control))
            box->setChecked(value == "1");
        else if (auto* radio = dynamic_cast<RadioButton*>(control))
            radio->setChecked(true);
        else
            control->setText(value);
    }
}

struct InputCase {
    const char* settings;
    std::string message;
    const char* focus;
};

class SweepInputTest : public ScanTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(SweepInputTest, RefusesAtTheFirstFailingCheckBeforeAnyTunerCall) {
    Set(form, GetParam().settings);
    form.bt_go_r23.click();
    EXPECT_EQ(rig.dialogs.errors(), Texts{GetParam().message});
    ASSERT_NE(form.focusedControl(), nullptr);
    EXPECT_EQ(form.focusedControl()->name(), GetParam().focus);
    EXPECT_TRUE(tuner.callTexts().empty());
    EXPECT_TRUE(form.bt_go_r23.enabled());
}

const std::string kRange = "Symbol - Rates Range:\n";
const std::string kRate = "Please put a Symbol-Rate from ";

// The range and dwell checks are the rev. 2.6 sweep's (tested there); one shows they read
// this page's fields.
INSTANTIATE_TEST_SUITE_P(
    Checks, SweepInputTest,
    ::testing::Values(
        InputCase{"rb_Cband=1 ed_f_start_r23=3400 ed_f_end_r23=3399",
                  "Invalid END frequency for C-Linear Band\nPlease put a frequency from 3400 MHz "
                  "to 4200 MHz.",
                  "ed_f_end_r23"},
        InputCase{"cb_Vertical=0 cb_Horizontal=0", "You have to choose at least one Polarity!",
                  "cb_Vertical"},
        InputCase{"ed_F_Tuning=150", "Invalid Custom Delay, the minimum value is 200.",
                  "ed_F_Tuning"},
        InputCase{"rb_sr_range_custom=1 ed_sr_range_from=46",
                  kRange + "From: Invalid value!\n          " + kRate + "0 MS/s to 45 MS/s",
                  "ed_sr_range_from"},
        InputCase{"rb_sr_range_custom=1 ed_sr_range_to=0",
                  kRange + "To: Invalid value!\n        " + kRate + "1 MS/s to 45 MS/s",
                  "ed_sr_range_to"},
        InputCase{"rb_sr_range_custom=1 ed_sr_range_from=10 ed_sr_range_to=10",
                  kRange + "TO value must be superior to FROM value!", "ed_sr_range_from"},
        InputCase{"ed_sr_range_to=0 ed_F_Tuning=x",
                  "Invalid Custom Delay, the minimum value is 200.",
                  "ed_F_Tuning"}));  // "ALL" skips the range checks

// ---- Running and stopping ---------------------------------------------------------------------

class SweepPageTest : public ScanTest {
protected:
    SweepPageTest() { Set(form, "ed_f_start_r23=11000 ed_f_end_r23=11000 cb_Horizontal=0"); }
    void Go() {
        form.bt_go_r23.click();
        WaitIdle(form.SweepWorker);
    }
};

TEST_F(SweepPageTest, LinesNumberOnAcrossSweepsUntilClearWithUnknownPolarityAndFec) {
    form.cb_Fine_Tuning.setChecked(false);
    for (auto [reading, value] : {std::pair{Reading::Quality, 50.0},
                                  {Reading::SymbolRate, 27500},
                                  {Reading::Frequency, 11000},
                                  {Reading::Polarity, 10},
                                  {Reading::Fec, 0}})
        tuner.ScriptSequence(reading, {value});
    Go();
    Go();
    EXPECT_EQ(form.r_ed_trans_good_r23.lines(), (Texts{"1=11000,?,27500,", "2=11000,?,27500,"}));
    // the spectrum keeps the second sweep only: its one step and its one mark
    const SpectrumData spectrum = form.SpectrumReadings.Snapshot(SweepMethod::RateSearch);
    ASSERT_EQ(spectrum.vertical.readings.size(), 1u);
    EXPECT_EQ(spectrum.vertical.readings[0].value, 50);
    EXPECT_EQ(spectrum.found.size(), 1u);
    EXPECT_EQ(form.pbar_freq_r23.position(), 100);
    EXPECT_TRUE(form.bt_go_r23.enabled());
    form.bt_trans_clear_r23.click();
    EXPECT_EQ(form.r_ed_trans_good_r23.count() + form.trans_counter_r23, 1);
}

TEST_F(SweepPageTest, GoLocksTheNineAndStopInTheStartSleepLeavesOnlyFecAutoStaged) {
    const ControlStates before = StatesOf(form);
    form.pbar_freq_r23.setPosition(100);  // as a finished sweep leaves it
    // The worker resets the gauge just before its first sleep: hold it there until STOP.
    const int hold = form.pbar_freq_r23.subscribe([this] { pause.After("gauge"); });
    pause.Arm("gauge", 1);
    form.bt_go_r23.click();
    ASSERT_TRUE(pause.WaitReached());
    EXPECT_EQ(ChangedBetween(before, StatesOf(form)),
              (Texts{"bt_go_r23", "gbSettings", "gb_F_Tuning", "gb_Polarity", "gb_freqs_r23",
                     "gb_sr_range", "ts_01", "ts_02", "ts_signal"}));
    form.b_Stop_r23.click();
    form.pbar_freq_r23.unsubscribe(hold);
    EXPECT_EQ(tuner.callTexts(), (Texts{"TunerSetFec(6)", "TunerCommit(1)"}));
    EXPECT_EQ(form.pbar_freq_r23.position(), 0);
    EXPECT_TRUE(ChangedBetween(before, StatesOf(form)).empty());
}

TEST_F(SweepPageTest, StopInsideAConfirmationRecordsNothingAndMakesNoFurtherCall) {
    tuner.ScriptSequence(Reading::Quality, {50});
    pause.Arm("TunerSetFrequency", 5);  // sweep, centre, then the third step down
    form.bt_go_r23.click();
    ASSERT_TRUE(pause.WaitReached());
    const size_t calls = tuner.callTexts().size();
    form.b_Stop_r23.click();
    EXPECT_EQ(tuner.callTexts().size(), calls);
    EXPECT_EQ(tuner.callTexts().back(), "TunerSetFrequency(10996)");
    EXPECT_EQ(form.r_ed_trans_good_r23.count(), 0);
    EXPECT_EQ(form.pbar_freq_r23.position(), 0);
}

// ---- " INI file " groups ----------------------------------------------------------------------

TEST_F(ScanTest, PositionFieldsNameTheFileAndKeepItOnAnEmptyOrBadField) {
    Set(form, "ed_sat_pos1_r23=13 cb_E_W_r23=W ed_sat_pos2=5");
    EXPECT_EQ(form.ed_file_name_r23.text(), "3470.ini");
    EXPECT_EQ(form.ed_file_name.text(), "0005.ini");
    form.ed_sat_pos1_r23.setText("");
    form.ed_sat_pos1_r23.setText("1x");
    EXPECT_EQ(form.ed_file_name_r23.text(), "3470.ini");
    EXPECT_EQ(rig.dialogs.errors(), Texts{"'1x' is not a valid integer value"});
}

TEST_F(ScanTest, SaveAsksBeforeReplacingAndFailuresAreToldOrReturned) {
    const std::string path = rig.homeDir.str() + "0000.ini", nowhere = rig.homeDir.str() + "no/";
    form.r_ed_trans_good_r23.setText("1=10719,V,27500,34");
    form.trans_counter_r23 = 2;
    WriteFileBytes(path, "old");
    rig.dialogs.AnswerFile(path);
    form.bt_Save_ini_r23.click();  // answered No
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(rig.dialogs.events().back().text,
              path + "\nAlready exists!\n\nDo you want to replace it?");
    rig.dialogs.AnswerFile(nowhere + "0000.ini");
    form.bt_Save_ini.click();
    EXPECT_EQ(rig.dialogs.errors(),
              Texts{"The File:\n" + nowhere +
                    "0000.ini\nCan't be written!\n\nNo such file or directory"});

    rig.dialogs.clear();
    form.ed_shutdown_r23.setText(rig.homeDir.str());  // no question at a job's end
    EXPECT_TRUE(form.bt_write_file_shutdown_r23Click().ok);
    EXPECT_NE(ReadFileBytes(path).find("0=1\r\n1=10719,V,27500,34\r\n"), std::string::npos);
    form.ed_shutdown_r26.setText(nowhere);
    EXPECT_EQ(form.bt_write_file_r26Click().error, "No such file or directory");
    EXPECT_TRUE(rig.dialogs.events().empty());
}

}  // namespace
}  // namespace quillox::test
