#pragma once
// A one-line progress bar with the time left, redrawn in place on a terminal.
#include <cstdint>
#include <string>

namespace quillox::cli {

// "1:02:03" for a duration in milliseconds.
std::string ClockText(int64_t ms);

class ProgressBar {
public:
    ProgressBar(std::string label, bool enabled);
    // percent 0..100 of the job; elapsedMs on the window's clock, which also gives the estimate.
    void Draw(int percent, int64_t elapsedMs);
    void Finish();  // clears the line

private:
    std::string label_;
    bool enabled_;
    std::string lastLine_;  // redrawn only when it changes
};

}  // namespace quillox::cli
