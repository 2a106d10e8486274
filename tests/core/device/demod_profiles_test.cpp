// The device layer's shared search and reading rules, which the DVB device and the simulated dish
// both follow.
#include "device/demod_profiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/dvb/driver_quirks.h"
#include "satellites/scenario_loading.h"

namespace quillox {
namespace {

constexpr int64_t kV = 1, kH = 2;  // two LNB paths
constexpr int64_t kIf = 1250000;

TEST(RateSearchOrder, StartsInsideTheLastCarrierThenWithTheRatesSeenOnMostCarriers) {
    RateSearchOrder order(SearchRatesKsps());
    EXPECT_EQ(order.For(kV, kIf),
              std::vector<int32_t>(SearchRatesKsps().begin(), SearchRatesKsps().end()));
    order.Locked(kV, 27500, kIf);
    order.Locked(kV, 22000, kIf + 40000);  // a centring walk locks one carrier again and again
    order.Locked(kV, 22000, kIf + 42000);
    order.Locked(kV, 22000, kIf + 44000);
    EXPECT_EQ(order.KnownRate(kV, kIf + 50000), 22000);  // within half its rate (11 MHz)
    EXPECT_EQ(order.KnownRate(kV, kIf + 56000), 0);
    EXPECT_EQ(order.KnownRate(kH, kIf + 44000), 0);  // another polarisation: another carrier
    EXPECT_EQ(order.For(kV, kIf + 50000).front(), 22000);
    // Away from it: 27500 and 22000 locked one carrier each; the table breaks the tie.
    const std::vector<int32_t> away = order.For(kV, kIf + 90000);
    EXPECT_EQ(std::vector<int32_t>(away.begin(), away.begin() + 3),
              (std::vector<int32_t>{27500, 22000, 30000}));
    EXPECT_EQ(away.size(), SearchRatesKsps().size());
    order.Locked(kH, 22000, kIf);
    EXPECT_EQ(order.For(kV, kIf + 90000).front(), 22000);  // now on two carriers
}

TEST(SnrMedian, TakesTheMiddleOfThreeReadingsOfOneLockState) {
    struct Step {
        float raw;
        bool locked;
        float reported;
    };
    SnrMedian median;
    for (const Step& s : std::vector<Step>{{1.0f, false, 1.0f},
                                           {9.0f, false, 9.0f},  // two: as read
                                           {1.2f, false, 1.2f},  // an outlier between two
                                           {1.1f, false, 1.2f},
                                           {12.0f, true, 12.0f},  // a lock starts afresh
                                           {11.0f, true, 11.0f},
                                           {13.0f, true, 12.0f}}) {
        EXPECT_EQ(median.Push(s.raw, s.locked), s.reported) << s.raw;
    }
    median.Reset();
    EXPECT_EQ(median.Push(3.0f, true), 3.0f);
}

// The driver facts hang together at every rate a family takes: limits, a tolerance, a zig-zag
// only where the core runs one and never stepping past its own drift, a chip reach that leaves no
// gap between zig-zag steps, and a driver without INVERSION_AUTO only where the core's zig-zag
// tries both inversions for it (otherwise the device's INVERSION_AUTO would never tune).
TEST(DriverFacts, HangTogetherForEveryFamilyAtEveryRate) {
    for (DemodFamily family : DriverFamilies()) {
        const DriverFacts& d = DemodProfileOf(family).driver;
        SCOPED_TRACE(d.name);
        ASSERT_NE(d.at, nullptr);
        EXPECT_LT(d.rateMin, d.rateMax);
        EXPECT_GT(d.rateTolerancePpm, 0u);
        EXPECT_NE(d.systems & kSysDvbS, 0);
        EXPECT_TRUE(d.invertsItself || d.acquisition == Acquisition::SoftwareZigzag);
        for (uint32_t rate = d.rateMin; rate <= d.rateMax; rate += 250000) {
            const TuneFacts t = d.at(rate);
            SCOPED_TRACE(rate);
            EXPECT_GT(t.pollMs, 0);
            EXPECT_GT(t.lockMs, 0);
            EXPECT_GE(t.blockingMs, 0);
            EXPECT_GT(t.chipReachKhz, 0u);
            if (d.acquisition != Acquisition::SoftwareZigzag) {
                EXPECT_EQ(t.maxDriftKhz, 0u);
            }
            if (t.maxDriftKhz > 0) {
                EXPECT_GT(t.stepKhz, 0u);
                EXPECT_LE(t.stepKhz, t.maxDriftKhz);
                EXPECT_GE(2 * t.chipReachKhz + 1, t.stepKhz);
            }
        }
    }
}

// A driver's name gives its family, whose lock time stays the common one for the DVB-S2
// families.
TEST(DriverFacts, NamesGiveTheirFamily) {
    const LockTimeouts timeouts;
    for (const char* name : {"STV090x Multistandard", "Conexant CX24116/CX24118"}) {
        const DemodFamily family = dvb::QuirksOf(name).family;
        EXPECT_NE(DemodProfileOf(family).driver.at, nullptr) << name;
        EXPECT_EQ(timeouts.For(family), timeouts.other) << name;
    }
}

// Every card a satellite table may name for its read-back reaches the family of that driver, and
// every family described from its driver can be named.
TEST(FamilyNamed, KnowsEveryCardATableAccepts) {
    std::vector<DemodFamily> named;
    for (std::string_view card : satellites::ReadBackCards()) {
        SCOPED_TRACE(card);
        const satellites::ScenarioLoadResult r = satellites::ParseScenarioText(
            "#! read-back: " + std::string(card) + "\nfreq_mhz,pol,sr_ksps,fec,system\n" +
                "10700,H,27500,3/4,DVB-S\n",
            "card.csv");
        ASSERT_TRUE(r.scenario) << r.error;
        const std::optional<DemodFamily> family = FamilyNamed(r.scenario->sky.card);
        ASSERT_TRUE(family);
        EXPECT_EQ(std::string(DemodProfileOf(*family).driver.name).rfind(card, 0), 0u);
        named.push_back(*family);
    }
    for (DemodFamily family : DriverFamilies())
        EXPECT_NE(std::count(named.begin(), named.end(), family), 0)
            << DemodProfileOf(family).driver.name;
    EXPECT_FALSE(FamilyNamed(""));
    EXPECT_FALSE(FamilyNamed("ideal"));
}

}  // namespace
}  // namespace quillox
