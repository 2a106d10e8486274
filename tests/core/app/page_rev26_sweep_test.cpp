// The probable-frequency sweep on the page: validation, what the start stages, where hits and
// their merge go, stop.
#include <gtest/gtest.h>

#include "app/job_texts.h"
#include "core/app/page_fixture.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

// ---- Validation -------------------------------------------------------------------------------

struct ValidationCase {
    const char* label;
    Band band;
    const char *start, *end, *step, *delay;
    const char* message;
    const char* focus;
};

class SweepValidationTest : public ScanTest,
                            public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(SweepValidationTest, RefusesWithTheFirstFailingCheckAndStartsNothing) {
    const ValidationCase& c = GetParam();
    if (c.band == Band::C) form.rb_Cband.setChecked(true);
    if (c.band == Band::Custom) form.rb_Custom.setChecked(true);
    form.ed_f_start.setText(c.start);
    form.ed_f_end.setText(c.end);
    form.ed_f_step.setText(c.step);
    form.ed_f_delay.setText(c.delay);
    form.r_edt_freq_v.setText("10719");

    form.Button1.click();
    EXPECT_EQ(rig.dialogs.errors(), Texts{c.message});
    ASSERT_NE(form.focusedControl(), nullptr);
    EXPECT_EQ(form.focusedControl()->name(), c.focus);
    EXPECT_FALSE(form.FreqScanWorker.running());
    EXPECT_TRUE(tuner.callTexts().empty());
    EXPECT_EQ(form.r_edt_freq_v.lines(), Texts{"10719"});
    EXPECT_TRUE(form.Button1.enabled());
}

constexpr const char* kKuStart =
    "Invalid START frequency for Ku-Linear Band\nPlease put a frequency from 10700 Mhz to 12750 "
    "MHz.";
constexpr const char* kKuEnd =
    "Invalid END frequency for Ku-Linear Band\nPlease put a frequency from 10700 Mhz to 12750 "
    "MHz.";

INSTANTIATE_TEST_SUITE_P(
    Checks, SweepValidationTest,
    ::testing::Values(
        ValidationCase{"KuStartLow", Band::KuLinear, "10699", "12750", "5", "750", kKuStart,
                       "ed_f_start"},
        ValidationCase{"StartCheckedBeforeStep", Band::KuLinear, "12751", "12750", "0", "750",
                       kKuStart, "ed_f_start"},
        ValidationCase{"CStartHigh", Band::C, "4201", "4200", "5", "750",
                       "Invalid START frequency for C-Linear Band\nPlease put a frequency from "
                       "3400 MHz to 4200 MHz.",
                       "ed_f_start"},
        ValidationCase{"CustomStartNotANumber", Band::Custom, "1x", "12750", "5", "750",
                       "Invalid START frequency\nPlease put a valid frequency.", "ed_f_start"},
        ValidationCase{"KuEndHigh", Band::KuLinear, "10700", "12751", "5", "750", kKuEnd,
                       "ed_f_end"},
        ValidationCase{"CEndLow", Band::C, "3400", "3399", "5", "750",
                       "Invalid END frequency for C-Linear Band\nPlease put a frequency from "
                       "3400 MHz to 4200 MHz.",
                       "ed_f_end"},
        ValidationCase{"CustomEndZero", Band::Custom, "1", "0", "5", "750",
                       "Invalid END frequency\nPlease put a valid frequency.", "ed_f_end"},
        ValidationCase{"EndBelowStart", Band::KuLinear, "11000", "10999", "5", "750",
                       "The START frequency can't be superior to the END frequency.", "ed_f_start"},
        ValidationCase{"StepZero", Band::KuLinear, "10700", "12750", "0", "750",
                       "Invalid STEP, please put a step superior to 0.", "ed_f_step"},
        ValidationCase{"DelayBelow200", Band::C, "3400", "4200", "5", "199",
                       "Invalid Delay, the minimum value is 200.", "ed_f_delay"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Body -------------------------------------------------------------------------------------

class SweepTest : public ScanTest {
protected:
    void Range(const char* start, const char* end, const char* step, const char* delay) {
        form.ed_f_start.setText(start);
        form.ed_f_end.setText(end);
        form.ed_f_step.setText(step);
        form.ed_f_delay.setText(delay);
    }
    void RunVertical() {
        form.Button1.click();
        WaitIdle(form.FreqScanWorker);
    }
    // SNR as a function of the committed frequency.
    void SnrAt(std::function<double(int32_t mhz)> snr) {
        tuner.Script(Reading::Snr,
                     [snr](const TunerState& s, int64_t) { return snr(s.frequency); });
    }
};

TEST_F(SweepTest, StagesThePolarityAndTheClassRateAndMergesAtTheEnd) {
    Range("10700", "10700", "5", "200");
    form.rb_sr_menor7500.click();
    RunVertical();
    const Texts calls = tuner.callTexts();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(Texts(calls.begin(), calls.begin() + 4),
              (Texts{"TunerSetPolarity(1)", "TunerSetFec(6)", "TunerCommit(1)",
                     "TunerSetSymbolRate(7500)"}));
    // the merge reads the polarity to choose the list
    EXPECT_EQ(Texts(calls.end() - 2, calls.end()),
              (Texts{"TunerRefreshStatus()", "TunerGetPolarity"}));
    EXPECT_EQ(form.pbar_freq.position(), 100);
    EXPECT_EQ(form.r_edt_freq_v.count(), 0) << "no hit: the placeholder gives way to nothing";
}

TEST_F(SweepTest, HitsOfOneTransponderMergeIntoItsMiddle) {
    Range("10700", "10760", "5", "200");
    SnrAt([](int32_t mhz) { return (mhz >= 10710 && mhz <= 10725) || mhz == 10755 ? 8 : 0; });
    RunVertical();
    EXPECT_EQ(form.RichEdit2.lines(), (Texts{"10710", "10715", "10720", "10725", "10755"}));
    EXPECT_EQ(form.r_edt_freq_v.lines(), (Texts{"10717", "10755"}));
    EXPECT_EQ(form.re_freq_tmp.lines(), (Texts{"10717", "10755"}));
}

TEST_F(SweepTest, HorizontalSweepFillsOnlyTheHorizontalList) {
    Range("10700", "10700", "5", "200");
    form.r_edt_freq_v.setText("11000");
    SnrAt([](int32_t) { return 9; });
    form.Button3.click();
    WaitIdle(form.FreqScanWorker);
    EXPECT_EQ(tuner.callTexts().front(), "TunerSetPolarity(0)");
    EXPECT_EQ(form.r_edt_freq_h.lines(), Texts{"10700"});
    EXPECT_EQ(form.r_edt_freq_v.lines(), Texts{"11000"});
}

// ---- Merge -------------------------------------------------------------------------------------

TEST_F(ScanTest, MergeWritesTheListOfTheReportedPolarityOnly) {
    struct Case {
        double polarity;
        Texts vertical, horizontal;
    };
    for (const Case& c :
         {Case{1, {"10719"}, {"h"}}, Case{0, {"v"}, {"10719"}}, Case{10, {"v"}, {"h"}}}) {
        tuner.ScriptSequence(Reading::Polarity, {c.polarity});
        form.r_edt_freq_v.setText("v");
        form.r_edt_freq_h.setText("h");
        form.RichEdit2.setText("10719");
        form.b_tr_GOClick();
        EXPECT_EQ(form.r_edt_freq_v.lines(), c.vertical) << c.polarity;
        EXPECT_EQ(form.r_edt_freq_h.lines(), c.horizontal) << c.polarity;
    }
}

// ---- Stop --------------------------------------------------------------------------------------

TEST_F(SweepTest, StopDuringTheReadingsDropsTheHitsAndMakesNoFurtherCall) {
    Range("10700", "12750", "5", "750");
    form.r_edt_freq_h.setText("11000");
    SnrAt([](int32_t mhz) { return mhz == 10700 ? 5 : 0; });
    pause.Arm("TunerGetSnr", 40);  // a hit at the first step, 33 readings, then 6 more
    form.Button1.click();
    ASSERT_TRUE(pause.WaitReached());
    const size_t callsAtStop = tuner.callTexts().size();
    EXPECT_EQ(form.RichEdit2.lines(), Texts{"10700"});

    form.b_Stop.click();
    EXPECT_FALSE(form.FreqScanWorker.running());
    EXPECT_EQ(tuner.callTexts().size(), callsAtStop);
    EXPECT_EQ(tuner.callTexts().back(), "TunerGetSnr");
    EXPECT_EQ(form.RichEdit2.count(), 0);
    EXPECT_EQ(form.r_edt_freq_v.count(), 0) << "the placeholder goes";
    EXPECT_EQ(form.r_edt_freq_h.lines(), Texts{"11000"});
    EXPECT_EQ(form.pbar_freq.position(), 0);
    EXPECT_TRUE(form.Button1.enabled());
}

TEST_F(SweepTest, StopInTheMiddleOfATuningSequenceLeavesItUnfinished) {
    Range("10700", "12750", "5", "750");
    pause.Arm("TunerSetLnbFrequency", 3);
    form.Button1.click();
    ASSERT_TRUE(pause.WaitReached());
    form.b_Stop.click();
    const Texts calls = tuner.callTexts();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Texts(calls.end() - 2, calls.end()),
              (Texts{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)"}));
    EXPECT_EQ(tuner.countOf("TunerSetFrequency(10710)"), 0);
    EXPECT_EQ(form.pbar_freq.position(), 0);
}

}  // namespace
}  // namespace quillox::test
