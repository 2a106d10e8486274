// The Settings group's Apply, the band radios, the tuning step and the transponder Apply.
#include <gtest/gtest.h>

#include "base/number_text.h"
#include "support/form_rig.h"

namespace quillox {
namespace {

using Calls = std::vector<std::string>;

class LnbTuningTest : public ::testing::Test {
protected:
    void SetUp() override { r.StartQuiet(); }
    TForm1& f() { return *r.form; }
    void ChooseCustom(const char* low, const char* sw, const char* high) {
        f().rb_Custom.click();
        f().rb_Custom.mouseUp();
        f().ed_LOF_low.setText(low);
        f().ed_LOF_sw.setText(sw);
        f().ed_LOF_higth.setText(high);
    }
    test::FormRig r;
};

TEST_F(LnbTuningTest, ApplySendsDiseqcThenTunesTheKuLowBandThenStagesTheTransponder) {
    f().cbDiSEqC.setText("Pos A - Opt B");
    f().bAplly.click();
    EXPECT_EQ(r.tuner().callTexts(),
              (Calls{"TunerSetDiseqc(5)", "TunerCommit(1)", "TunerSetLnbSelection(0)",
                     "TunerSetLnbFrequency(9750)", "TunerSetFrequency(10700)", "TunerCommit(1)",
                     "TunerSetPolarity(1)", "TunerSetSymbolRate(1)", "TunerSetFec(6)",
                     "TunerCommit(1)"}));
    EXPECT_TRUE(r.rig.dialogs.events().empty());
}

// The tuning step takes the band radios' LOFs and the tone field; the band rule itself is
// tested with the engines.
TEST_F(LnbTuningTest, TuningStepUsesTheFieldsAsTheyStandNow) {
    f().cbLNB_Sel.setText("44 KHz");
    f().TuneTo(11700);
    f().rb_Cband.click();
    f().rb_Cband.mouseUp();
    f().TuneTo(4200);
    ChooseCustom("9x", "0", "10000");
    EXPECT_THROW(f().TuneTo(11000), ConversionError);
    EXPECT_EQ(r.tuner().callTexts(),
              (Calls{"TunerSetLnbSelection(3)", "TunerSetLnbFrequency(10600)",
                     "TunerSetFrequency(11700)", "TunerCommit(1)", "TunerSetLnbSelection(0)",
                     "TunerSetLnbFrequency(5150)", "TunerSetFrequency(4200)", "TunerCommit(1)"}));
}

struct RefusalCase {
    std::string name;
    const char* low;
    const char* sw;
    const char* high;
    const char* tone;
    const char* diseqc;
    const char* message;
    const char* focus;
};

class SettingsValidationTest : public LnbTuningTest,
                               public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SettingsValidationTest, RefusesWithMessageFocusAndNoTunerCall) {
    const RefusalCase& c = GetParam();
    ChooseCustom(c.low, c.sw, c.high);
    f().cbLNB_Sel.setText(c.tone);
    f().cbDiSEqC.setText(c.diseqc);
    f().bAplly.click();
    EXPECT_EQ(r.rig.dialogs.errors(), Calls{c.message});
    ASSERT_NE(f().focusedControl(), nullptr);
    EXPECT_EQ(f().focusedControl()->name(), c.focus);
    if (auto* combo = dynamic_cast<ComboBox*>(f().focusedControl())) {
        EXPECT_TRUE(combo->textSelected());
    }
    EXPECT_TRUE(r.tuner().callTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsValidationTest,
    ::testing::Values(RefusalCase{"LowNotInteger", "abc", "0", "1", "x", "x",
                                  "LOF_Low:\nInsert a valid Value.", "ed_LOF_low"},
                      RefusalCase{"SwNegative", "1", "-1", "1", "None", "None",
                                  "LOF_Sw:\nInsert a valid Value.", "ed_LOF_sw"},
                      RefusalCase{"HighEmpty", "1", "0", "", "None", "None",
                                  "LOF_High:\nInsert a valid Value.", "ed_LOF_higth"},
                      RefusalCase{
                          "LowAboveHigh", "10600", "11700", "9750", "None", "None",
                          "LOF_Low can\u00b4t be superior to the LOF_high\nInsert a valid Value.",
                          "ed_LOF_low"},
                      RefusalCase{"ToneCaseDiffers", "9750", "11700", "10600", "22 kHz", "x",
                                  "LNB Sel:\nInsert a valid Value.", "cbLNB_Sel"},
                      RefusalCase{"DiseqcUnknown", "9750", "11700", "10600", "None", "none",
                                  "DiSEqC:\nInsert a valid Value.", "cbDiSEqC"}),
    [](const auto& info) { return info.param.name; });

TEST_F(LnbTuningTest, EqualLowAndHighLofPass) {
    ChooseCustom("10000", "11000", "10000");
    f().bAplly.click();
    EXPECT_TRUE(r.rig.dialogs.errors().empty());
    EXPECT_EQ(r.tuner().countOf("TunerCommit"), 3);
}

TEST_F(LnbTuningTest, BandRadiosSetTheLofFieldsOnMouseReleaseOnly) {
    f().rb_Cband.click();  // keyboard: selection only
    EXPECT_EQ(f().ed_LOF_low.text(), "9750");
    f().rb_Cband.mouseUp();
    EXPECT_EQ(f().ed_LOF_low.text() + "/" + f().ed_LOF_sw.text() + "/" + f().ed_LOF_higth.text(),
              "5150/0/5150");
    f().rb_Custom.click();
    f().rb_Custom.mouseUp();
    EXPECT_TRUE(f().ed_LOF_sw.enabled());
    EXPECT_EQ(f().ed_LOF_sw.text(), "0");
    f().rb_Ku_Linear.click();
    f().rb_Ku_Linear.mouseUp();
    EXPECT_FALSE(f().ed_LOF_low.enabled());
    EXPECT_EQ(f().ed_LOF_low.text() + "/" + f().ed_LOF_sw.text() + "/" + f().ed_LOF_higth.text(),
              "9750/11700/10600");
    EXPECT_TRUE(r.tuner().callTexts().empty());  // choosing a band never tunes
}

TEST_F(LnbTuningTest, TransponderApplyTunesThenStagesPolaritySymbolRateAndFec) {
    f().Edit12.setText("11954");
    f().cbPolarity.setText("HORIZONTAL");
    f().cbFec.setText("3/4");
    f().bAplly2.click();
    EXPECT_EQ(r.tuner().callTexts(),
              (Calls{"TunerSetLnbSelection(1)", "TunerSetLnbFrequency(10600)",
                     "TunerSetFrequency(11954)", "TunerCommit(1)", "TunerSetPolarity(0)",
                     "TunerSetSymbolRate(1)", "TunerSetFec(3)", "TunerCommit(1)"}));
}

struct TransponderCase {
    const char* band;  // radio name
    const char* freq;
    const char* pol;
    const char* fec;
    const char* sr;
    const char* message;  // nullptr: accepted
    const char* focus;
};

class TransponderValidationTest : public LnbTuningTest,
                                  public ::testing::WithParamInterface<TransponderCase> {};

TEST_P(TransponderValidationTest, AcceptsOrRefusesBeforeAnyTunerCall) {
    const TransponderCase& c = GetParam();
    auto* band = static_cast<RadioButton*>(f().findControl(c.band));
    band->click();
    band->mouseUp();
    f().Edit12.setText(c.freq);
    f().cbPolarity.setText(c.pol);
    f().cbFec.setText(c.fec);
    f().Edit14.setText(c.sr);
    f().bAplly2.click();
    if (c.message == nullptr) {
        EXPECT_TRUE(r.rig.dialogs.errors().empty());
        EXPECT_EQ(r.tuner().countOf("TunerSetFrequency(" + std::string(c.freq) + ")"), 1);
        return;
    }
    EXPECT_EQ(r.rig.dialogs.errors(), Calls{c.message});
    EXPECT_EQ(f().focusedControl()->name(), c.focus);
    EXPECT_TRUE(r.tuner().callTexts().empty());
}

constexpr const char* kKu =
    "Invalid frequency for Ku-Linear Band\nPlease put a frequency from 10700 Mhz to 12750 MHz.";
constexpr const char* kC =
    "Invalid frequency for C-Linear Band\nPlease put a frequency from 3400 MHz to 4200 MHz.";

INSTANTIATE_TEST_SUITE_P(
    Table, TransponderValidationTest,
    ::testing::Values(
        TransponderCase{"rb_Ku_Linear", "12750", "VERTICAL", "AUTO", "1", nullptr, ""},
        TransponderCase{"rb_Ku_Linear", "12751", "VERTICAL", "AUTO", "1", kKu, "Edit12"},
        TransponderCase{"rb_Ku_Linear", "1070O", "VERTICAL", "AUTO", "1", kKu, "Edit12"},
        TransponderCase{"rb_Cband", "3400", "VERTICAL", "AUTO", "1", nullptr, ""},
        TransponderCase{"rb_Cband", "4200", "VERTICAL", "AUTO", "1", nullptr, ""},
        TransponderCase{"rb_Cband", "10700", "VERTICAL", "AUTO", "1", kC, "Edit12"},
        TransponderCase{"rb_Custom", "0", "VERTICAL", "AUTO", "1",
                        "Invalid frequency\nPlease put a valid frequency.", "Edit12"},
        TransponderCase{"rb_Ku_Linear", "11000", "vertical", "AUTO", "1",
                        "Pol:\nInsert a valid Value.", "cbPolarity"},
        TransponderCase{"rb_Ku_Linear", "11000", "VERTICAL", "Auto", "1",
                        "FEC:\nInsert a valid Value.", "cbFec"},
        TransponderCase{"rb_Ku_Linear", "11000", "VERTICAL", "AUTO", "45001",
                        "Invalid Symbol-Rate.\nPlease put a Symbol Rate from 1 to 45000.",
                        "Edit14"}));

}  // namespace
}  // namespace quillox
