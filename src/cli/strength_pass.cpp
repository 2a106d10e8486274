#include "cli/strength_pass.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

#include "base/number_text.h"
#include "cli/progress_bar.h"
#include "cli/strength_plot.h"
#include "platform/worker.h"
#include "scan/strength_spectrum.h"

namespace quillox::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl-C stops the pass instead of ending the program, for as long as this lives.
class InterruptStopsPass {
public:
    InterruptStopsPass() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptStopsPass() { sigaction(SIGINT, &previous_, nullptr); }
    InterruptStopsPass(const InterruptStopsPass&) = delete;
    InterruptStopsPass& operator=(const InterruptStopsPass&) = delete;

private:
    struct sigaction previous_ {};
};

// Keeps what the pass reports; the worker writes, the runner reads.
class CollectingHost : public StrengthSpectrumHost {
public:
    void Progress(int percent) override { percent_ = percent; }
    void Point(const StrengthPoint& point) override {
        std::lock_guard lock(mutex_);
        points_.push_back(point);
    }
    int percent() const { return percent_; }
    std::vector<StrengthPoint> points() const {
        std::lock_guard lock(mutex_);
        return points_;
    }

private:
    std::atomic<int> percent_{0};
    mutable std::mutex mutex_;
    std::vector<StrengthPoint> points_;
};

}  // namespace

int RunSpectrum(TForm1& form, const std::string& path, bool drawProgress) {
    // The window's own rules for the range of "GO", with its messages.
    if (!form.ValidateFrequencyFields(form.ed_f_start_r23, form.ed_f_end_r23, form.ed_f_step_r23,
                                      form.ed_f_delay_r23))
        return 1;
    StrengthSpectrumParams params;
    params.startMhz = StrictInt(form.ed_f_start_r23.text());
    params.endMhz = StrictInt(form.ed_f_end_r23.text());
    params.vertical = form.cb_Vertical.checked();
    params.horizontal = form.cb_Horizontal.checked();
    params.lnb = form.CurrentLnb();

    Clock& clock = form.platform().clock;
    CollectingHost host;
    std::string error;
    Worker worker("Spectrum");
    const int64_t scanStart = clock.MonotonicMs();
    const auto realStart = std::chrono::steady_clock::now();
    bool stopped = false;
    {
        InterruptStopsPass ctrlC;
        form.tunerSlot().JobStarting();
        worker.Start([&] { RunStrengthSpectrum(form.tuner(), clock, params, host); },
                     [&error](const std::exception& e) { error = e.what(); });
        ProgressBar bar("Spectrum", drawProgress);
        while (worker.running()) {
            if (interrupted && !stopped) {
                stopped = true;
                worker.Stop();  // returns once the pass has ended
                break;
            }
            bar.Draw(host.percent(), clock.MonotonicMs() - scanStart);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        worker.join();
        bar.Finish();
    }

    StrengthSpectrum spectrum{params.startMhz, params.endMhz, host.points(),
                              !stopped && error.empty()};
    const double realSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    std::printf("%-24s %s scan time, %.1f s real time, %zu readings\n", "Spectrum",
                ClockText(clock.MonotonicMs() - scanStart).c_str(), realSeconds,
                spectrum.points.size());
    std::fflush(stdout);
    int status = 0;
    if (stopped) {
        std::cerr << "Spectrum stopped before the end\n";
        status = 130;
    }
    if (!error.empty()) {
        std::cerr << "error: the spectrum ended early: " << error << "\n";
        status = 1;
    }
    if (spectrum.points.empty()) {
        std::cerr << "error: no reading to draw: " << path << " not written\n";
        return status == 0 ? 1 : status;
    }
    const FileWriteResult written = WriteStrengthPlot(spectrum, path);
    if (!written) {
        std::cerr << "error: cannot write " << path << ": " << written.error << "\n";
        return 1;
    }
    std::printf("Spectrum picture: %s\n", path.c_str());
    return status;
}

}  // namespace quillox::cli
