// Cost of one call into the simulated dish with a crowded satellite (200 carriers): the jobs make
// tens of thousands of calls per scan, so each must stay far below the waits between them.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "device/sim/simulated_dish.h"
#include "base/tuning_code_values.h"
#include "platform/clock.h"
#include "satellites/carrier_to_noise.h"

namespace {

using namespace quillox;
using namespace quillox::sim;
using namespace quillox::satellites;

// 100 carriers per polarisation over the whole Ku band, DVB-S and DVB-S2 alternating.
Scenario CrowdedSatellite() {
    Scenario s;
    s.name = "crowded";
    for (int i = 0; i < 200; ++i) {
        Carrier c;
        c.polarity = i % 2 == 0 ? polarity::kHorizontal : polarity::kVertical;
        c.freqMhz = 10710 + (i / 2) * 20.3 + (i % 2) * 10;
        c.symbolRateKsps = i % 3 == 0 ? 27500 : 22000;
        c.system = i % 4 == 0 ? DvbSystem::DvbS2 : DvbSystem::DvbS;
        c.modulation = "QPSK";
        c.fecText = "3/4";
        c.fecCode = fec::k3_4;
        c.requiredCnDb = RequiredCnDb(c.system, c.modulation, c.fecText);
        c.cnDb = DerivedCnDb(c);
        s.carriers.push_back(c);
    }
    return s;
}

// One step of a sweep as the jobs make it: tuning step, then a reading.
void BM_TuningStepAndReading(benchmark::State& state) {
    VirtualClock clock;
    SimulatedDish dish(CrowdedSatellite(), clock, 1);
    dish.TunerSetPolarity(polarity::kVertical);
    dish.TunerSetSymbolRate(state.range(0));
    int32_t f = 10700;
    int64_t calls = 0;
    for (auto _ : state) {
        bool low = f < 11700;
        dish.TunerSetLnbSelection(low ? tone::kNone : tone::k22kHz);
        dish.TunerSetLnbFrequency(low ? 9750 : 10600);
        dish.TunerSetFrequency(f);
        dish.TunerCommit(1);
        clock.Advance(300);
        dish.TunerRefreshStatus();
        float snr = 0;
        int32_t q = 0, g = 0;
        dish.TunerGetSnr(snr);
        dish.TunerGetSignalQuality(q);
        dish.TunerGetFrequency(g);
        benchmark::DoNotOptimize(snr + q + g);
        calls += 8;
        f = f >= 12750 ? 10700 : f + 1;
    }
    // Seconds per tuner call, shown as a time.
    state.counters["per_call"] = benchmark::Counter(
        static_cast<double>(calls), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TuningStepAndReading)->Arg(35000)->Arg(0)->Arg(27500);

// The costliest call alone: a refresh measures the whole neighbourhood of the tuned IF.
void BM_RefreshStatus(benchmark::State& state) {
    VirtualClock clock;
    SimulatedDish dish(CrowdedSatellite(), clock, 1);
    dish.TunerSetPolarity(polarity::kVertical);
    dish.TunerSetLnbSelection(tone::k22kHz);
    dish.TunerSetLnbFrequency(10600);
    dish.TunerSetFrequency(12000);
    dish.TunerSetSymbolRate(0);
    dish.TunerCommit(1);
    for (auto _ : state) {
        clock.Advance(20);
        benchmark::DoNotOptimize(dish.TunerRefreshStatus());
    }
}
BENCHMARK(BM_RefreshStatus);

}  // namespace
