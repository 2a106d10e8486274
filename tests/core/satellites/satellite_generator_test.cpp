// Generated satellites: determinism, the plan's rules over many seeds, and the table text read
// back through the reader.
#include "satellites/satellite_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "base/tuning_code_values.h"
#include "satellites/scenario_loading.h"

namespace quillox::satellites {
namespace {

bool SamePlan(const Scenario& a, const Scenario& b) {
    return a.carriers.size() == b.carriers.size() &&
           std::equal(a.carriers.begin(), a.carriers.end(), b.carriers.begin(),
                      [](const Carrier& x, const Carrier& y) {
                          return x.freqMhz == y.freqMhz && x.polarity == y.polarity &&
                                 x.symbolRateKsps == y.symbolRateKsps && x.system == y.system &&
                                 x.fecText == y.fecText && x.modulation == y.modulation;
                      });
}

TEST(GeneratedSatellite, TheSeedAloneDecidesThePlan) {
    EXPECT_TRUE(SamePlan(GenerateSatellite(7), GenerateSatellite(7)));
    EXPECT_FALSE(SamePlan(GenerateSatellite(7), GenerateSatellite(8)));
    EXPECT_EQ(GenerateSatellite(7).name, "Generated 7");
}

TEST(GeneratedSatellite, KeepsThePlanRulesForManySeeds) {
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        const Scenario s = GenerateSatellite(seed);
        ASSERT_GE(s.carriers.size(), 40u) << seed;
        std::map<int32_t, std::vector<const Carrier*>> byPolarity;
        size_t s2 = 0, narrow = 0;
        for (const Carrier& c : s.carriers) {
            const double half = 1.35 * c.symbolRateKsps / 2000.0;
            EXPECT_GE(c.freqMhz - half, 10700.0) << seed << " " << c.freqMhz;
            EXPECT_LE(c.freqMhz + half, 12750.0) << seed << " " << c.freqMhz;
            EXPECT_GE(c.symbolRateKsps, 1000.0) << seed;
            EXPECT_LE(c.symbolRateKsps, 45000.0) << seed;
            // The tables' own rule: a known threshold, the ratio 3..5 dB above it.
            EXPECT_NEAR(c.cnDb - c.requiredCnDb, 4.0, 1.0) << seed << " " << c.freqMhz;
            s2 += c.system == DvbSystem::DvbS2;
            narrow += c.symbolRateKsps < 15500;
            byPolarity[c.polarity].push_back(&c);
        }
        EXPECT_EQ(byPolarity.size(), 2u) << seed;
        EXPECT_GT(narrow, 0u) << seed;  // some crowded stretch
        for (auto& [pol, list] : byPolarity) {
            std::sort(list.begin(), list.end(),
                      [](auto* a, auto* b) { return a->freqMhz < b->freqMhz; });
            for (size_t i = 1; i < list.size(); ++i) {
                const double gap = list[i]->freqMhz - list[i - 1]->freqMhz;
                EXPECT_GE(gap + 1e-9,
                          1.35 * (list[i]->symbolRateKsps + list[i - 1]->symbolRateKsps) / 2000.0)
                    << seed << " " << list[i]->freqMhz;
            }
        }
        const double share = static_cast<double>(s2) / static_cast<double>(s.carriers.size());
        EXPECT_GE(share, 0.30) << seed;
        EXPECT_LE(share, 0.60) << seed;
    }
}

TEST(GeneratedSatellite, ItsTableTextReadsBackToTheSameCarriers) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        const Scenario s = GenerateSatellite(seed);
        const ScenarioLoadResult r = ParseScenarioText(SatelliteTableText(s), "gen.csv");
        ASSERT_TRUE(r.scenario) << r.error;
        EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
        EXPECT_EQ(r.scenario->name, s.name);
        EXPECT_TRUE(SamePlan(*r.scenario, s)) << seed;
        for (size_t i = 0; i < s.carriers.size(); ++i)
            EXPECT_EQ(r.scenario->carriers[i].cnDb, s.carriers[i].cnDb) << seed << " " << i;
    }
    // What a generated plan never has: the LNB, the switch port, a ratio of its own, a note.
    Scenario s = GenerateSatellite(4);
    s.lnb = LnbModel::Custom(10750, 11300);
    s.diseqcPort = 3;
    s.carriers[0].cnDb = 12.5;
    s.carriers[1].note = "feed, occasional";
    const ScenarioLoadResult r = ParseScenarioText(SatelliteTableText(s), "gen.csv");
    ASSERT_TRUE(r.scenario) << r.error;
    EXPECT_EQ(r.scenario->lnb->loHighMhz, 11300);
    EXPECT_EQ(r.scenario->diseqcPort, 3);
    EXPECT_EQ(r.scenario->carriers[0].cnDb, 12.5);
    EXPECT_EQ(r.scenario->carriers[1].cnDb, s.carriers[1].cnDb);
    EXPECT_EQ(r.scenario->carriers[1].note, "feed, occasional");
    EXPECT_TRUE(SamePlan(*r.scenario, s));
}

}  // namespace
}  // namespace quillox::satellites
