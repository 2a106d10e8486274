// The symbol-rate finder against the shipped satellites in virtual time: both fine modes must
// give every DVB-S carrier its own rate, as on a real card.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "device/sim/scenario.h"
#include "device/sim/simulated_dish.h"
#include "device/tuning_codes.h"
#include "scan/symbol_rate_finder.h"
#include "support/recording_scan_host.h"

namespace quillox::test {
namespace {

class FinderOnShippedSatellites : public testing::TestWithParam<const char*> {};

TEST_P(FinderOnShippedSatellites, FineModesGiveEachDvbSCarrierItsRateWithinTwoPerMille) {
    const sim::ScenarioLoadResult loaded =
        sim::LoadScenarioFile(std::string(QUILLOX_DATA_DIR) + "/satellites/" + GetParam());
    ASSERT_TRUE(loaded.scenario) << loaded.error;
    for (FineTuning mode : {FineTuning::Normal, FineTuning::Best}) {
        double worstPercent = 0;
        int64_t totalMs = 0, longestMs = 0;
        int searches = 0;
        for (const sim::Carrier& c : loaded.scenario->carriers) {
            if (c.system != sim::DvbSystem::DvbS || c.symbolRateKsps < 1000) continue;
            VirtualClock clock;
            sim::SimulatedDish dish(*loaded.scenario, clock, 7);
            const bool cBand = c.freqMhz < 5000;  // what the transponder Apply does
            TuneToFrequency(dish,
                            cBand ? LnbSettings{"5150", "0", "5150", tone::kNone} : LnbSettings{},
                            static_cast<int32_t>(std::lround(c.freqMhz)));
            dish.TunerSetPolarity(c.polarity);
            dish.TunerSetSymbolRate(1);
            dish.TunerSetFec(fec::kAuto);
            dish.TunerCommit(1);
            RecordingFinderHost host;
            SymbolRateFinderParams params;
            params.mode = mode;
            const SymbolRateFinderResult result = RunSymbolRateFinder(dish, clock, params, host);

            const double percent =
                100 * std::abs(result.ksps - c.symbolRateKsps) / c.symbolRateKsps;
            EXPECT_TRUE(result.found && percent <= 0.2)
                << c.freqMhz << " " << PolarityLetter(c.polarity) << " " << c.symbolRateKsps
                << " kS/s gave " << result.ksps << (mode == FineTuning::Best ? " (BEST)" : "");
            worstPercent = std::max(worstPercent, percent);
            totalMs += clock.MonotonicMs();
            longestMs = std::max(longestMs, clock.MonotonicMs());
            ++searches;
        }
        ASSERT_GT(searches, 0);
        std::printf("%s %s: %d searches, worst error %.3f %%, scan time mean %.0f s, max %.0f s\n",
                    GetParam(), mode == FineTuning::Best ? "BEST" : "NORMAL", searches,
                    worstPercent, totalMs / 1000.0 / searches, longestMs / 1000.0);
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedSatellites, FinderOnShippedSatellites,
                         testing::Values("0192E.csv", "0130E.csv", "0282E.csv", "0400E.csv"),
                         [](const auto& info) {
                             return "Sat" + std::string(info.param).substr(0, 5);
                         });

}  // namespace
}  // namespace quillox::test
