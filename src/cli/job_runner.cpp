#include "cli/job_runner.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <thread>

#include "app/job_texts.h"
#include "cli/progress_bar.h"

namespace quillox::cli {
namespace {

const JobEntry kJobs[] = {
    {"1 - FIND", &TForm1::Button1, &TForm1::pbar_freq, &TForm1::FreqScanWorker, polarity::kVertical,
     false},
    {"2- Find VERT S/Rs", &TForm1::Button2, &TForm1::pbar_sr, &TForm1::SrListWorker,
     polarity::kVertical, false},
    {"3 - FIND", &TForm1::Button3, &TForm1::pbar_freq, &TForm1::FreqScanWorker,
     polarity::kHorizontal, false},
    {" 4- Find HOR   S/Rs ", &TForm1::Button4, &TForm1::pbar_sr, &TForm1::SrListWorker,
     polarity::kHorizontal, false},
    {"Find (1,2,3,4)", &TForm1::bt_Find1234_r26, &TForm1::pbar_freq, &TForm1::FindAllWorker,
     kBothPolarities, false},
    {"GO", &TForm1::bt_go_r23, &TForm1::pbar_freq_r23, &TForm1::SweepWorker, kPageChoosesPolarity,
     true},
    {"Find_S/R", &TForm1::bt_sr_go, &TForm1::pbar_find_sr, &TForm1::SrFinderWorker,
     kPageChoosesPolarity, false, [](TForm1& form) -> Control& { return form.gb_sr; }},
};

// Lower case, blanks removed: " 4- Find HOR   S/Rs " and "4-find hor s/rs" are one job.
std::string Normalised(const std::string& caption) {
    std::string out;
    for (char c : caption)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

const JobEntry* FindJob(const std::string& caption) {
    for (const JobEntry& job : kJobs)
        if (Normalised(job.caption) == Normalised(caption)) return &job;
    return nullptr;
}

JobOutcome RunJob(TForm1& form, const JobEntry& job, bool drawProgress) {
    using namespace std::chrono;
    Button& button = form.*job.button;
    Control& lock = job.startLock != nullptr ? job.startLock(form) : button;
    Worker& worker = form.*job.worker;
    Clock& clock = form.platform().clock;

    // A start event that accepts the parameters disables its button (or the button's group)
    // before the worker starts, or the job does so first thing on its worker; a refused one
    // changes no state. The job may be over before click() returns.
    std::atomic<bool> started{false};
    const int watch = lock.subscribe([&] {
        if (!lock.enabled()) started = true;
    });
    const auto realStart = steady_clock::now();
    const int64_t scanStart = clock.MonotonicMs();
    const int logLines = form.RichEdit1.count();
    button.click();

    JobOutcome outcome;
    ProgressBar bar(job.caption, drawProgress && (started || worker.running()));
    while (worker.running()) {
        bar.Draw((form.*job.gauge).position(), clock.MonotonicMs() - scanStart);
        std::this_thread::sleep_for(milliseconds(20));
    }
    worker.join();
    lock.unsubscribe(watch);
    outcome.started = started;
    outcome.scanMs = clock.MonotonicMs() - scanStart;
    outcome.realSeconds = duration<double>(steady_clock::now() - realStart).count();
    bar.Finish();
    // A job that fails ends as if stopped and notes why in the diagnostic log.
    const std::string prefix = kJobErrorPrefix;
    for (int i = logLines; i < form.RichEdit1.count(); ++i)
        if (form.RichEdit1.line(i).rfind(prefix, 0) == 0)
            outcome.error = form.RichEdit1.line(i).substr(prefix.size());
    return outcome;
}

}  // namespace quillox::cli
