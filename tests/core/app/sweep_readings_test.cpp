// The spectrum's store of sweep readings: what a new job replaces, a worker writing while
// another thread reads, and the View menu's Spectrum window model.
#include "app/sweep_readings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "app/form1.h"
#include "base/tuning_code_values.h"
#include "support/test_platform.h"

namespace quillox::test {
namespace {

constexpr int32_t kV = polarity::kVertical, kH = polarity::kHorizontal;
constexpr SweepMethod kFirst = SweepMethod::ProbableFrequency, kSecond = SweepMethod::RateSearch;

TEST(SpectrumStoreTest, ANewJobReplacesOnlyItsOwnMethodAndPolarity) {
    SpectrumStore store;
    EXPECT_EQ(store.latest(), std::nullopt);
    for (SweepMethod method : {kFirst, kSecond})
        for (int32_t pol : {kV, kH}) {
            store.BeginSweep(method, pol, 10700, 12750);
            store.AddReading(method, pol, 10700, 1);
            store.AddFound(method, {10702, pol, 27500, 0});
        }
    store.AddFound(kFirst, {11000, -1, 1000, 0});       // polarity unknown
    store.AddReading(kFirst, 7, 10705, 1);              // no polarity: not kept
    store.AddReading(kFirst, kH, 10705, std::nan(""));  // no figure: not kept
    const uint64_t before = store.generation();

    store.BeginSweep(kFirst, kV, 11000, 11100);
    store.AddReading(kFirst, kV, 11000, 9);
    EXPECT_GT(store.generation(), before);
    SpectrumData first = store.Snapshot(kFirst);
    EXPECT_EQ(first.vertical.startMhz, 11000);
    ASSERT_EQ(first.vertical.readings.size(), 1u);
    EXPECT_EQ(first.vertical.readings[0].value, 9);
    EXPECT_EQ(first.horizontal.readings.size(), 1u);
    ASSERT_EQ(first.found.size(), 1u) << "the vertical and the unknown marks went";
    EXPECT_EQ(first.found[0].polarityCode, kH);

    store.BeginFinding(kFirst, kH);  // a symbol-rate scan of the same polarity
    first = store.Snapshot(kFirst);
    EXPECT_TRUE(first.found.empty());
    EXPECT_EQ(first.horizontal.readings.size(), 1u) << "the sweep's readings stay";
    const SpectrumData second = store.Snapshot(kSecond);
    EXPECT_EQ(second.vertical.readings.size() + second.horizontal.readings.size(), 2u);
    EXPECT_EQ(second.found.size(), 2u);
    EXPECT_EQ(store.latest(), kFirst);
}

TEST(SpectrumStoreTest, AReaderSeesTheWorkersReadingsGrowInOrder) {
    SpectrumStore store;
    constexpr int kSteps = 2000;
    std::thread worker([&] {
        store.BeginSweep(kSecond, kH, 0, kSteps);
        for (int32_t mhz = 0; mhz < kSteps; ++mhz) store.AddReading(kSecond, kH, mhz, mhz % 7);
    });
    size_t seen = 0;
    while (seen < kSteps) {
        const std::vector<SpectrumReading> readings = store.Snapshot(kSecond).horizontal.readings;
        ASSERT_GE(readings.size(), seen);
        for (size_t i = 0; i < readings.size(); ++i) ASSERT_EQ(readings[i].mhz, int32_t(i));
        seen = readings.size();
    }
    worker.join();
}

TEST(SpectrumWindowModelTest, TheViewMenuShowsTheWindowAndItsPictureIsTheLatestMethod) {
    TestRig rig;
    TForm1 form(rig.platform);
    EXPECT_TRUE(form.Form_Spectrum.closed());
    int shown = 0;
    const int id = form.Form_Spectrum.subscribeShow([&] { ++shown; });
    form.Spectrum1.click();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(form.Form_Spectrum.closed());
    EXPECT_EQ(form.Form_Spectrum.caption(), "Spectrum");
    EXPECT_EQ(form.Spectrum1.text(), "Spectrum");
    form.SpectrumReadings.AddReading(kSecond, kV, 11000, 50);
    EXPECT_EQ(form.Form_Spectrum.Picture().method, kSecond);
    form.Form_Spectrum.unsubscribeShow(id);
}

}  // namespace
}  // namespace quillox::test
