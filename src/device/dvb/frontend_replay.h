#pragma once
// Plays a recording (frontend_recording.h) back as a frontend, so that a job runs again without
// the card. Strict order: each call must be the recording's next one with the same arguments,
// and gets what the card answered then. The first call that differs fails with EIO, as does
// every call after it, and problem() names the line, what it holds and what came instead.
//
// Time: on a VirtualClock each call moves the clock on to the time recorded for it when the
// clock is behind, so the device sees the card's timing (its attempt deadlines, the guard
// times), whether the recording ran in real or virtual time; a clock already ahead is left as it
// is. On another clock the recorded times are not used.
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/dvb/frontend_io.h"
#include "device/dvb/frontend_recording.h"
#include "platform/clock.h"

namespace quillox::dvb {

class FrontendReplay : public std::enable_shared_from_this<FrontendReplay> {
public:
    // A recording file; null, and error naming the file and line, when it is no usable recording.
    static std::shared_ptr<FrontendReplay> Load(const std::string& file, Clock& clock,
                                                std::string& error);
    FrontendReplay(std::vector<RecordedCall> calls, std::string file, Clock& clock);

    // The frontend the recording opened first: where the device must open its replay.
    std::optional<std::string> openedPath() const;
    // FrontendIos that play the recording in turn; the recording's time 0 is when the first is
    // made.
    FrontendIoFactory Factory();

    // "" while every call came as recorded. Once every FrontendIo made is gone (the device has
    // closed the frontend), a recording not played to its end counts as a difference too.
    std::string problem() const;

    // For the FrontendIos: the recorded call, or null when call differs from it.
    const RecordedCall* Next(const std::string& call);
    void IoMade();
    void IoGone();

private:
    mutable std::mutex mutex_;
    std::vector<RecordedCall> calls_;
    std::string file_;
    Clock& clock_;
    size_t next_ = 0;
    std::optional<int64_t> startMs_;
    int ios_ = 0;
    bool ended_ = false;
    std::string difference_;
};

}  // namespace quillox::dvb
