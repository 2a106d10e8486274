// The window's status line: what the running job has done and has left, how the last one ended.
#include <string>

#include "app/form1.h"
#include "base/number_text.h"

namespace quillox {

void TForm1::ShowStatus(const std::string& text) {
    lb_status.setText(text);
}

void TForm1::JobClockStarted(std::string caption, std::function<int()> percent) {
    std::lock_guard lock(jobClockMutex_);
    jobClock_ = JobClock{};
    jobClock_.caption = std::move(caption);
    jobClock_.percent = std::move(percent);
    jobClock_.startMs = platform_.clock.MonotonicMs();
    jobClock_.running = true;
    ShowStatus(jobClock_.caption + " running");
}

// Said once per job: in the log, and in the status line for as long as the job's lines last.
void TForm1::JobClockNotice(const std::string& notice) {
    RichEdit1.append(notice);
    std::lock_guard lock(jobClockMutex_);
    jobClock_.notice = notice;
    ShowStatus(notice);
}

void TForm1::JobClockFinished() {
    if (closed()) return;  // the job ended by closing the window
    std::lock_guard lock(jobClockMutex_);
    if (!jobClock_.running) return;
    jobClock_.running = false;
    const int64_t took = platform_.clock.MonotonicMs() - jobClock_.startMs;
    std::string text = jobClock_.caption + " finished in " + ClockText(took);
    if (!jobClock_.notice.empty()) text += ". " + jobClock_.notice;
    ShowStatus(text);
}

void TForm1::JobClockEnded(const std::string& status) {
    std::lock_guard lock(jobClockMutex_);
    jobClock_.running = false;
    ShowStatus(status);
}

void TForm1::ShowJobProgress() {
    std::lock_guard lock(jobClockMutex_);
    if (!jobClock_.running) return;
    const int percent = jobClock_.percent();
    const int64_t elapsed = platform_.clock.MonotonicMs() - jobClock_.startMs;
    const std::optional<int64_t> left = jobClock_.estimate.Update(percent, elapsed);
    std::string text = jobClock_.caption + ": " + std::to_string(percent) + " %, " +
                       ClockText(elapsed) + " elapsed, " +
                       (left ? "about " + ClockText(*left) + " left" : "estimating the time left");
    if (!jobClock_.notice.empty()) text += ". " + jobClock_.notice;
    ShowStatus(text);
}

}  // namespace quillox
