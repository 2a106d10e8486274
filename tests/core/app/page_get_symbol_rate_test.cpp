// The page "Get - Symbol Rate": its checks, what the finder locks and shows, Stop, the report.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class FinderPageTest : public ScanTest {
protected:
    FinderPageTest() {
        // A carrier of 27500 kS/s: every rate within 30 locks it and reads back 27500.
        const auto locks = [](const TunerState& s) { return std::abs(s.symbolRate - 27500) <= 30; };
        tuner.Script(Reading::Quality,
                     [=](const TunerState& s, int64_t) { return locks(s) ? 70 : 0; });
        tuner.Script(Reading::SymbolRate,
                     [=](const TunerState& s, int64_t) { return locks(s) ? 27500 : s.symbolRate; });
        form.ed_start.setText("27400");
        form.ed_end.setText("27600");
    }
};

TEST_F(FinderPageTest, RefusesAFieldWithItsMessageAndFocusBeforeAnyTunerCall) {
    struct Case {
        Edit* field;
        const char* text;
        const char* message;
        Control* focus;
    };
    const char* start = "Invalid START Symbol Rate.\nPlease put a Symbol Rate from 1 to 45000.";
    const Case cases[] = {
        {&form.Edit12, "10699",
         "Invalid frequency for Ku-Linear Band\nPlease put a frequency from 10700 Mhz to 12750 "
         "MHz.",
         &form.Edit12},
        {&form.ed_start, "0", start, &form.ed_start},
        {&form.ed_start, "45001", start, &form.ed_start},
        {&form.ed_end, "x", "Invalid END Symbol Rate.\nPlease put a Symbol Rate from 1 to 45000.",
         &form.ed_end},
        {&form.ed_end, "27399", "The START Symbol Rate cannot be superior to the END Symbol Rate.",
         &form.ed_start},
        {&form.ed_step, "0", "Invalid STEP, please put a step superior to 0.", &form.ed_step},
        {&form.ed_delay, "149", "Invalid Delay, the minimum value is 150.", &form.ed_delay},
    };
    for (const Case& c : cases) {
        const std::string was = c.field->text();
        rig.dialogs.clear();
        c.field->setText(c.text);
        form.bt_sr_go.click();
        EXPECT_EQ(rig.dialogs.errors(), Texts{c.message}) << c.text;
        EXPECT_EQ(form.focusedControl(), c.focus) << c.text;
        c.field->setText(was);
    }
    EXPECT_TRUE(tuner.callTexts().empty());
}

TEST_F(FinderPageTest, LocksSevenControlsWhileItRunsThenShowsTheResult) {
    const ControlStates before = StatesOf(form);
    pause.Arm("TunerGetSnr", 1);
    form.bt_sr_go.click();
    ASSERT_TRUE(pause.WaitReached());
    EXPECT_EQ(ChangedBetween(before, StatesOf(form)),
              (Texts{"gbSettings", "gbTransponder", "gb_Fine_Tuning", "gb_sr", "ts_01", "ts_signal",
                     "ts_ss2r23"}));
    pause.Release();
    WaitIdle(form.SrFinderWorker);

    const Texts calls = tuner.callTexts();
    EXPECT_EQ(Texts(calls.begin(), calls.begin() + 8),
              (Texts{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)",
                     "TunerSetFrequency(10700)", "TunerCommit(1)", "TunerSetPolarity(1)",
                     "TunerSetSymbolRate(1)", "TunerSetFec(6)", "TunerCommit(1)"}));
    EXPECT_EQ(form.ed_sr.text(), "27500");
    EXPECT_TRUE(form.Image3.visible());
    EXPECT_EQ(form.pbar_find_sr.position(), 100);
    EXPECT_TRUE(ChangedBetween(before, StatesOf(form)).empty());
}

TEST_F(FinderPageTest, NoSignalAnywhereShowsNotFound) {
    form.ed_start.setText("1");
    form.ed_end.setText("41");
    form.bt_sr_go.click();
    WaitIdle(form.SrFinderWorker);
    EXPECT_EQ(form.ed_sr.text(), "Not Found");
    EXPECT_FALSE(form.Image3.visible());
}

TEST_F(FinderPageTest, StopDuringTheFineSearchClearsTheResultAndMakesNoFurtherCall) {
    pause.Arm("TunerSetSymbolRate", 8);  // Apply, five coarse tries, then the walk's second rate
    form.bt_sr_go.click();
    ASSERT_TRUE(pause.WaitReached());
    EXPECT_EQ(form.pbar_find_sr.position(), 96);
    const size_t callsAtStop = tuner.callTexts().size();
    form.bt_stop_find_sr.click();
    EXPECT_FALSE(form.SrFinderWorker.running());
    EXPECT_EQ(tuner.callTexts().size(), callsAtStop);
    EXPECT_EQ(tuner.callTexts().back(), "TunerSetSymbolRate(27504)");
    EXPECT_EQ(form.ed_sr.text(), "");
    EXPECT_FALSE(form.Image3.visible());
    EXPECT_EQ(form.pbar_find_sr.position(), 0);
    EXPECT_TRUE(form.gb_sr.enabled() && form.ts_signal.enabled() && form.gbSettings.enabled());
}

TEST_F(FinderPageTest, ReportNamesTheTransponderModeAndResult) {
    form.ed_sr_job.setText(rig.homeDir.str() + "result.txt");
    form.ed_sr.setText("27500");
    EXPECT_TRUE(form.bt_write_fileClick().ok);
    EXPECT_EQ(ReadFileBytes(rig.homeDir.path() / "result.txt"),
              "Get - Symbol Rate__Result:\r\n\r\n"
              "File Generated with <Quillox  by Zyl> https://quillox.example.org/\r\n"
              " on 6/12/2026 at 19:05:07\r\n\r\n#Transponder:\r\nFreq: 10700\r\n"
              "Pol: VERTICAL\r\nFec: AUTO\r\n\r\n#Fine_Tuning = NORMAL\r\n\r\n"
              "############################\r\n#  SYMBOL RATE = 27500     #\r\n"
              "############################\r\n");
}

}  // namespace
}  // namespace quillox::test
