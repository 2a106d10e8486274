#include "cli/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace quillox::cli {
namespace {
constexpr int kBarWidth = 30;
}

ProgressBar::ProgressBar(std::string label, bool enabled)
    : label_(std::move(label)), enabled_(enabled) {}

void ProgressBar::Draw(int percent, int64_t elapsedMs) {
    if (!enabled_) return;
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * kBarWidth / 100;
    std::string line = "[";
    line.append(filled, '#').append(kBarWidth - filled, '.').append("] ");
    line += std::to_string(percent) + "%  " + label_ + "  " + ClockText(elapsedMs);
    const std::optional<int64_t> left = estimate_.Update(percent, elapsedMs);
    line += left ? "  about " + ClockText(*left) + " left" : "  estimating";
    if (line == lastLine_) return;
    // Blanks over what is left of a longer previous line.
    const std::string padding(lastLine_.size() > line.size() ? lastLine_.size() - line.size() : 0,
                              ' ');
    lastLine_ = line;
    std::fputs(("\r" + line + padding).c_str(), stdout);
    std::fflush(stdout);
}

void ProgressBar::Finish() {
    if (!enabled_ || lastLine_.empty()) return;
    std::string blank = "\r";
    blank.append(lastLine_.size(), ' ').append("\r");
    std::fputs(blank.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace quillox::cli
