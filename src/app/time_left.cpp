#include "app/time_left.h"

#include <algorithm>

namespace quillox {

std::optional<int64_t> TimeLeftEstimate::Update(int percent, int64_t elapsedMs) {
    percent = std::clamp(percent, 0, 100);
    if (percent != percent_) {
        percent_ = percent;
        movedMs_ = elapsedMs;
    }
    if (percent_ == 0) return std::nullopt;
    if (percent_ == 100) return 0;
    // The whole job at the pace it had when the gauge last moved; at least what the time taken
    // so far gives once the next percent is overdue.
    const int64_t atPace = movedMs_ * 100 / percent_;
    const int64_t overdue = elapsedMs * 100 / (percent_ + 1);
    return std::max<int64_t>(0, std::max(atPace, overdue) - elapsedMs);
}

}  // namespace quillox
