#pragma once
// A one-line progress bar with the time left, redrawn in place on a terminal.
#include <cstdint>
#include <string>

#include "app/time_left.h"
#include "base/number_text.h"

namespace quillox::cli {

class ProgressBar {
public:
    ProgressBar(std::string label, bool enabled);
    // percent 0..100 of the job; elapsedMs on the window's clock, which also gives the estimate.
    void Draw(int percent, int64_t elapsedMs);
    void Finish();  // clears the line

private:
    std::string label_;
    bool enabled_;
    TimeLeftEstimate estimate_;
    std::string lastLine_;  // redrawn only when it changes
};

}  // namespace quillox::cli
