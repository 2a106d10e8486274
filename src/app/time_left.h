#pragma once
// An estimate of the time a running job has left, from its gauge (whole percent) and the time
// it has taken, for the window's status line and the runner's progress bar.
#include <cstdint>
#include <optional>

namespace quillox {

// The pace is taken at the moment the gauge last moved, not at the present moment: between two
// steps of a whole-percent gauge the time taken grows while the percent stands still, and a
// pace taken now would make the estimate jump up at every step and fall back at the next.
// Only when the gauge stays longer than its pace foretold does the estimate grow, since the job
// has then been slower than that. Not thread-safe: one caller polls it.
class TimeLeftEstimate {
public:
    // percent 0..100 of the job at elapsedMs; nullopt while the gauge has not moved yet.
    std::optional<int64_t> Update(int percent, int64_t elapsedMs);

private:
    int percent_ = 0;
    int64_t movedMs_ = 0;  // when the gauge reached percent_
};

}  // namespace quillox
