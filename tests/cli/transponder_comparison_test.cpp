// Comparing a transponder list with the satellite that was scanned.
#include "cli/transponder_comparison.h"

#include <gtest/gtest.h>

#include "base/tuning_code_values.h"

namespace quillox {
namespace {

satellites::Carrier Carrier(double mhz, int32_t pol, double ksps, satellites::DvbSystem system) {
    satellites::Carrier c;
    c.freqMhz = mhz, c.polarity = pol, c.symbolRateKsps = ksps, c.system = system;
    return c;
}

TEST(TransponderComparisonTest, SortsLinesIntoFoundDuplicatesExtraAndMissed) {
    using satellites::DvbSystem;
    const satellites::Scenario satellite{
        "test",
        {Carrier(10744, polarity::kVertical, 22000, DvbSystem::DvbS),    // found twice
         Carrier(10788, polarity::kVertical, 27500, DvbSystem::DvbS),    // missed
         Carrier(10803, polarity::kVertical, 22000, DvbSystem::DvbS2),   // not expected
         Carrier(10847, polarity::kHorizontal, 22000, DvbSystem::DvbS),  // other polarity
         Carrier(12800, polarity::kVertical, 22000, DvbSystem::DvbS)},   // outside the sweep
        {},
        {},
        {}};
    const ComparisonScope scope{{polarity::kVertical}, 10700, 12750};
    const TransponderComparison result =
        CompareWithScenario({"1=10746,V,21998,56", "2=10744,V,22000,56", "3=10847,V,22000,56",
                             "4=10820,V,22000,0", "garbage"},
                            satellite, scope);

    ASSERT_EQ(result.expected.size(), 2u);
    ASSERT_EQ(result.found.size(), 1u);
    EXPECT_EQ(result.found[0].carrier, &satellite.carriers[0]);
    EXPECT_DOUBLE_EQ(result.found[0].freqErrorMhz, 2);
    EXPECT_DOUBLE_EQ(result.found[0].rateErrorKsps, -2);
    ASSERT_EQ(result.duplicates.size(), 1u);
    EXPECT_EQ(result.duplicates[0].line.number, 2);
    // 10847 V: the carrier there is horizontal; 10820 lies between two carriers' bands.
    ASSERT_EQ(result.extra.size(), 2u);
    EXPECT_EQ(result.extra[0].number, 3);
    EXPECT_EQ(result.extra[1].number, 4);
    EXPECT_EQ(result.unreadable, std::vector<std::string>{"garbage"});
    ASSERT_EQ(result.missed.size(), 1u);
    EXPECT_EQ(result.missed[0]->freqMhz, 10788);
}

}  // namespace
}  // namespace quillox
