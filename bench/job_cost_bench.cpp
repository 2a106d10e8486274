// What the jobs cost beyond the dish itself, as ratios that stay put on a busy machine:
// - how much longer a sweep takes in real time than the sleeps it schedules;
// - the CPU a whole default scan (the first method's four jobs) spends per transponder found.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "app/form1.h"
#include "bench_platform.h"
#include "base/tuning_code_values.h"
#include "platform/clock.h"
#include "scan/probable_frequency_scan.h"

namespace {

using namespace quillox;
using namespace quillox::bench;

class CountingHost : public ProbableFrequencyScanHost {
public:
    LnbSettings Lnb() override { return {}; }
    void Log(const std::string&) override {}
    void Progress(int) override {}
    void Hit(int32_t) override { ++hits; }
    void Reading(int32_t, double) override {}
    int64_t hits = 0;
};

// A narrow vertical sweep with four carriers in it: 21 steps of 120 ms, about 2.5 s.
ProbableFrequencyScanParams NarrowSweep() {
    ProbableFrequencyScanParams params;
    params.startMhz = 11000;
    params.endMhz = 11100;
    params.stepMhz = 5;
    params.delayMs = 120;
    return params;
}

// The sweep on a fresh dish; returns the hits.
int64_t Sweep(Clock& clock) {
    sim::SimulatedDish dish(satellites::BuiltInScenario(), clock, 1);
    dish.TunerInitialize();
    dish.TunerSetPolarity(polarity::kVertical);
    dish.TunerCommit(1);
    CountingHost host;
    RunProbableFrequencyScan(dish, clock, NarrowSweep(), host);
    return host.hits;
}

// The schedule is what the virtual clock adds up for the same sweep; the real run must not
// take noticeably longer than that.
void BM_SweepRealTimeOverSchedule(benchmark::State& state) {
    double scheduledMs = 0, realMs = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        VirtualClock virtualClock;
        const int64_t virtualStart = virtualClock.MonotonicMs();
        const int64_t virtualHits = Sweep(virtualClock);
        scheduledMs += static_cast<double>(virtualClock.MonotonicMs() - virtualStart);

        RealClock realClock;
        const auto start = std::chrono::steady_clock::now();
        hits = Sweep(realClock);
        realMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (hits != virtualHits) state.SkipWithError("the real and the virtual sweep differ");
    }
    state.counters["scheduled_ms"] = scheduledMs / static_cast<double>(state.iterations());
    state.counters["real_ms"] = realMs / static_cast<double>(state.iterations());
    state.counters["overhead_pct"] = (realMs / scheduledMs - 1) * 100;
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_SweepRealTimeOverSchedule)->Iterations(1)->Unit(benchmark::kMillisecond);

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Clicks a job's button and waits for its worker, as a user waits for the job to end.
void RunJob(Button& button, Worker& worker) {
    button.click();
    worker.join();
}

// The first method with the window's defaults over the whole Ku band, both polarities, in
// virtual time: what is left is the CPU of the jobs and the dish.
void BM_DefaultScanCpuPerTransponder(benchmark::State& state) {
    double cpuMs = 0, virtualMs = 0;
    int transponders = 0;
    for (auto _ : state) {
        VirtualClock clock;
        BenchWindow bench(clock);
        TForm1& form = bench.form;

        const double cpuStart = ProcessCpuMs();
        const int64_t virtualStart = clock.MonotonicMs();
        RunJob(form.Button1, form.FreqScanWorker);
        RunJob(form.Button2, form.SrListWorker);
        RunJob(form.Button3, form.FreqScanWorker);
        RunJob(form.Button4, form.SrListWorker);
        cpuMs += ProcessCpuMs() - cpuStart;
        virtualMs += static_cast<double>(clock.MonotonicMs() - virtualStart);
        transponders = form.r_ed_trans_good.count();
        if (transponders == 0) state.SkipWithError("the scan found nothing");
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["transponders"] = transponders;
    state.counters["scan_s"] = virtualMs / runs / 1e3;
    state.counters["cpu_ms_per_transponder"] = cpuMs / runs / transponders;
    // Seconds of scan time (virtual) per CPU second: how much faster than the dish would allow.
    state.counters["scan_time_per_cpu_time"] = virtualMs / cpuMs;
}
BENCHMARK(BM_DefaultScanCpuPerTransponder)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
