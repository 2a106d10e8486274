#include "cli/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace quillox::cli {
namespace {
constexpr int kBarWidth = 30;
}

std::string ClockText(int64_t ms) {
    const int64_t s = std::max<int64_t>(ms, 0) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
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
    // The rest in proportion to what took the time so far.
    line += percent > 0 ? "  about " + ClockText(elapsedMs * (100 - percent) / percent) + " left"
                        : "  estimating";
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
