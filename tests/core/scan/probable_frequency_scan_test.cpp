// The probable-frequency sweep engine: call order and waits, the band rule at each step, hits,
// progress, and the merge of hits.
#include "scan/probable_frequency_scan.h"

#include <gtest/gtest.h>

#include "base/number_text.h"
#include "base/tuning_code_values.h"
#include "support/recording_scan_host.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class SweepEngineTest : public ::testing::Test {
protected:
    void Run(int32_t start, int32_t end, int32_t step, int32_t delay) {
        params.startMhz = start, params.endMhz = end, params.stepMhz = step, params.delayMs = delay;
        RunProbableFrequencyScan(tuner, clock, params, host);
    }
    Texts CallsFrom(const std::string& prefix) const {
        Texts calls = tuner.timedCallTexts();
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].find(prefix) != std::string::npos) return {calls.begin() + i, calls.end()};
        return {};
    }
    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    ProbableFrequencyScanParams params;
    RecordingSweepHost host;
};

TEST_F(SweepEngineTest, OneStepRunsTheWholeSequenceWithItsWaits) {
    params.symbolRateKsps = 7500;
    Run(10700, 10700, 5, 200);
    EXPECT_EQ(
        tuner.timedCallTexts(),
        (Texts{"0 TunerSetSymbolRate(7500)", "0 TunerCommit(1)", "500 TunerSetLnbSelection(0)",
               "500 TunerSetLnbFrequency(9750)", "500 TunerSetFrequency(10700)",
               "500 TunerCommit(1)", "620 TunerRefreshStatus()", "620 TunerGetSnr",
               "640 TunerRefreshStatus()", "640 TunerGetSnr", "660 TunerRefreshStatus()",
               "660 TunerGetSnr", "680 TunerRefreshStatus()", "680 TunerGetSnr",
               "700 TunerRefreshStatus()", "700 TunerGetSnr"}));
    EXPECT_EQ(host.progress, (std::vector<int>{0, 100}));
    EXPECT_TRUE(host.hits.empty());
}

TEST_F(SweepEngineTest, StepsEndExactlyAtTheEndAndFollowTheBandRule) {
    host.lnb = {"9750", "10710", "10600", tone::k33kHz};
    Run(10700, 10712, 5, 750);
    EXPECT_EQ(tuner.countOf("TunerGetSnr"), 4 * 33) << "(750 - 100) / 20 rounded up";
    Texts tuning;
    for (const std::string& call : tuner.callTexts())
        if (call.rfind("TunerSetLnb", 0) == 0 || call.rfind("TunerSetFrequency", 0) == 0)
            tuning.push_back(call);
    EXPECT_EQ(tuning, (Texts{"TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)",
                             "TunerSetFrequency(10700)", "TunerSetLnbSelection(0)",
                             "TunerSetLnbFrequency(9750)", "TunerSetFrequency(10705)",
                             "TunerSetLnbSelection(2)", "TunerSetLnbFrequency(10600)",
                             "TunerSetFrequency(10710)", "TunerSetLnbSelection(2)",
                             "TunerSetLnbFrequency(10600)", "TunerSetFrequency(10712)"}));
    // 10700 -> 0, 10705 -> 500/12, 10710 -> 1000/12, 10712 -> 100
    EXPECT_EQ(host.progress, (std::vector<int>{0, 41, 83, 100}));
}

TEST_F(SweepEngineTest, TheLnbFieldsAreReadAtEveryStep) {
    host.beforeLnb = [this](int request) {
        if (request == 2) host.lnb.lofLow = "9100";
        if (request == 3) host.lnb.lofSwitch = "11 700";
    };
    EXPECT_THROW(Run(10700, 10750, 5, 200), ConversionError);
    EXPECT_EQ(tuner.countOf("TunerSetLnbFrequency(9750)"), 1);
    EXPECT_EQ(tuner.countOf("TunerSetLnbFrequency(9100)"), 1);
    EXPECT_EQ(tuner.callTexts().back(), "TunerGetSnr")
        << "the step that cannot convert its LNB fields makes no call";
}

TEST_F(SweepEngineTest, AReadingRoundingTo36IsNoHitAndAHitEndsItsStepEarly) {
    // 3.64 rounds to 3.6 (no hit); at 10705 the third reading rounds to 3.7.
    int readingsAt10705 = 0;
    tuner.Script(Reading::Snr, [&](const TunerState& s, int64_t) {
        return s.frequency == 10700 ? 3.64 : (++readingsAt10705 == 3 ? 3.65 : 0);
    });
    tuner.Script(Reading::Frequency, [](const TunerState& s, int64_t) { return s.frequency + 2; });
    tuner.Script(Reading::Quality, [](const TunerState&, int64_t) { return 71; });
    Run(10700, 10705, 5, 200);
    EXPECT_EQ(
        CallsFrom("TunerSetFrequency(10705)"),
        (Texts{"700 TunerSetFrequency(10705)", "700 TunerCommit(1)", "820 TunerRefreshStatus()",
               "820 TunerGetSnr", "840 TunerRefreshStatus()", "840 TunerGetSnr",
               "860 TunerRefreshStatus()", "860 TunerGetSnr", "860 TunerRefreshStatus()",
               "860 TunerGetFrequency", "860 TunerGetSignalQuality"}));
    EXPECT_EQ(host.log, Texts{"Freq = 10707  Signal = 71  SNR = 3.7"});
    EXPECT_EQ(host.hits, std::vector<int64_t>{10707}) << "the reported frequency, not the tuned";
    EXPECT_EQ(host.readings, (std::vector<std::pair<int32_t, double>>{{10700, 3.6}, {10705, 3.7}}))
        << "one per step, at the tuned frequency: the highest rounded SNR up to the hit";
}

struct MergeCase {
    std::vector<int64_t> hits, merged;
};

class MergeHitsTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeHitsTest, ClustersCloserThan20MhzBecomeTheirMiddle) {
    EXPECT_EQ(MergeHits(GetParam().hits), GetParam().merged);
}

INSTANTIATE_TEST_SUITE_P(
    Hits, MergeHitsTest,
    ::testing::Values(MergeCase{{10714, 10719, 10724, 10744}, {10719, 10744}},
                      MergeCase{{10700, 10719}, {10709}}, MergeCase{{10700, 10720}, {10700, 10720}},
                      MergeCase{{12345}, {12345}}, MergeCase{{}, {}},
                      // the gap is measured from the previous hit, so a chain keeps growing
                      MergeCase{{10700, 10719, 10738, 10757}, {10728}}));

}  // namespace
}  // namespace quillox::test
