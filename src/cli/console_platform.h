#pragma once
// The platform of the headless runner: nobody to answer, so errors and messages go to stderr,
// questions are answered No, file dialogs are cancelled unless the runner queued a file, the
// shell opens nothing and the machine is never switched off: the runner only says what it would
// switch off.
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "platform/platform.h"

namespace quillox::cli {

class ConsoleDialogs : public Dialogs {
public:
    void ErrorBox(const std::string& text) override;
    void MessageBox(const std::string& text) override;
    bool ConfirmBox(const std::string& text) override;
    std::optional<std::string> OpenFileName(const FileDialog& d) override;
    std::optional<std::string> SaveFileName(const FileDialog& d) override;
    void ShowModal(Window& w) override;

    // The answer of the next file dialog (the runner loads list files through the window).
    void QueueFile(const std::string& path);
    int errorCount() const;

private:
    std::optional<std::string> NextFile();

    mutable std::mutex mutex_;
    std::deque<std::string> files_;
    int errors_ = 0;
};

// The clock of a run: real time, or virtual time that starts at the real local time, so that
// the files a virtual-time run writes carry the day and hour they were written.
std::unique_ptr<Clock> MakeRunClock(bool virtualTime);

class NoShell : public Shell {
public:
    void Open(const std::string&) override {}
};

// Every step succeeds; the request prints what would be switched off, and nothing else happens.
class DryRunPower : public PowerControl {
public:
    bool OpenToken() override { return true; }
    bool EnableShutdownPrivilege() override { return true; }
    bool RequestShutdown(bool forced) override;
};

}  // namespace quillox::cli
