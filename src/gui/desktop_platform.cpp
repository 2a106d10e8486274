#include "gui/desktop_platform.h"

#include <QDesktopServices>

#include "gui/help_window.h"

namespace quillox::gui {

DesktopShell::DesktopShell(Handler desktop) : desktop_(std::move(desktop)) {
    if (!desktop_) desktop_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

DesktopShell::~DesktopShell() {
    delete help_.data();
}

void DesktopShell::Open(const std::string& pathOrUrl) {
    const QString target = QString::fromStdString(pathOrUrl);
    // A scheme of one letter would be a drive; anything else with a scheme is a link.
    const QUrl parsed(target);
    const QUrl url = parsed.scheme().size() > 1 ? parsed : QUrl::fromLocalFile(target);
    QMetaObject::invokeMethod(
        &context_, [this, url] { OpenOnGuiThread(url); }, Qt::QueuedConnection);
}

void DesktopShell::OpenOnGuiThread(const QUrl& url) {
    if (desktop_(url) || !url.isLocalFile()) return;
    if (help_ == nullptr) {
        help_ = new HelpWindow;
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->showPage(url);
}

}  // namespace quillox::gui
