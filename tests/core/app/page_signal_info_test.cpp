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

TEST_F(SignalInfoTest, ApplyRefusesAFieldWithItsMessageAndFocus) {
    struct Case {
        Edit* field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {&f.ed_sig_freq, "12751", "Invalid frequency, please put a frequency from 10700 to 12750."},
        {&f.cb_sig_Polarity, "vertical", "Pol:\nInsert a valid Value."},
        {&f.cb_sig_Fec, "8/9", "FEC:\nInsert a valid Value."},
        {&f.ed_sig_sr, "0", "Invalid Symbol-Rate.\nPlease put a Symbol Rate from 1 to 45000."},
        {&f.ed_sig_refresh, "99", "Refresh:\nMinimum value is 100ms\nInsert a valid Value."},
    };
    for (const Case& c : cases) {
        const std::string was = c.field->text();
        r.rig.dialogs.clear();
        c.field->setText(c.text);
        f.bt_sig_Apply.click();
        EXPECT_EQ(r.rig.dialogs.errors(), Texts{c.message});
        EXPECT_EQ(f.focusedControl(), c.field);
        c.field->setText(was);
    }
    f.rb_Cband.setChecked(true);
    f.bt_sig_Apply.click();
    EXPECT_EQ(r.rig.dialogs.errors().back(),
              "Invalid frequency, please put a frequency from 3400 to 4200.");
    EXPECT_TRUE(r.tuner().callTexts().empty());
    EXPECT_FALSE(f.Timer_sig.enabled());
}

TEST_F(SignalInfoTest, ApplyStartsTheMonitorAtTheIntervalAndTunesTheTransponder) {
    f.ed_sig_freq.setText("11000");
    f.cb_sig_Polarity.setText("HORIZONTAL");
    f.ed_sig_sr.setText("27500");
    f.cb_sig_Fec.setText("3/4");
    f.ed_sig_refresh.setText("100");
    f.bt_sig_Apply.click();
    EXPECT_TRUE(f.Timer_sig.enabled());
    EXPECT_EQ(f.Timer_sig.interval(), 100);
    EXPECT_EQ(r.tuner().callTexts(),
              (Texts{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)",
                     "TunerSetFrequency(11000)", "TunerCommit(1)", "TunerSetPolarity(0)",
                     "TunerSetSymbolRate(27500)", "TunerSetFec(3)", "TunerCommit(1)"}));
}

TEST_F(SignalInfoTest, EachTickPaintsBothBarsWithTheStripColourOfTheQuality) {
    struct Case {
        double quality;
        uint32_t colour;
        int position;
    };
    for (const Case& c :
         {Case{0, 0x000000, 0}, Case{1, 0xFD0000, 1}, Case{5, 0xFD1400, 5}, Case{50, 0xFDF900, 50},
          Case{51, 0xFCFC00, 51}, Case{89, 0x3BFD00, 89}, Case{95, 0x38FD00, 95},
          Case{150, 0x38FD00, 100}, Case{-3, 0x000000, 0}}) {
        r.tuner().ScriptSequence(Reading::Quality, {c.quality});
        f.Timer_sig.tick();
        for (const Gauge* bar : {&f.pbar_sig_q, &f.Form_Signal.pbar_sig_q}) {
            EXPECT_EQ(bar->colour(), c.colour) << c.quality;
            EXPECT_EQ(bar->position(), c.position) << c.quality;
        }
    }
    const int anchors[] = {10, 20, 30, 40, 60, 70, 80, 90, 100};
    const uint32_t colours[] = {0xFD2D00, 0xFD6000, 0xFD9300, 0xFDC600, 0xCFFD00,
                                0x9CFD00, 0x69FD00, 0x38FD00, 0x38FD00};
    for (size_t i = 0; i < std::size(anchors); ++i)
        EXPECT_EQ(f.img_SL_pixel_color.pixel(anchors[i], 0), colours[i]) << anchors[i];
}

TEST_F(SignalInfoTest, InputsStayAlikeInBothWindows) {
    f.ed_sig_freq.setText("11111");
    f.Form_Signal.cb_sig_Fec.setText("1/2");
    f.Form_Signal.ed_sig_refresh.setText("250");
    for (const char* name :
         {"ed_sig_freq", "cb_sig_Polarity", "ed_sig_sr", "cb_sig_Fec", "ed_sig_refresh"})
        EXPECT_EQ(f.findControl(name)->text(), f.Form_Signal.findControl(name)->text()) << name;
    EXPECT_EQ(f.cb_sig_Fec.text() + f.ed_sig_refresh.text(), "1/2250");
}

TEST_F(SignalInfoTest, FullScreenWindowAppliesAsThePageAndClosesOnRestoreOrARefusal) {
    f.Button5.click();
    EXPECT_EQ(r.rig.dialogs.events().back().kind + ":" + r.rig.dialogs.events().back().text,
              "ShowModal:Signal");
    EXPECT_FALSE(f.Form_Signal.closed());
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
