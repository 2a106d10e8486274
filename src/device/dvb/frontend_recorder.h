#pragma once
// Records every call through the FrontendIo seam into a text file (format: frontend_recording.h):
// a line as each call returns, handed to the system at once, so that a crash keeps everything
// up to the last call; synced to the disk with the first line a second or more after the last
// sync and at close, so that a power cut during a job loses about the last second at most.
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "device/dvb/frontend_io.h"
#include "platform/clock.h"

namespace quillox::dvb {

class FrontendRecorder {
public:
    // Creates or empties the file; null, and error naming the file, when it cannot be written.
    // Times are the clock's monotonic ms (the device's clock: virtual time in a virtual run).
    static std::shared_ptr<FrontendRecorder> Create(const std::string& path, Clock& clock,
                                                    std::string& error);
    ~FrontendRecorder();
    FrontendRecorder(const FrontendRecorder&) = delete;
    FrontendRecorder& operator=(const FrontendRecorder&) = delete;

    // Empties the file and starts it again: header, and the time 0 of its lines.
    void Restart();
    // One call: what it was, its result (0 or errno) and, when it succeeded, what it gave back.
    void Write(const std::string& call, int result, const std::string& values);
    // The first failure to write ("" while every line was written); nothing is written after it.
    std::string problem() const;
    const std::string& path() const { return path_; }

private:
    FrontendRecorder(std::FILE* file, std::string path, Clock& clock);
    void Put(const std::string& text);  // with mutex_ held

    mutable std::mutex mutex_;
    std::FILE* file_;
    std::string path_;
    Clock& clock_;
    int64_t startMs_ = 0;
    std::chrono::steady_clock::time_point lastSync_;
    std::string problem_;
};

// Every FrontendIo of inner, recorded. Each one made starts the file afresh, so that the file
// holds the frontend the device keeps, not those looked at before it (a device found by "auto").
FrontendIoFactory RecordingFactory(std::shared_ptr<FrontendRecorder> recorder,
                                   FrontendIoFactory inner);

}  // namespace quillox::dvb
