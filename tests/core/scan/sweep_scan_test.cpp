// The second method's engines: the sweep (passes, stepping, polls, gauge, detection rule) and
// the confirmation (walks, weights, dwell, resume value, bounded wait at the centre).
#include "scan/sweep_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "support/recording_scan_host.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

class RateSearchSweepTest : public ::testing::Test {
protected:
    void Run(int32_t start, int32_t end, int32_t step, bool vertical, bool horizontal) {
        params.startMhz = start, params.endMhz = end, params.stepMhz = step;
        params.vertical = vertical, params.horizontal = horizontal;
        RunSweepScan(tuner, clock, params, host);
    }
    // "V11000 11005 ..." from the polarity and frequency stagings.
    std::string Tunings() const {
        std::string out;
        for (const std::string& call : tuner.callTexts()) {
            if (call.rfind("TunerSetPolarity(", 0) == 0) out += call[17] == '1' ? " V" : " H";
            if (call.rfind("TunerSetFrequency(", 0) == 0) out += call.substr(18, 5) + " ";
        }
        return out;
    }
    int64_t Between(const std::string& from, const std::string& to, int nth = 1) const {
        return tuner.timeOfCall(to, nth) - tuner.timeOfCall(from);
    }

    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    SweepScanParams params;
    RecordingSweepScanHost host;
    ConfirmationParams confirmation;
};

TEST_F(RateSearchSweepTest, PassesStepToEndExactlyPollTheDwellAndShareTheGauge) {
    params.dwellMs = 200;  // 5 polls
    Run(11000, 11010, 5, true, true);
    EXPECT_EQ(Tunings(), " V11000 11005 11010  H11000 11005 11010 ");
    EXPECT_EQ(host.progress, (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(tuner.callTexts()[1], "TunerSetSymbolRate(0)");
    EXPECT_EQ(tuner.timeOfCall("TunerSetPolarity(1)"), 1000);
    EXPECT_EQ(tuner.timeOfCall("TunerRefreshStatus"), 1120) << "100 ms settle, then a 20 ms poll";
    EXPECT_EQ(tuner.timeOfCall("TunerSetFrequency(11005)"), 1200);
    EXPECT_EQ(host.log[1], "--> Freq = 11005");

    tuner.clearCalls(), host.progress.clear();
    Run(10700, 10712, 5, true, false);
    EXPECT_EQ(Tunings(), " V10700 10705 10710 10712 ");
    EXPECT_EQ(host.progress, (std::vector<int>{0, 41, 83, 100}));
    for (auto [dwell, polls] : {std::pair{200, 5}, {210, 6}, {750, 33}}) {
        tuner.clearCalls(), params.dwellMs = dwell;
        Run(11000, 11000, 5, true, false);
        EXPECT_EQ(tuner.countOf("TunerGetSignalQuality"), polls) << "dwell " << dwell;
    }
}

TEST_F(RateSearchSweepTest, DetectsASignalWithARateInRangeBothEndsIncluded) {
    for (auto [min, max, quality, ksps, found] : {std::tuple{0, 45000, 1., 0., 1u},
                                                  {0, 45000, 0., 27500., 0u},
                                                  {0, 45000, 1., 45001., 0u},
                                                  {4000, 35000, 50., 3999., 0u},
                                                  {4000, 35000, 50., 4000., 1u},
                                                  {4000, 35000, 50., 35000., 1u},
                                                  {4000, 35000, 50., 35001., 0u}}) {
        host.found.clear();
        params.minKsps = min, params.maxKsps = max;
        tuner.ScriptSequence(Reading::Quality, {quality});
        tuner.ScriptSequence(Reading::SymbolRate, {ksps});
        Run(11000, 11000, 5, true, false);
        EXPECT_EQ(host.found.size(), found) << min << ".." << max << ": " << ksps;
    }
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "Freq = 11000  Signal = 50"), 2);
}

TEST_F(RateSearchSweepTest, WorkedExampleCentresOnTheTruncatedWeightedMeanAndResumesAbove) {
    const std::map<int32_t, double> quality{{11738, 70}, {11740, 60}, {11742, 80}, {11744, 50}};
    tuner.Script(Reading::Quality, [quality](const TunerState& s, int64_t) {
        return quality.count(s.frequency) ? quality.at(s.frequency) : 0.0;
    });
    tuner.Script(Reading::Frequency, [](const TunerState& s, int64_t) { return s.frequency; });
    host.fineTuning = true;
    Run(11740, 11760, 5, false, true);
    // sweep, centre, down, centre, up, weighted centre 3052620 / 260, sweep on from 11749
    EXPECT_EQ(Tunings(),
              " H11740 11740 11740 11738 11736 11740 11740 11742 11744 11746 11740 "
              "11754 11759 11760 ");
    ASSERT_EQ(host.found.size(), 1u);
    EXPECT_EQ(host.found[0].mhz, 11740);
    using Step = std::array<int32_t, 3>;  // one reading per swept step, none while centring
    EXPECT_EQ(host.readings,
              (std::vector<Step>{{0, 11740, 60}, {0, 11754, 0}, {0, 11759, 0}, {0, 11760, 0}}));
    EXPECT_EQ(Between("TunerSetFrequency(11738)", "TunerSetFrequency(11736)"), 2500);
    EXPECT_EQ(host.log[2], "//-----------------");
    EXPECT_EQ(ConfirmationDwellMs(1001, 0), 2502) << "2.5 times the sweep's dwell, truncated";
}

TEST_F(RateSearchSweepTest, ALockOverTheWholeTableWalks31EachWayAndResumes58Above) {
    tuner.ScriptSequence(Reading::Quality, {50});
    confirmation.dwellMs = 200;
    EXPECT_EQ(ConfirmTransponder(tuner, clock, confirmation, host, 11000), 11000 + 58 + 10 - 5);
    EXPECT_EQ(tuner.countOf("TunerSetFrequency"), 65) << "centre, 31 down, centre, 31 up, e";
    EXPECT_EQ(tuner.countOf("TunerSetFrequency(10940)") + tuner.countOf("TunerSetFrequency(11060)"),
              2);
    EXPECT_EQ(Between("TunerSetFrequency(10998)", "TunerGetFrequency", 3), 200) << "60 + 140 ms";
}

TEST_F(RateSearchSweepTest, NoLockAtTheWeightedCentreRecordsNothingButStillResumesAbove) {
    int reads = 0;  // the lock holds through both walks (251 readings), then is lost
    tuner.Script(Reading::Quality,
                 [&](const TunerState&, int64_t) { return ++reads <= 251 ? 50 : 0; });
    confirmation.dwellMs = 200;
    EXPECT_EQ(ConfirmTransponder(tuner, clock, confirmation, host, 11000), 11000 + 58 + 10 - 5);
    EXPECT_TRUE(host.found.empty());
    EXPECT_EQ(host.log.back(), "No lock at 11000 after 200 ms: nothing recorded");
}

TEST_F(RateSearchSweepTest, ASignalThatDoesNotReturnToTheCentreIsDroppedAfterTheLimit) {
    // the first wait fails; or the walk down ends at once and the second wait fails
    for (auto [qualities, elapsedMs] :
         {std::pair{std::vector<double>{60, 0}, 10050},
          std::pair{std::vector<double>{60, 50, 9, 9, 9, 0, 0}, 100 + 2500 + 10050}}) {
        tuner.ScriptSequence(Reading::Quality, qualities);
        const int64_t before = clock.MonotonicMs();
        EXPECT_EQ(ConfirmTransponder(tuner, clock, confirmation, host, 11000), 11000);
        EXPECT_EQ(clock.MonotonicMs() - before, elapsedMs);
        EXPECT_TRUE(host.found.empty());
        EXPECT_EQ(host.log.back(), "No signal at 11000 within 10000 ms: nothing recorded");
    }
}

TEST_F(RateSearchSweepTest, ADetectionAtTheEndThatResumesBelowItEndsThePass) {
    // locked from 11008 to 11012: resuming at 11002 below the end must not come back to it
    tuner.Script(Reading::Quality, [](const TunerState& s, int64_t) {
        return s.frequency >= 11008 && s.frequency <= 11012 ? 50 : 0;
    });
    host.fineTuning = true;
    params.customDelayMs = 200;
    Run(10990, 11010, 20, true, false);
    EXPECT_EQ(host.found.size(), 1u);
}

}  // namespace
}  // namespace quillox::test
