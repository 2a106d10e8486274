// The page "Get - Symbol Rate": its checks, what the finder locks and shows, Stop, the report.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class FinderPageTest : public ScanTest {
protected:
    FinderPageTest() {  // a carrier that every rate within 30 of 27500 locks; it reads 27500
        const auto at = [](const TunerState& s) { return std::abs(s.symbolRate - 27500) <= 30; };
        tuner.Script(Reading::Quality,
                     [=](const TunerState& s, int64_t) { return at(s) ? 70 : 0; });
        tuner.Script(Reading::SymbolRate,
                     [=](const TunerState& s, int64_t) { return at(s) ? 27500 : 0; });
        form.ed_start.setText("27400");
        form.ed_end.setText("27600");
    }
};

TEST_F(FinderPageTest, RefusesAFieldWithItsMessageAndFocusBeforeAnyTunerCall) {
    struct Case {
        Edit& field;
        const char *text, *message;
        Control& focus;
    };
    for (const Case& c :
         {Case{form.ed_end, "x",
               "Invalid END Symbol Rate.\nPlease put a Symbol Rate from 1 to 45000.", form.ed_end},
          Case{form.ed_end, "27399",
               "The START Symbol Rate cannot be superior to the END Symbol Rate.", form.ed_start},
          Case{form.ed_delay, "149", "Invalid Delay, the minimum value is 150.", form.ed_delay}}) {
        const std::string was = c.field.text();
        rig.dialogs.clear();
        c.field.setText(c.text);
        form.bt_sr_go.click();
        EXPECT_EQ(rig.dialogs.errors(), Texts{c.message});
        EXPECT_EQ(form.focusedControl(), &c.focus) << c.text;
        c.field.setText(was);
    }
    EXPECT_TRUE(tuner.callTexts().empty());
}

TEST_F(FinderPageTest, TunesAndLocksSevenControlsWhileItRunsThenShowsTheResultOrNotFound) {
    const ControlStates before = StatesOf(form);
    pause.Arm("TunerGetSnr", 1);
    form.bt_sr_go.click();
    ASSERT_TRUE(pause.WaitReached());
    EXPECT_EQ(ChangedBetween(before, StatesOf(form)),
              (Texts{"gbSettings", "gbTransponder", "gb_Fine_Tuning", "gb_sr", "ts_01", "ts_signal",
                     "ts_ss2r23"}));
    EXPECT_EQ(tuner.callTexts()[4] + "," + tuner.callTexts()[6],
              "TunerSetPolarity(1),TunerSetFec(6)");
    pause.Release();
    WaitIdle(form.SrFinderWorker);
    EXPECT_EQ(form.ed_sr.text(), "27500");
    EXPECT_TRUE(form.Image3.visible());
    EXPECT_EQ(form.pbar_find_sr.position(), 100);
    EXPECT_TRUE(ChangedBetween(before, StatesOf(form)).empty());

    form.ed_end.setText("27401");
    form.bt_sr_go.click();
    WaitIdle(form.SrFinderWorker);
    EXPECT_EQ(form.ed_sr.text(), "Not Found");
    EXPECT_FALSE(form.Image3.visible());
}

TEST_F(FinderPageTest, StopDuringTheFineSearchClearsTheResultAndMakesNoFurtherCall) {
    pause.Arm("TunerSetSymbolRate", 8);  // Apply, five coarse tries, then the walk's second rate
    form.bt_sr_go.click();
    ASSERT_TRUE(pause.WaitReached());
    const size_t callsAtStop = tuner.callTexts().size();
    form.bt_stop_find_sr.click();
    EXPECT_EQ(tuner.callTexts().size(), callsAtStop);
    EXPECT_EQ(tuner.callTexts().back(), "TunerSetSymbolRate(27504)");
    EXPECT_EQ(form.pbar_find_sr.position(), 0);
    EXPECT_TRUE(form.ed_sr.text().empty() && !form.Image3.visible());
    EXPECT_TRUE(form.gb_sr.enabled() && form.ts_signal.enabled() && form.gbSettings.enabled());
}

}  // namespace
}  // namespace quillox::test
