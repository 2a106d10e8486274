#include "platform/stop_signal.h"

#include <chrono>

namespace quillox {
namespace {
thread_local StopSignal* currentSignal = nullptr;
}

void StopSignal::Request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
    }
    wake_.notify_all();
}

void StopSignal::Reset() {
    std::lock_guard lock(mutex_);
    requested_ = false;
}

bool StopSignal::requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

bool StopSignal::WaitFor(int32_t ms) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return requested_; });
}

StopSignal* CurrentStopSignal() { return currentSignal; }
void SetCurrentStopSignal(StopSignal* signal) { currentSignal = signal; }

void ThrowIfStopRequested() {
    if (currentSignal != nullptr && currentSignal->requested()) throw JobStopped();
}

}  // namespace quillox
