#pragma once
// The desktop's side of the platform: opening documents and links, and (not yet) switching
// the machine off.
#include <QObject>

#include "platform/platform.h"

namespace quillox::gui {

// Opens a URL or a local file with the desktop's handler. Callable from any thread: the
// request is handed to the GUI thread and not awaited, as the program ignores the result.
class DesktopShell : public Shell {
public:
    DesktopShell();  // on the GUI thread
    void Open(const std::string& pathOrUrl) override;

private:
    QObject context_;
};

// Switching the machine off is not available in this version: every step refuses, so a job's
// "save and shutdown" saves and closes the program but leaves the machine running. Nothing
// here may ever call anything that can power off.
class RefusingPowerControl : public PowerControl {
public:
    bool OpenToken() override { return false; }
    bool EnableShutdownPrivilege() override { return false; }
    bool RequestShutdown(bool) override { return false; }
};

}  // namespace quillox::gui
