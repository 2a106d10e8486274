// The window's jobs on the simulated dish. The first method with the page's defaults: the
// vertical sweep and the symbol-rate list scan that follows it find the satellite's vertical
// DVB-S transponders, each once. The second ("GO") at the page's shortest delay, and what
// Compare… makes of its list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "cli/transponder_comparison.h"
#include "core/app/page_fixture.h"
#include "device/sim/simulated_dish.h"
#include "files/transponder_compare.h"
#include "satellites/scenario_loading.h"

namespace quillox::test {
namespace {

TEST(SimulatedDishScanTest, VerticalPairFindsEachVerticalDvbSTransponderOnce) {
    TestRig rig;
    TForm1 form(rig.platform);
    const satellites::Scenario satellite = satellites::BuiltInScenario();
    form.tunerSlot().Attach(std::make_unique<sim::SimulatedDish>(satellite, rig.clock, 1));

    form.Button1.click();
    WaitUntilEnded(form.FreqScanWorker);
    form.Button2.click();
    WaitUntilEnded(form.SrListWorker);
    EXPECT_TRUE(rig.dialogs.errors().empty()) << rig.dialogs.errors().front();

    std::vector<const satellites::Carrier*> expected;
    for (const satellites::Carrier& c : satellite.carriers)
        if (c.polarity == polarity::kVertical && c.system == satellites::DvbSystem::DvbS &&
            c.freqMhz >= 10700 && c.freqMhz <= 12750)
            expected.push_back(&c);
    ASSERT_GT(expected.size(), 10u);
    // every carrier's symbol rate is one of the default list
    const std::vector<std::string> rates = form.r_edt_symbolrate.lines();
    for (const satellites::Carrier* c : expected)
        ASSERT_NE(
            std::find(rates.begin(), rates.end(), std::to_string(std::lround(c->symbolRateKsps))),
            rates.end());

    const std::vector<std::string> lines = form.r_ed_trans_good.lines();
    for (const satellites::Carrier* c : expected) {
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

// "GO" on the built-in satellite, 10700-10900 MHz, both polarities.
struct GoRun {
    explicit GoRun(const char* delay,
                   satellites::Scenario satellite = satellites::BuiltInScenario()) {
        form.tunerSlot().Attach(std::make_unique<sim::SimulatedDish>(satellite, rig.clock, 1));
        form.ed_f_start_r23.setText("10700");
        form.ed_f_end_r23.setText(end);
        form.ed_f_delay_r23.setText(delay);
    }
    void Run() {
        form.bt_go_r23.click();
        WaitUntilEnded(form.SweepWorker);
    }
    int LogLinesWith(const std::string& part) const {
        const std::vector<std::string> log = form.RichEdit1.lines();
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& l) {
            return l.find(part) != std::string::npos;
        }));
    }
    const char* end = "10900";
    TestRig rig;
    TForm1 form{rig.platform};
};

TEST(SimulatedDishScanTest, GoAtTheShortestDelayFindsWhatItFindsAtTheDefaultDelay) {
    GoRun slow("750"), fast("200");
    slow.Run();
    fast.Run();
    EXPECT_EQ(slow.form.r_ed_trans_good_r23.count(), 5);  // the DVB-S carriers of the range
    EXPECT_EQ(fast.form.r_ed_trans_good_r23.lines(), slow.form.r_ed_trans_good_r23.lines());
    EXPECT_EQ(fast.LogLinesWith("ms to lock"), 0);
}

// A card that cannot lock within the delay (the realistic sky: the stv0299's list search) says
// so once, in the log and the status line, rather than finish with an empty list and no word.
TEST(SimulatedDishScanTest, GoTooQuickForTheCardSaysSoOnce) {
    satellites::Scenario satellite = satellites::BuiltInScenario();
    satellite.sky = *satellites::SkyPreset("realistic");
    GoRun run("200", satellite);
    run.end = "10720";
    run.form.ed_f_end_r23.setText(run.end);
    run.Run();
    const std::string notice =
        "The tuner needs at least 400 ms to lock while it searches the symbol rate: with a delay "
        "of 200 ms GO cannot find any transponder. Use 400 ms or more.";
    EXPECT_EQ(run.LogLinesWith(notice), 1);
    EXPECT_NE(run.form.lb_status.text().find(notice), std::string::npos)
        << run.form.lb_status.text();
}

// After a scan of 10700-10800 MHz the earlier file's 10847 and 10876 were not looked at: not
// gone.
TEST(SimulatedDishScanTest, CompareJudgesOnlyWhatTheScanCovered) {
    GoRun run("750");
    run.end = "10800";
    run.form.ed_f_end_r23.setText(run.end);
    run.Run();
    TempDir dir;
    WriteFileBytes(dir.path() / "0130.ini",
                   "[DVB]\r\n0=5\r\n1=10744,H,22000,56\r\n2=10758,V,22000,56\r\n"
                   "3=10788,V,22000,56\r\n4=10847,V,22000,56\r\n5=10876,V,22000,56\r\n");
    run.form.pc_main.setActivePage(&run.form.ts_ss2r23);
    run.rig.dialogs.AnswerFile(dir.str() + "0130.ini");
    run.form.Compare1.click();
    const std::vector<DialogEvent> events = run.rig.dialogs.events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().text, "Since " + dir.str() +
                                      "0130.ini:\n\nNo change\n"
                                      "Not scanned (2)\n  10847,V,22000,56\n  10876,V,22000,56\n");
}

// The Spectrum window's strength pass: before any sweep over the range and polarities of "GO"
// (stopped half-way, it keeps what it read), afterwards over those of the sweep shown. Its
// curves go behind the sweep's readings; the transponder list stays as the sweep left it.
TEST(SimulatedDishScanTest, StrengthPassDrawsBehindTheSweepAndLeavesTheListAlone) {
    GoRun run("750");  // 10700-10900 MHz
    TForm1& form = run.form;
    form.cb_Horizontal.setChecked(false);
    CallPause pause;
    const int hold = form.Form_Spectrum.pbar_strength.subscribe([&] { pause.After("gauge"); });
    pause.Arm("gauge", 50);
    form.Form_Spectrum.bt_strength.click();
    ASSERT_TRUE(pause.WaitReached());
    EXPECT_FALSE(form.Button1.enabled() || form.bt_go_r23.enabled() || form.gbSettings.enabled());
    form.Form_Spectrum.bt_strength_stop.click();
    form.Form_Spectrum.pbar_strength.unsubscribe(hold);
    const size_t kept = form.StrengthReadings.Snapshot().vertical.points.size();
    EXPECT_GT(kept, 50u);
    EXPECT_LT(kept, 201u);
    EXPECT_TRUE(form.StrengthReadings.Snapshot().horizontal.points.empty());
    EXPECT_TRUE(form.Button1.enabled() && form.bt_go_r23.enabled() &&
                form.Form_Spectrum.bt_strength.enabled());
    EXPECT_FALSE(form.Form_Spectrum.bt_strength_stop.enabled());

    form.cb_Horizontal.setChecked(true);
    run.Run();
    const std::vector<std::string> lines = form.r_ed_trans_good_r23.lines();
    const int32_t counter = form.trans_counter_r23;
    ASSERT_EQ(lines.size(), 5u);
    form.ed_f_end_r23.setText("12750");  // the pass follows the sweep shown, not the field
    form.Form_Spectrum.bt_strength.click();
    WaitUntilEnded(form.StrengthWorker);
    EXPECT_EQ(form.r_ed_trans_good_r23.lines(), lines);
    EXPECT_EQ(form.trans_counter_r23, counter);
    EXPECT_EQ(form.r_ed_trans_good.count(), 0);
    EXPECT_EQ(form.lb_status.text().rfind("Strength finished", 0), 0u) << form.lb_status.text();

    const SpectrumData picture = form.Form_Spectrum.Picture();
    const Scene scene = BuildSpectrumScene(picture, 900, 420, FullRange(picture));
    // Polylines in painting order: a light one of 201 points per polarity (no gap), then the
    // sweep's readings.
    std::vector<std::pair<uint32_t, size_t>> curves;
    bool caption = false, legend = false;
    for (const SceneItem& item : scene.items) {
        if (const auto* line = std::get_if<ScenePolyline>(&item))
            curves.emplace_back(line->colour, line->points.size());
        if (const auto* text = std::get_if<SceneText>(&item)) {
            caption = caption || text->text.rfind("Signal level (", 0) == 0;
            legend = legend || text->text == "Strength pass";
        }
    }
    ASSERT_EQ(curves.size(), 4u);
    EXPECT_EQ(curves[0], std::pair(kVerticalLightColour, size_t{201}));
    EXPECT_EQ(curves[1], std::pair(kHorizontalLightColour, size_t{201}));
    EXPECT_EQ(curves[2].first, kVerticalColour);
    EXPECT_TRUE(caption && legend);
    // The level peaks where GO found a transponder.
    const std::vector<StrengthPoint>& points = picture.strength.vertical.points;
    const auto peak =
        std::max_element(points.begin(), points.end(),
                         [](const auto& a, const auto& b) { return a.level < b.level; });
    EXPECT_TRUE(std::any_of(picture.found.begin(), picture.found.end(), [&](const auto& t) {
        return t.polarityCode == polarity::kVertical && std::abs(t.mhz - peak->mhz) <= 10;
    })) << peak->mhz;
}

}  // namespace
}  // namespace quillox::test
