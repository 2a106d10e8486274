// The first blind-scan method on the simulated dish, with the page's defaults: the vertical
// sweep and the symbol-rate list scan that follows it find the satellite's vertical DVB-S
// transponders, each once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cli/transponder_comparison.h"
#include "core/app/page_fixture.h"
#include "device/sim/scenario.h"
#include "device/sim/simulated_dish.h"

namespace quillox::test {
namespace {

TEST(SimulatedDishScanTest, VerticalPairFindsEachVerticalDvbSTransponderOnce) {
    TestRig rig;
    TForm1 form(rig.platform);
    const sim::Scenario satellite = sim::BuiltInScenario();
    form.tunerSlot().Attach(std::make_unique<sim::SimulatedDish>(satellite, rig.clock, 1));

    form.Button1.click();
    WaitUntilEnded(form.FreqScanWorker);
    form.Button2.click();
    WaitUntilEnded(form.SrListWorker);
    EXPECT_TRUE(rig.dialogs.errors().empty()) << rig.dialogs.errors().front();

    std::vector<const sim::Carrier*> expected;
    for (const sim::Carrier& c : satellite.carriers)
        if (c.polarity == polarity::kVertical && c.system == sim::DvbSystem::DvbS &&
            c.freqMhz >= 10700 && c.freqMhz <= 12750)
            expected.push_back(&c);
    ASSERT_GT(expected.size(), 10u);
    // every carrier's symbol rate is one of the default list
    const std::vector<std::string> rates = form.r_edt_symbolrate.lines();
    for (const sim::Carrier* c : expected)
        ASSERT_NE(
            std::find(rates.begin(), rates.end(), std::to_string(std::lround(c->symbolRateKsps))),
            rates.end());

    const std::vector<std::string> lines = form.r_ed_trans_good.lines();
    for (const sim::Carrier* c : expected) {
        const auto hits = std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            auto line = ParseTransponderLine(l);
            return line && line->polarity == polarity::kVertical &&
                   std::abs(line->mhz - c->freqMhz) <= 2 &&
                   line->ksps == std::lround(c->symbolRateKsps);
        });
        EXPECT_EQ(hits, 1) << "carrier " << c->freqMhz;
    }
    EXPECT_EQ(lines.size(), expected.size()) << "no line without a carrier";
    EXPECT_EQ(form.trans_counter, static_cast<int32_t>(expected.size()) + 1);

    // The spectrum: an SNR per 5 MHz step of the vertical sweep, a mark per transponder found,
    // each on a peak of the sweep.
    const SpectrumData spectrum = form.SpectrumReadings.Snapshot(SweepMethod::ProbableFrequency);
    EXPECT_EQ(spectrum.vertical.readings.size(), (12750u - 10700u) / 5 + 1);
    EXPECT_TRUE(spectrum.horizontal.readings.empty());
    ASSERT_EQ(spectrum.found.size(), expected.size());
    for (const FoundTransponder& t : spectrum.found) {
        EXPECT_EQ(t.polarityCode, polarity::kVertical);
        EXPECT_TRUE(std::any_of(spectrum.vertical.readings.begin(),
                                spectrum.vertical.readings.end(),
                                [&](const SpectrumReading& r) {
                                    return std::abs(r.mhz - t.mhz) <= 10 && r.value > 3.6;
                                }))
            << t.mhz;
    }
}

}  // namespace
}  // namespace quillox::test
