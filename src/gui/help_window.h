#pragma once
// The program's own help window: shows a local HTML page when the desktop has no program for
// it.
#include <QTextBrowser>
#include <QUrl>

namespace quillox::gui {

class HelpWindow : public QTextBrowser {
public:
    HelpWindow();
    void showPage(const QUrl& page);  // a local file; a missing one is named in the window
};

}  // namespace quillox::gui
