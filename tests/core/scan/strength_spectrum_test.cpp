// The strength spectrum: the tuning and reading order, the points and gaps, the stop.
#include "scan/strength_spectrum.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/stop_signal.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

struct RecordingSpectrumHost : StrengthSpectrumHost {
    void Progress(int percent) override { progress.push_back(percent); }
    void Point(const StrengthPoint& point) override {
        points.push_back(point);
        if (afterPoint) afterPoint(points.size());
    }
    std::vector<int> progress;
    std::vector<StrengthPoint> points;
    std::function<void(size_t)> afterPoint;
};

class StrengthSpectrumTest : public ::testing::Test {
protected:
    StrengthSpectrumTest() {
        // The level rises with the committed frequency, and with the polarity.
        tuner.Script(Reading::Sigtre,
                     [](const TunerState& s, int64_t) { return s.frequency * 10 + s.polarity; });
        tuner.ScriptSequence(Reading::Snr, {2.5});
    }
    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    StrengthSpectrumParams params;
    RecordingSpectrumHost host;
};

TEST_F(StrengthSpectrumTest, TunesEachStepNarrowlyThenReadsTheLevelOfBothPolarities) {
    params.startMhz = 11699, params.endMhz = 11702, params.stepMhz = 2;
    RunStrengthSpectrum(tuner, clock, params, host);

    const std::vector<std::string> calls = tuner.callTexts();
    const std::vector<std::string> firstStep(calls.begin(), calls.begin() + 10);
    EXPECT_EQ(firstStep, (std::vector<std::string>{
                             "TunerSetPolarity(1)", "TunerSetSymbolRate(1000)", "TunerSetFec(6)",
                             "TunerSetLnbSelection(0)", "TunerSetLnbFrequency(9750)",
                             "TunerSetFrequency(11699)", "TunerCommit(1)", "TunerRefreshStatus()",
                             "TunerGetSigtre", "TunerGetSnr"}));
    EXPECT_EQ(tuner.timeOfCall("TunerRefreshStatus") - tuner.timeOfCall("TunerCommit"), 20);
    // The last step lands on the end; above the switch the high band's LOF and tone.
    EXPECT_EQ(tuner.callTextsFrom("TunerSetFrequency(11702)")[0], "TunerSetFrequency(11702)");
    EXPECT_EQ(tuner.countOf("TunerSetLnbFrequency(10600)"), 4);

    std::vector<std::string> seen;
    for (const StrengthPoint& p : host.points) {
        ASSERT_TRUE(p.level && p.snr);
        EXPECT_EQ(*p.level, p.mhz * 10 + p.polarityCode);
        EXPECT_FLOAT_EQ(*p.snr, 2.5f);
        seen.push_back((p.polarityCode == 1 ? "V" : "H") + std::to_string(p.mhz));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"V11699", "V11701", "V11702", "H11699", "H11701",
                                              "H11702"}));
    EXPECT_EQ(host.progress, (std::vector<int>{0, 16, 33, 50, 66, 83, 100, 100}));
}

TEST_F(StrengthSpectrumTest, ALevelTheDeviceCannotGiveIsAGapAndAStopEndsThePass) {
    params.startMhz = 12000, params.endMhz = 12009, params.horizontal = false;
    tuner.Fail(Reading::Sigtre);
    StopSignal stop;
    SetCurrentStopSignal(&stop);
    host.afterPoint = [&](size_t n) {
        if (n == 3) stop.Request();
    };
    EXPECT_THROW(RunStrengthSpectrum(tuner, clock, params, host), JobStopped);
    SetCurrentStopSignal(nullptr);

    ASSERT_EQ(host.points.size(), 3u);
    EXPECT_FALSE(host.points[0].level) << "a failed reading is no zero";
    EXPECT_TRUE(host.points[0].snr);
    EXPECT_EQ(tuner.callTexts().back(), "TunerCommit(1)") << "no reading after the stop";
    EXPECT_EQ(tuner.countOf("TunerSetFrequency"), 4);
    EXPECT_NE(host.progress.back(), 100);
}

}  // namespace
}  // namespace quillox::test
