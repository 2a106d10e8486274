#pragma once
// A job thread of the main window. Stopping is cooperative: Stop() raises the worker's stop
// signal, which wakes any Clock::Sleep on that thread and makes the next sleep or tuner call
// throw JobStopped, so the body unwinds at once.
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/stop_signal.h"

namespace quillox {

class Worker {
public:
    explicit Worker(std::string name);
    ~Worker();  // stops and joins a running body
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    const std::string& name() const { return name_; }
    bool running() const;
    bool onWorkerThread() const;  // true when called from this worker's own thread
    void join();                  // harmless when nothing runs or on the worker's own thread

    // Starts body on a new thread (joining a finished previous one first). An exception other
    // than JobStopped that escapes the body goes to onError, still on the worker thread.
    void Start(std::function<void()> body, std::function<void(const std::exception&)> onError);
    // From another thread: request the stop and wait until the body has ended.
    // From the worker's own thread: request the stop and return; the body ends after it.
    void Stop();

private:
    void Run(const std::function<void()>& body,
             const std::function<void(const std::exception&)>& onError);

    const std::string name_;
    mutable std::mutex mutex_;  // guards thread_ and running_
    std::thread thread_;
    bool running_ = false;
    StopSignal stop_;
};

}  // namespace quillox
