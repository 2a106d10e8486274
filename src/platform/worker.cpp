#include "platform/worker.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace quillox {

Worker::Worker(std::string name) : name_(std::move(name)) {}

Worker::~Worker() {
    Stop();
}

bool Worker::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool Worker::onWorkerThread() const {
    std::lock_guard lock(mutex_);
    return thread_.get_id() == std::this_thread::get_id();
}

void Worker::join() {
    std::thread finished;
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) return;
        finished = std::move(thread_);
    }
    finished.join();
}

void Worker::Start(std::function<void()> body, std::function<void(const std::exception&)> onError) {
    join();
    std::lock_guard lock(mutex_);
    stop_.Reset();
    running_ = true;
    thread_ = std::thread(
        [this, body = std::move(body), onError = std::move(onError)] { Run(body, onError); });
}

void Worker::Stop() {
    stop_.Request();
    join();
}

void Worker::Run(const std::function<void()>& body,
                 const std::function<void(const std::exception&)>& onError) {
    // One step above normal priority where the system allows it (raising needs privileges
    // that a desktop user rarely has); failure is harmless.
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (errno == 0) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice - 1);
    SetCurrentStopSignal(&stop_);
    try {
        body();
    } catch (const JobStopped&) {
        // the stop event restores the window itself
    } catch (const std::exception& error) {
        try {
            if (onError) onError(error);
        } catch (const JobStopped&) {
        }
    }
    SetCurrentStopSignal(nullptr);
    std::lock_guard lock(mutex_);
    running_ = false;
}

}  // namespace quillox
