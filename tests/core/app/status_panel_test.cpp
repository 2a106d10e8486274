// One tick of the status panel: call order, texts, unknown codes, SNR rounding, quality bar.
#include <gtest/gtest.h>

#include "support/form_rig.h"

namespace quillox {
namespace {

using test::Reading;

class StatusPanelTest : public ::testing::Test {
protected:
    void SetUp() override { r.StartQuiet(); }
    TForm1& f() { return *r.form; }
    void Script(Reading reading, double value) { r.tuner().ScriptSequence(reading, {value}); }
    test::FormRig r;
};

TEST_F(StatusPanelTest, TickReadsTheTunerInItsFixedOrder) {
    f().Timer1.tick();
    EXPECT_EQ(
        r.tuner().callTexts(),
        (std::vector<std::string>{"TunerRefreshStatus()", "TunerGetFrequency", "TunerGetPolarity",
                                  "TunerGetSymbolRate", "TunerGetFec", "TunerGetLnbFrequency",
                                  "TunerGetDiseqc", "TunerGetLnbSelection", "TunerGetSignalQuality",
                                  "TunerRefreshStatus()", "TunerGetSnr", "TunerGetSigtre"}));
}

TEST_F(StatusPanelTest, ShowsWhatTheTunerReports) {
    Script(Reading::Frequency, 11778);
    Script(Reading::Polarity, 10);
    Script(Reading::SymbolRate, 27500);
    Script(Reading::Fec, 3);
    Script(Reading::LnbFrequency, 10600);
    Script(Reading::Diseqc, 4);
    Script(Reading::LnbSelection, 1);
    Script(Reading::Quality, 50);
    Script(Reading::Snr, 12.34);
    Script(Reading::Sigtre, -3);
    f().Timer1.tick();
    EXPECT_EQ(f().Edit2.text(), "11778");
    EXPECT_EQ(f().Edit3.text(), "OFF");
    EXPECT_EQ(f().Edit4.text(), "27500");
    EXPECT_EQ(f().Edit5.text(), "3/4");
    EXPECT_EQ(f().Edit6.text(), "10600");
    EXPECT_EQ(f().Edit7.text(), "Pos B - Opt A");
    EXPECT_EQ(f().Edit8.text(), "22 KHz");
    EXPECT_EQ(f().Edit9.text(), "50");
    EXPECT_EQ(f().ed_snr.text(), "12.3");
    EXPECT_EQ(f().Edit10.text(), "-3");
    EXPECT_EQ(f().Image3.width(), 323);
}

TEST_F(StatusPanelTest, UnknownCodesLeaveThePreviousTextAndFailedReadsShowZero) {
    f().Timer1.tick();  // the committed Apply: VERTICAL, AUTO, None, None
    Script(Reading::Polarity, 7);
    Script(Reading::Fec, 0);
    Script(Reading::Diseqc, 9);
    Script(Reading::LnbSelection, -1);
    r.tuner().Fail(Reading::Frequency);
    f().Timer1.tick();
    EXPECT_EQ(f().Edit3.text(), "VERTICAL");
    EXPECT_EQ(f().Edit5.text(), "AUTO");
    EXPECT_EQ(f().Edit7.text(), "None");
    EXPECT_EQ(f().Edit8.text(), "None");
    EXPECT_EQ(f().Edit2.text(), "0");
}

struct ReadingCase {
    double snr;
    const char* shown;
    int quality;
    int barWidth;
};

class StatusReadingTest : public StatusPanelTest,
                          public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(StatusReadingTest, RoundsSnrAndSizesTheQualityBar) {
    Script(Reading::Snr, static_cast<float>(GetParam().snr));
    Script(Reading::Quality, GetParam().quality);
    f().Timer1.tick();
    EXPECT_EQ(f().ed_snr.text(), GetParam().shown);
    EXPECT_EQ(f().Image3.width(), GetParam().barWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, StatusReadingTest,
    ::testing::Values(ReadingCase{3.649, "3.6", 100, 647}, ReadingCase{3.66, "3.7", 0, 0},
                      ReadingCase{0.0, "0", 1, 6}, ReadingCase{7.0, "7", 99, 640},
                      ReadingCase{12.35, "12.4", 250, 647}, ReadingCase{-2.0, "-2", -5, 0}));

}  // namespace
}  // namespace quillox
