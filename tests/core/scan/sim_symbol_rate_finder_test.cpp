// The symbol-rate finder on the shipped satellites in virtual time: both fine modes must give
// every DVB-S carrier of 1000 kS/s or more its own rate, as on a real card.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "base/tuning_code_values.h"
#include "device/sim/simulated_dish.h"
#include "files/transponder_line.h"
#include "satellites/scenario_loading.h"
#include "scan/symbol_rate_finder.h"
#include "support/recording_scan_host.h"

namespace quillox::test {
namespace {

class FinderOnShippedSatellites : public testing::TestWithParam<const char*> {};

TEST_P(FinderOnShippedSatellites, FineModesGiveEachDvbSCarrierItsRateWithinTwoPerMille) {
    const auto loaded =
        satellites::LoadScenarioFile(std::string(QUILLOX_DATA_DIR) + "/satellites/" + GetParam());
    ASSERT_TRUE(loaded.scenario) << loaded.error;
    for (FineTuning mode : {FineTuning::Normal, FineTuning::Best}) {
        double worst = 0, seconds = 0, searches = 0;
        for (const satellites::Carrier& c : loaded.scenario->carriers) {
            if (c.system != satellites::DvbSystem::DvbS || c.symbolRateKsps < 1000) continue;
            VirtualClock clock;
            sim::SimulatedDish dish(*loaded.scenario, clock, 7);
            const LnbSettings lnb =
                c.freqMhz < 5000 ? LnbSettings{"5150", "0", "5150", tone::kNone} : LnbSettings{};
            TuneToFrequency(dish, lnb, static_cast<int32_t>(std::lround(c.freqMhz)));
            dish.TunerSetPolarity(c.polarity);  // then as the transponder Apply stages them
            dish.TunerSetSymbolRate(1);
            dish.TunerCommit(1);
            RecordingFinderHost host;
            SymbolRateFinderParams params;
            params.mode = mode;
            const SymbolRateFinderResult result = RunSymbolRateFinder(dish, clock, params, host);
            const double error = std::abs(result.ksps - c.symbolRateKsps) / c.symbolRateKsps;
            EXPECT_TRUE(result.found && error <= 0.002)
                << c.freqMhz << PolarityLetter(c.polarity) << " " << c.symbolRateKsps
                << " kS/s gave " << result.ksps << (mode == FineTuning::Best ? " (BEST)" : "");
            worst = std::max(worst, error);
            seconds += clock.MonotonicMs() / 1000.0, ++searches;
        }
        std::printf("%s %s: %.0f carriers, worst error %.3f %%, %.0f s scan time per search\n",
                    GetParam(), mode == FineTuning::Best ? "BEST" : "NORMAL", searches, 100 * worst,
                    seconds / searches);
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedSatellites, FinderOnShippedSatellites,
                         testing::Values("0192E.csv", "0130E.csv", "0282E.csv", "0400E.csv"));

}  // namespace
}  // namespace quillox::test
