// The strength spectrum's reading of carriers: centre, -3 dB width, the rates tried on it.
#include "device/dvb/strength_survey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "device/demod_profiles.h"
#include "device/sim/dish_model.h"

namespace quillox::dvb {
namespace {

struct Placed {
    double ifMhz, ksps, cnDb;
};

// Reads every point a tune at ifMhz asks for, from carriers as the simulated AGC sees them
// through a 1 MS/s filter, until the spectrum has its verdict.
SpectrumVerdict Survey(const std::vector<Placed>& carriers, double ifMhz) {
    SpectrumSurvey survey;
    const double half = sim::FilterHalfWidthMhz(1000);
    const auto ifKhz = static_cast<int64_t>(ifMhz * 1000);
    int32_t reach = survey.plan().firstReachKhz;
    for (;;) {
        const SpectrumVerdict v = survey.Examine(1, ifKhz, reach, 950000, 2150000, 0);
        if (v.kind != SpectrumVerdict::Incomplete) return v;
        for (int64_t point : survey.Missing(1, ifKhz, reach, 950000, 2150000, 0)) {
            double power = 2 * half;
            for (const Placed& c : carriers)
                power += sim::InBandPower(c.cnDb, c.ksps, 0.35, c.ifMhz - point / 1000.0, half);
            survey.Record(1, point, 10 * std::log10(power / (2 * half)), 0);
        }
    }
}

TEST(SpectrumSurveyTest, FindsTheCarrierUnderTheTuneByItsHalfPowerWidth) {
    struct Case {
        const char* what;
        std::vector<Placed> carriers;
        double tunedMhz;
        bool carrier;
        double centreMhz, widthMhz;
    };
    const Case cases[] = {
        {"wide carrier, tuned off centre", {{1300, 27500, 12}}, 1292.4, true, 1300, 27.5},
        {"narrow carrier", {{1400.3, 6666, 10}}, 1401, true, 1400.3, 6.666},
        {"weak carrier", {{1500, 22000, 5}}, 1500, true, 1500, 22},
        // Wider than the first window: the spectrum grows until both edges are in.
        {"widest rate", {{1600, 45000, 12}}, 1620, true, 1600, 45},
        {"its skirt, below half power", {{1300, 27500, 12}}, 1316, false, 0, 0},
        {"the floor", {{1300, 27500, 12}}, 1360, false, 0, 0},
        // Skirts that overlap (centres 29.5 MHz apart): the valley between them is the edge.
        {"crowded neighbours", {{1300, 27500, 12}, {1329.5, 27500, 12}}, 1300, true, 1300.5, 28.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SpectrumVerdict v = Survey(c.carriers, c.tunedMhz);
        ASSERT_EQ(v.kind == SpectrumVerdict::Carrier, c.carrier);
        if (!c.carrier) continue;
        EXPECT_NEAR(v.estimate.centreKhz / 1000.0, c.centreMhz, 0.5);  // half the grid
        EXPECT_NEAR(v.estimate.widthKhz / 1000.0, c.widthMhz, 0.04 * c.widthMhz + 0.3);
    }
}

TEST(SpectrumSurveyTest, RatesThatFitTheWidthCommonOnesNearestFirstThenAGridWhereAffordable) {
    const auto common = SearchRatesKsps();
    // Tight tolerance (stv0299, 500 ppm): the common rates inside the estimate only.
    EXPECT_EQ(RatesForWidth(27300, common, 500, 1000, 45000),
              (std::vector<int32_t>{27500, 27000, 28000, 26000}));
    EXPECT_EQ(RatesForWidth(6800, common, 500, 1000, 45000),
              (std::vector<int32_t>{6666, 7200, 6111}));
    // Wide tolerance (stv090x, 5 %): a grid across the estimate after them.
    const std::vector<int32_t> wide = RatesForWidth(25200, common, 50000, 1000, 45000);
    ASSERT_GE(wide.size(), 3u);
    EXPECT_EQ(std::vector<int32_t>(wide.begin(), wide.begin() + 2),
              (std::vector<int32_t>{24500, 26000}));
    for (int32_t r = 23600; r <= 26800; r += 100) {  // every rate of the estimate is covered
        EXPECT_TRUE(std::any_of(wide.begin(), wide.end(), [r](int32_t c) {
            return std::abs(c - r) <= 0.05 * r;
        })) << r;
    }
    // Nothing the demodulator takes: below its minimum or above its maximum.
    EXPECT_TRUE(RatesForWidth(600, common, 500, 1000, 45000).empty());
    EXPECT_TRUE(RatesForWidth(60000, common, 500, 1000, 45000).empty());
}

}  // namespace
}  // namespace quillox::dvb
