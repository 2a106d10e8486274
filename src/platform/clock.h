#pragma once
// Time source for jobs and devices. Jobs sleep only through a Clock, so tests run whole scans in
// virtual time and a stop request wakes any sleep at once.
#include <atomic>
#include <cstdint>

namespace quillox {

struct LocalTime {
    int year, month, day, hour, minute, second;
};

class Clock {
public:
    virtual ~Clock() = default;
    // In a worker: throws JobStopped once a stop is requested (also while sleeping).
    virtual void Sleep(int32_t ms) = 0;
    virtual LocalTime Now() = 0;           // local date and time of day
    virtual int64_t MonotonicMs() = 0;     // for devices and progress estimates
};

class RealClock : public Clock {
public:
    RealClock();
    void Sleep(int32_t ms) override;
    LocalTime Now() override;
    int64_t MonotonicMs() override;

private:
    int64_t startNs_;
};

// Sleep returns at once and advances virtual time; stop requests are still honoured.
// Thread-safe: the GUI thread and a worker may share one VirtualClock.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(LocalTime start = {2026, 12, 6, 19, 5, 7});
    void Sleep(int32_t ms) override;
    LocalTime Now() override;
    int64_t MonotonicMs() override;
    void Advance(int64_t ms);  // moves time on without a sleeper (tests, tools)

private:
    LocalTime start_;
    std::atomic<int64_t> elapsedMs_{0};
};

}  // namespace quillox
