// The Signal Info page and the signal window: Apply, the bars and their colours, the mirrored
// inputs, FULL_S and Restore.
#include <gtest/gtest.h>

#include "support/form_rig.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class SignalInfoTest : public ::testing::Test {
protected:
    SignalInfoTest() { r.StartQuiet(); }
    FormRig r;
    TForm1& f = *r.form;
};

TEST_F(SignalInfoTest, ApplyRefusesAFieldWithItsFocusOrStartsTheMonitorAndTunes) {
    struct Case {
        Edit& field;
        const char *text, *message;
    };
    for (const Case& c : {Case{f.ed_sig_freq, "12751",
                               "Invalid frequency, please put a frequency from 10700 to 12750."},
                          Case{f.cb_sig_Polarity, "vertical", "Pol:\nInsert a valid Value."},
                          Case{f.ed_sig_refresh, "99",
                               "Refresh:\nMinimum value is 100ms\nInsert a valid Value."}}) {
        const std::string was = c.field.text();
        r.rig.dialogs.clear();
        c.field.setText(c.text);
        f.bt_sig_Apply.click();
        EXPECT_EQ(r.rig.dialogs.errors(), Texts{c.message});
        EXPECT_EQ(f.focusedControl(), &c.field);
        c.field.setText(was);
    }
    EXPECT_TRUE(r.tuner().callTexts().empty());

    f.ed_sig_freq.setText("11000");
    f.cb_sig_Polarity.setText("HORIZONTAL");
    f.cb_sig_Fec.setText("3/4");
    f.ed_sig_refresh.setText("100");
    f.bt_sig_Apply.click();
    EXPECT_TRUE(f.Timer_sig.enabled() && f.Timer_sig.interval() == 100);
    EXPECT_EQ(r.tuner().callTexts(),
              (Texts{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)",
                     "TunerSetFrequency(11000)", "TunerCommit(1)", "TunerSetPolarity(0)",
                     "TunerSetSymbolRate(1)", "TunerSetFec(3)", "TunerCommit(1)"}));
}

TEST_F(SignalInfoTest, EachTickPaintsBothBarsWithTheStripColourOfTheQuality) {
    const std::pair<double, uint32_t> qualityColours[] = {
        {0, 0x000000},   {1, 0xFD0000},   {5, 0xFD1400},  {10, 0xFD2D00}, {20, 0xFD6000},
        {30, 0xFD9300},  {40, 0xFDC600},  {50, 0xFDF900}, {51, 0xFCFC00}, {60, 0xCFFD00},
        {70, 0x9CFD00},  {80, 0x69FD00},  {89, 0x3BFD00}, {90, 0x38FD00}, {95, 0x38FD00},
        {100, 0x38FD00}, {150, 0x38FD00}, {-3, 0x000000}};
    for (const auto& [quality, colour] : qualityColours) {
        r.tuner().ScriptSequence(Reading::Quality, {quality});
        f.Timer_sig.tick();
        for (const Gauge* bar : {&f.pbar_sig_q, &f.Form_Signal.pbar_sig_q}) {
            EXPECT_EQ(bar->colour(), colour) << quality;
            EXPECT_EQ(bar->position(), std::clamp(static_cast<int>(quality), 0, 100));
        }
    }
}

TEST_F(SignalInfoTest, SignalWindowMirrorsTheInputsAppliesAsThePageAndClosesOnRestore) {
    f.ed_sig_freq.setText("11111");
    f.Form_Signal.ed_sig_refresh.setText("250");
    EXPECT_EQ(f.Form_Signal.ed_sig_freq.text() + " " + f.ed_sig_refresh.text(), "11111 250");
    f.Button5.click();
    EXPECT_EQ(r.rig.dialogs.events().back().text, "Signal");
    f.Form_Signal.Button1.click();
    EXPECT_TRUE(f.Form_Signal.closed());

    f.Button5.click();
    f.Form_Signal.ed_sig_sr.setText("45001");
    f.Form_Signal.bt_sig_Apply.click();
    EXPECT_EQ(r.rig.dialogs.errors(),
              Texts{"Invalid Symbol-Rate.\nPlease put a Symbol Rate from 1 to 45000."});
    EXPECT_TRUE(f.Form_Signal.closed()) << "the field to correct is in the main window";
    EXPECT_EQ(f.focusedControl(), &f.ed_sig_sr);
}

}  // namespace
}  // namespace quillox::test
