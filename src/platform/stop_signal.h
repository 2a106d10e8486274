#pragma once
// Cooperative stop of a worker thread. Each worker owns a StopSignal and installs it as the
// current thread's signal; Clock::Sleep and the tuner wrapper consult it, so a stop request
// unwinds the job body with JobStopped from the next sleep or tuner call.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stdexcept>

namespace quillox {

class JobStopped : public std::exception {
public:
    const char* what() const noexcept override { return "job stopped"; }
};

class StopSignal {
public:
    void Request();
    void Reset();
    bool requested() const;
    // Waits up to ms; returns true when a stop was requested meanwhile (or before).
    bool WaitFor(int32_t ms);

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool requested_ = false;
};

// The signal of the worker running on this thread, or nullptr on other threads.
StopSignal* CurrentStopSignal();
void SetCurrentStopSignal(StopSignal* signal);
// Throws JobStopped when this thread is a worker whose stop was requested.
void ThrowIfStopRequested();

}  // namespace quillox
