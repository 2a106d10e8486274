#include "gui/desktop_platform.h"

#include <QDesktopServices>
#include <QUrl>

namespace quillox::gui {

DesktopShell::DesktopShell() = default;

void DesktopShell::Open(const std::string& pathOrUrl) {
    const QString target = QString::fromStdString(pathOrUrl);
    // A scheme of one letter would be a drive; anything else with a scheme is a link.
    const QUrl parsed(target);
    const QUrl url = parsed.scheme().size() > 1 ? parsed : QUrl::fromLocalFile(target);
    QMetaObject::invokeMethod(&context_, [url] { QDesktopServices::openUrl(url); },
                              Qt::QueuedConnection);
}

}  // namespace quillox::gui
