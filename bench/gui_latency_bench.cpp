// How late the window's event loop answers while a job writes to it: a 1 ms timer's lateness,
// p50 and p99, while "1 - FIND" sweeps the simulated dish in real time. Runs on any Qt platform;
// without a display, QT_QPA_PLATFORM=offscreen is chosen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/form1.h"
#include "bench_platform.h"
#include "gui/main_window.h"
#include "platform/clock.h"

namespace {

using namespace quillox;
using namespace quillox::bench;

constexpr double kFrameMs = 16;  // one frame at 60 Hz, rounded down

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<ptrdiff_t>(at), values.end());
    return values[at];
}

void BM_TimerLatenessDuringSweep(benchmark::State& state) {
    std::vector<double> lateness;
    int64_t logLines = 0;
    for (auto _ : state) {
        RealClock clock;
        BenchWindow bench(clock);
        TForm1& form = bench.form;
        // Three vertical carriers in 17 steps of the shortest delay the page takes: about 4 s
        // of updates to the window.
        form.ed_f_start.setText("11000");
        form.ed_f_end.setText("11080");
        form.ed_f_delay.setText("200");
        auto window = std::make_unique<gui::MainWindow>(form, bench.rig.dialogs);
        window->show();
        QCoreApplication::processEvents();

        QEventLoop loop;
        QElapsedTimer since;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            lateness.push_back(std::max(0.0, static_cast<double>(since.nsecsElapsed()) / 1e6 - 1));
            since.restart();
            if (!form.FreqScanWorker.running()) loop.quit();
        });
        form.Button1.click();
        if (!form.FreqScanWorker.running()) {
            state.SkipWithError("the sweep did not start");
            break;
        }
        since.start();
        tick.start();
        loop.exec();
        tick.stop();
        form.FreqScanWorker.join();
        logLines = form.RichEdit1.count();
        window.reset();  // before the form it shows
    }
    const double p99 = Percentile(lateness, 0.99);
    state.counters["ticks"] = static_cast<double>(lateness.size());
    state.counters["p50_ms"] = Percentile(lateness, 0.50);
    state.counters["p99_ms"] = p99;
    state.counters["max_ms"] = Percentile(lateness, 1.0);
    state.counters["p99_of_frame"] = p99 / kFrameMs;
    state.counters["log_lines"] = static_cast<double>(logLines);
}
BENCHMARK(BM_TimerLatenessDuringSweep)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
