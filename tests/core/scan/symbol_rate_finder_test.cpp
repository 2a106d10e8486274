// The symbol-rate finder engine: order and timing of the tries, the waits, the fine modes'
// steps, dwells and limits, and the bounded wait at the centre.
#include "scan/symbol_rate_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "support/recording_scan_host.h"
#include "support/scripted_tuner.h"

namespace quillox::test {
namespace {

using Rates = std::vector<int>;

// A carrier that locks within `tolerance` of `ksps`, then reports `reported`, until `fadeMs`.
struct Finder {
    Finder(int ksps, int tolerance, int reported, double snr = 6.1, int64_t fadeMs = INT64_MAX) {
        const auto at = [=](const TunerState& s) {
            return std::abs(s.symbolRate - ksps) <= tolerance;
        };
        tuner.Script(Reading::Quality,
                     [=](const TunerState& s, int64_t t) { return at(s) && t < fadeMs ? 70 : 0; });
        tuner.Script(Reading::Snr, [=](const TunerState& s, int64_t) { return at(s) ? snr : 0.0; });
        tuner.Script(Reading::SymbolRate,
                     [=](const TunerState& s, int64_t) { return at(s) ? reported : 0; });
    }
    SymbolRateFinderResult Run(int32_t start, int32_t end, FineTuning mode, int32_t step = 20) {
        params.startKsps = start, params.endKsps = end, params.stepKsps = step, params.mode = mode;
        return RunSymbolRateFinder(tuner, clock, params, host);
    }
    Rates RatesSet(size_t from = 0) const {  // from the from-th TunerSetSymbolRate on
        Rates rates;
        for (const std::string& call : tuner.callTexts())
            if (call.rfind("TunerSetSymbolRate(", 0) == 0)
                rates.push_back(std::stoi(call.substr(19)));
        return Rates(rates.begin() + from, rates.end());
    }
    int64_t Gap(int from, int to) const {  // ms between two TunerSetSymbolRate calls (1-based)
        return tuner.timeOfCall("TunerSetSymbolRate", to) -
               tuner.timeOfCall("TunerSetSymbolRate", from);
    }
    VirtualClock clock;
    ScriptedTuner tuner{&clock};
    SymbolRateFinderParams params;
    RecordingFinderHost host;
};

TEST(SymbolRateFinderTest, CoarseSearchEndsExactlyAtTheEndAndFindsNothingWithoutSignal) {
    Finder f(0, -1, 0);
    EXPECT_FALSE(f.Run(1, 45000, FineTuning::Normal).found);
    const Rates rates = f.RatesSet();
    ASSERT_EQ(rates.size(), 2251u);
    EXPECT_EQ((Rates{rates[0], rates[1], rates[2249], rates[2250]}), (Rates{1, 21, 44981, 45000}));
    EXPECT_EQ(f.tuner.timeOfCall("TunerSetSymbolRate(45000)"), 2250 * 300) << "the dwell only";
    EXPECT_EQ(f.host.thresholdRequests, 2251) << "the threshold is read at every try";
    EXPECT_TRUE(f.host.log.empty());
    EXPECT_EQ(f.host.progress.back(), 95);
}

TEST(SymbolRateFinderTest, SettleTimeDependsOnTheRateAndTheExtraDwellOnTheThreshold) {
    // rate, threshold code, SNR x 100, settle, extra dwell
    const std::array<int, 5> cases[] = {{1, 39, 600, 4500, 0},     {10, 39, 604, 4500, 0},
                                        {11, 39, 605, 1000, 2000}, {20, 23, 360, 1000, 0},
                                        {21, 23, 365, 250, 2000},  {45000, 7, 5, 250, 2000},
                                        {45000, 7, 0, 250, 0}};
    for (auto [ksps, code, snr, settle, extra] : cases) {
        Finder f(ksps, 0, ksps, snr / 100.0);
        f.host.thresholdCode = code;
        EXPECT_EQ(f.Run(ksps, ksps, FineTuning::None).ksps, ksps);
        EXPECT_EQ(f.tuner.timeOfCall("TunerGetSnr"), settle + 300) << ksps;
        EXPECT_EQ(f.tuner.timeOfCall("TunerGetFrequency"), settle + 300 + extra) << snr;
    }
}

TEST(SymbolRateFinderTest, NormalWalksUpThenDownInFineStepsWithTheLargerDwellDoubledForSlowRates) {
    // search step, coarse result m, fine step d, dwell of a walk step
    const std::array<int, 4> cases[] = {
        {20, 27500, 4, 2000}, {15, 27500, 4, 2000}, {10, 27500, 2, 2000}, {5, 27500, 2, 2000},
        {3, 27500, 1, 2000},  {20, 9000, 4, 4000},  {20, 10000, 4, 4000}, {20, 10001, 4, 2000}};
    for (auto [step, m, d, dwell] : cases) {
        Finder f(m, 0, m);
        EXPECT_EQ(f.Run(m, m, FineTuning::Normal, step).ksps, m);
        // coarse try, upward walk, centre, downward walk, result
        EXPECT_EQ(f.RatesSet(), (Rates{m, m, m + d, m, m, m - d, m})) << step;
        EXPECT_EQ(f.Gap(3, 4), dwell);
        EXPECT_EQ(f.host.progress, (std::vector<int>{95, 96, 98}));
    }
}

TEST(SymbolRateFinderTest, NormalLimitsItsTableTo1And45000AndWeighsTheRatesItSets) {
    Finder low(100, 300, 100);  // a signal over the whole table: both walks reach its ends
    // (36 x 1 + 4 + 8 + ... + 340) / 121: entries below 1 are tried, and weighed, as 1
    EXPECT_EQ(low.Run(1, 45000, FineTuning::Normal).ksps, 121);
    const Rates walks = low.RatesSet(1);
    EXPECT_EQ(walks.size(), 61u + 1 + 61 + 1);
    EXPECT_EQ(*std::min_element(walks.begin(), walks.end()), 1);
    Finder high(44990, 300, 44990);
    EXPECT_EQ(high.Run(44990, 44990, FineTuning::Normal).ksps, 44934);
    const Rates up = high.RatesSet(2);
    EXPECT_EQ(Rates(up.begin(), up.begin() + 4), (Rates{44994, 44998, 45000, 45000}));
}

TEST(SymbolRateFinderTest, BestTriesWithin65OfTheCoarseResultLimitedTo1And45000) {
    // search step, coarse result, its first, second and last tries, number of tries
    const std::array<int, 6> cases[] = {{20, 40, 1, 6, 105, 22},
                                        {20, 44990, 44925, 44930, 45000, 16},
                                        {3, 27500, 27435, 27438, 27565, 45}};
    for (auto [step, m, first, second, last, tries] : cases) {
        Finder f(m, 30, m);
        EXPECT_EQ(f.Run(m - 20, m, FineTuning::Best, step).ksps, m);
        const Rates tried = f.RatesSet(1);  // after the one coarse try, and the result at the end
        ASSERT_EQ(tried.size(), tries + 1u);
        EXPECT_EQ((Rates{tried[0], tried[1], tried[tries - 1], tried[tries]}),
                  (Rates{first, second, last, m}));
        EXPECT_EQ(f.host.log.size(), 2u + tries) << "every try of BEST is logged";
    }
}

TEST(SymbolRateFinderTest, NormalKeepsTheCoarseResultWhenTheSignalDoesNotReturnAtTheCentre) {
    Finder f(27500, 10, 27500, 6.1, 10000);  // gone during the upward walk's last step
    const SymbolRateFinderResult result = f.Run(27500, 27500, FineTuning::Normal);
    EXPECT_EQ(f.RatesSet(), (Rates{27500, 27500, 27504, 27508, 27512, 27500, 27500}));
    EXPECT_EQ(f.Gap(6, 7), 50 + 10000);
    EXPECT_TRUE(result.centreLost && result.ksps == 27500);
    EXPECT_EQ(f.host.log.front(), "Freq = 0 Symb = 27500  Signal = 70  SNR = 6.1");
    EXPECT_EQ(f.host.log.back(),
              "No signal at 27500 within 10000 ms: the coarse result 27500 stands");
}

}  // namespace
}  // namespace quillox::test
