#include "gui/help_window.h"

#include <QFileInfo>

namespace quillox::gui {

HelpWindow::HelpWindow() {
    setObjectName("help_window");
    setWindowTitle("Quillox - Help");
    setOpenExternalLinks(true);
    resize(820, 640);
}

void HelpWindow::showPage(const QUrl& page) {
    if (QFileInfo(page.toLocalFile()).isReadable()) {
        setSource(page);
        if (!documentTitle().isEmpty()) setWindowTitle(documentTitle());
    } else {
        setPlainText("The help page " + page.toLocalFile() + " cannot be read.");
    }
    show();
    raise();
    activateWindow();
}

}  // namespace quillox::gui
