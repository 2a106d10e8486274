#pragma once
// The desktop's side of the platform: opening documents and links.
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

}  // namespace quillox::gui
