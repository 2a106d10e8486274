// The symbol-rate finder engine: order and timing of the tries, the waits, the fine modes'
// steps, dwells and limits, and the bounded wait at the centre.
#include "scan/symbol_rate_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "support/recording_scan_host.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;
using Rates = std::vector<int>;

class FinderEngineTest : public ::testing::Test {
protected:
    // A carrier that locks within `tolerance` of `ksps` and then reports `reported`.
    void Carrier(int32_t ksps, int32_t tolerance, int32_t reported, double snr = 6.1) {
        const auto locks = [=](const TunerState& s) {
            return std::abs(s.symbolRate - ksps) <= tolerance;
        };
        tuner.Script(Reading::Quality, [=, fade = fadeMs](const TunerState& s, int64_t t) {
            return locks(s) && t < fade ? 70 : 0;
        });
        tuner.Script(Reading::Snr,
                     [=](const TunerState& s, int64_t) { return locks(s) ? snr : 0.0; });
        tuner.Script(Reading::SymbolRate, [=](const TunerState& s, int64_t) {
            return locks(s) ? reported : s.symbolRate;
        });
        tuner.Script(Reading::Frequency, [](const TunerState&, int64_t) { return 10744; });
    }
    SymbolRateFinderResult Run(int32_t start, int32_t end, FineTuning mode, int32_t step = 20) {
        params.startKsps = start, params.endKsps = end, params.stepKsps = step, params.mode = mode;
        return RunSymbolRateFinder(tuner, clock, params, host);
    }
    Rates RatesSet(size_t from = 0) const {
        Rates rates;
        for (const std::string& call : tuner.callTexts())
            if (call.rfind("TunerSetSymbolRate(", 0) == 0)
                rates.push_back(std::stoi(call.substr(19)));
        return Rates(rates.begin() + std::min(from, rates.size()), rates.end());
    }

    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    SymbolRateFinderParams params;
    RecordingFinderHost host;
    int64_t fadeMs = INT64_MAX;
};

TEST_F(FinderEngineTest, CoarseSearchStepsToExactlyTheEndAndReportsNothingWithoutSignal) {
    const SymbolRateFinderResult result = Run(1, 45000, FineTuning::Normal);
    const Rates rates = RatesSet();
    ASSERT_EQ(rates.size(), 2251u);
    EXPECT_EQ(Rates(rates.begin(), rates.begin() + 3), (Rates{1, 21, 41}));
    EXPECT_EQ(Rates(rates.end() - 2, rates.end()), (Rates{44981, 45000}));
    EXPECT_EQ(tuner.timeOfCall("TunerSetSymbolRate(45000)"), 2250 * 300) << "dwell only";
    EXPECT_EQ(host.thresholdRequests, 2251) << "the threshold is read at every try";
    EXPECT_FALSE(result.found);
    EXPECT_TRUE(host.log.empty()) << "no fine search";
    EXPECT_EQ(host.progress.back(), 95);
}

TEST_F(FinderEngineTest, ATryWithSignalWaitsSettleDwellAndExtraDwellThenEnds) {
    Carrier(27500, 30, 27502);
    const SymbolRateFinderResult result = Run(27500, 27500, FineTuning::None);
    EXPECT_EQ(tuner.timedCallTexts(),
              (Texts{"0 TunerSetSymbolRate(27500)", "0 TunerCommit(1)", "0 TunerRefreshStatus()",
                     "0 TunerGetSignalQuality", "550 TunerRefreshStatus()", "550 TunerGetSnr",
                     "2550 TunerRefreshStatus()", "2550 TunerGetFrequency",
                     "2550 TunerGetSymbolRate", "2550 TunerGetSignalQuality"}));
    EXPECT_EQ(host.log, Texts{"Freq = 10744 Symb = 27502  Signal = 70  SNR = 6.1"});
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.ksps, 27502);
    EXPECT_EQ(host.progress, std::vector<int>{100});
}

struct WaitCase {
    int32_t ksps, thresholdCode;
    double snr;
    int64_t settleMs, extraMs;
};

class FinderWaitTest : public FinderEngineTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(FinderWaitTest, SettleDependsOnTheRateAndExtraDwellOnTheSnrAboveTheThreshold) {
    const WaitCase& c = GetParam();
    Carrier(c.ksps, 0, c.ksps, c.snr);
    host.thresholdCode = c.thresholdCode;
    Run(c.ksps, c.ksps, FineTuning::None);
    EXPECT_EQ(tuner.timeOfCall("TunerGetSnr"), c.settleMs + 300);
    EXPECT_EQ(tuner.timeOfCall("TunerGetFrequency"), c.settleMs + 300 + c.extraMs);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FinderWaitTest,
    ::testing::Values(WaitCase{1, 39, 6.0, 4500, 0}, WaitCase{10, 39, 6.04, 4500, 0},
                      WaitCase{11, 39, 6.05, 1000, 2000}, WaitCase{20, 23, 3.6, 1000, 0},
                      WaitCase{21, 23, 3.65, 250, 2000}, WaitCase{45000, 7, 0.05, 250, 2000},
                      WaitCase{45000, 7, 0.0, 250, 0}));

struct NormalCase {
    int32_t step, centre, fineStep, dwellMs;
};

class NormalStepTest : public FinderEngineTest, public ::testing::WithParamInterface<NormalCase> {};

TEST_P(NormalStepTest, WalksUpThenDownInFineStepsWithTheLargerDwellDoubledForSlowRates) {
    const NormalCase& c = GetParam();
    Carrier(c.centre, 0, c.centre);
    const SymbolRateFinderResult result = Run(c.centre, c.centre, FineTuning::Normal, c.step);
    const int m = c.centre, d = c.fineStep;
    EXPECT_EQ(RatesSet(1), (Rates{m, m + d, m, m, m - d, m}));
    EXPECT_EQ(tuner.timeOfCall("TunerSetSymbolRate", 4) - tuner.timeOfCall("TunerSetSymbolRate", 3),
              c.dwellMs);
    EXPECT_EQ(result.ksps, m);
    EXPECT_EQ(host.log[1], "//-------------------");
    EXPECT_EQ(host.log[2], std::to_string(m) + " 70");
    EXPECT_EQ(host.progress, (std::vector<int>{95, 96, 98}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormalStepTest,
    ::testing::Values(NormalCase{20, 27500, 4, 2000}, NormalCase{15, 27500, 4, 2000},
                      NormalCase{10, 27500, 2, 2000}, NormalCase{5, 27500, 2, 2000},
                      NormalCase{3, 27500, 1, 2000}, NormalCase{20, 9000, 4, 4000},
                      NormalCase{20, 10000, 4, 4000}, NormalCase{20, 10001, 4, 2000}));

TEST_F(FinderEngineTest, NormalLimitsItsTableTo1And45000AndWeighsTheRatesItSets) {
    Carrier(100, 300, 100);  // signal over the whole table: both walks reach its ends
    EXPECT_EQ(Run(1, 45000, FineTuning::Normal).ksps, 121);  // (36 x 1 + 4 + 8 + ... + 340) / 121
    Rates walks = RatesSet(1);
    EXPECT_EQ(walks.size(), 61u + 1 + 61 + 1);
    EXPECT_EQ(*std::min_element(walks.begin(), walks.end()), 1);
    EXPECT_EQ(Rates(walks.end() - 3, walks.end()), (Rates{1, 1, 121}));

    tuner.clearCalls();
    Carrier(44990, 300, 44990);
    EXPECT_EQ(Run(44990, 44990, FineTuning::Normal).ksps, 44934);
    walks = RatesSet(1);
    EXPECT_EQ(Rates(walks.begin() + 1, walks.begin() + 5), (Rates{44994, 44998, 45000, 45000}));
}

struct BestCase {
    int32_t step, coarse, first, second, last, tries;
};

class BestRangeTest : public FinderEngineTest, public ::testing::WithParamInterface<BestCase> {};

TEST_P(BestRangeTest, TriesWithin65OfTheCoarseResultLimitedTo1And45000) {
    const BestCase& c = GetParam();
    Carrier(c.coarse, 30, c.coarse);
    EXPECT_EQ(Run(c.coarse - 20, c.coarse, FineTuning::Best, c.step).ksps, c.coarse);
    const Rates tried = RatesSet(1);  // after the one coarse try
    ASSERT_EQ(tried.size(), c.tries + 1u);
    EXPECT_EQ((Rates{tried[0], tried[1], tried[c.tries - 1], tried[c.tries]}),
              (Rates{c.first, c.second, c.last, c.coarse}));
    EXPECT_EQ(host.log.size(), 1u + 1 + c.tries) << "every BEST try is logged";
    EXPECT_EQ(host.progress.back(), 100);
}

INSTANTIATE_TEST_SUITE_P(Table, BestRangeTest,
                         ::testing::Values(BestCase{20, 40, 1, 6, 105, 22},
                                           BestCase{20, 44990, 44925, 44930, 45000, 16},
                                           BestCase{3, 27500, 27435, 27438, 27565, 45}));

TEST_F(FinderEngineTest, NormalKeepsTheCoarseResultWhenTheSignalDoesNotReturnAtTheCentre) {
    fadeMs = 10000;  // gone during the last step of the upward walk
    Carrier(27500, 10, 27500);
    const SymbolRateFinderResult result = Run(27500, 27500, FineTuning::Normal);
    EXPECT_EQ(RatesSet(), (Rates{27500, 27500, 27504, 27508, 27512, 27500, 27500}));
    EXPECT_EQ(tuner.timeOfCall("TunerSetSymbolRate", 7) - tuner.timeOfCall("TunerSetSymbolRate", 6),
              50 + 10000);
    EXPECT_TRUE(result.centreLost);
    EXPECT_EQ(result.ksps, 27500);
    EXPECT_EQ(host.log.back(),
              "No signal at 27500 within 10000 ms: the coarse result 27500 stands");
}

}  // namespace
}  // namespace quillox::test
