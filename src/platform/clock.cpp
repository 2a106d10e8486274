#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/stop_signal.h"

namespace quillox {
namespace {

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LocalTime FromTm(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

}  // namespace

RealClock::RealClock() : startNs_(SteadyNs()) {}

void RealClock::Sleep(int32_t ms) {
    ThrowIfStopRequested();
    if (ms <= 0) return;
    if (StopSignal* stop = CurrentStopSignal()) {
        if (stop->WaitFor(ms)) throw JobStopped();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalTime RealClock::Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FromTm(local);
}

int64_t RealClock::MonotonicMs() { return (SteadyNs() - startNs_) / 1000000; }

VirtualClock::VirtualClock(LocalTime start) : start_(start) {}

void VirtualClock::Sleep(int32_t ms) {
    ThrowIfStopRequested();
    if (ms > 0) elapsedMs_.fetch_add(ms);
    ThrowIfStopRequested();
}

void VirtualClock::Advance(int64_t ms) {
    if (ms > 0) elapsedMs_.fetch_add(ms);
}

LocalTime VirtualClock::Now() {
    // Normalise start + elapsed through timegm/gmtime so that day and month roll over correctly.
    std::tm t{};
    t.tm_year = start_.year - 1900;
    t.tm_mon = start_.month - 1;
    t.tm_mday = start_.day;
    t.tm_hour = start_.hour;
    t.tm_min = start_.minute;
    t.tm_sec = start_.second;
    std::time_t base = timegm(&t);
    std::time_t now = base + static_cast<std::time_t>(elapsedMs_.load() / 1000);
    std::tm out{};
    gmtime_r(&now, &out);
    return FromTm(out);
}

int64_t VirtualClock::MonotonicMs() { return elapsedMs_.load(); }

}  // namespace quillox
