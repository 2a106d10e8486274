#pragma once
// The desktop's side of the platform: opening documents and links, and the machine's power,
// which this window leaves alone.
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

#include "platform/platform.h"

namespace quillox::gui {

class HelpWindow;

// Opens a URL or a local file with the desktop's handler. Callable from any thread: the
// request is handed to the GUI thread and not awaited, as the program ignores the result. A
// local page the desktop cannot open (no program for HTML files) is shown in the program's own
// help window instead.
class DesktopShell : public Shell {
public:
    using Handler = std::function<bool(const QUrl&)>;  // true when the desktop opened it
    explicit DesktopShell(Handler desktop = {});       // on the GUI thread; {} = the desktop's
    ~DesktopShell() override;
    void Open(const std::string& pathOrUrl) override;

private:
    void OpenOnGuiThread(const QUrl& url);

    Handler desktop_;
    QObject context_;
    QPointer<HelpWindow> help_;
};

// Every step of the switch-off refuses, so a job's "save and shutdown" saves and closes the
// program but leaves the machine running. Nothing here may ever call anything that can power
// off.
class RefusingPowerControl : public PowerControl {
public:
    bool OpenToken() override { return false; }
    bool EnableShutdownPrivilege() override { return false; }
    bool RequestShutdown(bool) override { return false; }
};

}  // namespace quillox::gui
