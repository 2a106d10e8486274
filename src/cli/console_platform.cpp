#include "cli/console_platform.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace quillox::cli {
namespace {

// Message texts hold line breaks; on a console one line reads better.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

std::unique_ptr<Clock> MakeRunClock(bool virtualTime) {
    if (!virtualTime) return std::make_unique<RealClock>();
    return std::make_unique<VirtualClock>(RealClock().Now());
}

void ConsoleDialogs::ErrorBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    ++errors_;
    std::cerr << "error: " << OneLine(text) << std::endl;
}

void ConsoleDialogs::MessageBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    std::cerr << OneLine(text) << std::endl;
}

bool ConsoleDialogs::ConfirmBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    std::cerr << OneLine(text) << " -> No" << std::endl;
    return false;
}

std::optional<std::string> ConsoleDialogs::OpenFileName(const FileDialog&) {
    return NextFile();
}
std::optional<std::string> ConsoleDialogs::SaveFileName(const FileDialog&) {
    return NextFile();
}
void ConsoleDialogs::ShowModal(Window&) {}

void ConsoleDialogs::QueueFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    files_.push_back(path);
}

int ConsoleDialogs::errorCount() const {
    std::lock_guard lock(mutex_);
    return errors_;
}

std::optional<std::string> ConsoleDialogs::NextFile() {
    std::lock_guard lock(mutex_);
    if (files_.empty()) return std::nullopt;
    std::string path = files_.front();
    files_.pop_front();
    return path;
}

bool DryRunPower::RequestShutdown(bool forced) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    std::printf("Save & Shutdown: would now switch off %s (%s)\n", *host ? host : "this machine",
                forced ? "forced: power-off not waiting for blocking inhibitors"
                       : "power-off through logind, honouring inhibitors");
    std::fflush(stdout);
    return true;
}

}  // namespace quillox::cli
