#pragma once
// Message boxes, file dialogs and the modal secondary windows, shown with Qt.
//
// Threads: every call blocks until answered and may come from any thread. From the GUI thread
// the dialog runs at once. From another thread the call is queued to the GUI thread and
// awaited; a job worker waits in a loop that also watches its stop signal, because the GUI
// thread may itself be waiting for that worker to end (a Stop button joins it). On a stop
// request the worker leaves with JobStopped, the dialog is withdrawn (or never shown) and its
// answer is dropped.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/platform.h"

class QDialog;

namespace quillox::gui {

// "Desc  *.ext|*.ext|Other|*.a;*.b" -> {"Desc  *.ext (*.ext)", "Other (*.a *.b)"}.
QStringList QtNameFilters(const std::string& filter);

class QtDialogs : public Dialogs {
public:
    QtDialogs();  // on the GUI thread
    ~QtDialogs() override;
    void setParentWindow(QWidget* window) { parent_ = window; }

    void ErrorBox(const std::string& text) override;
    void MessageBox(const std::string& text) override;
    bool ConfirmBox(const std::string& text) override;
    std::optional<std::string> OpenFileName(const FileDialog& d) override;
    std::optional<std::string> SaveFileName(const FileDialog& d) override;
    void ShowModal(Window& w) override;

private:
    // Where a running dialog is kept so that a stopped worker can withdraw it (GUI thread).
    struct Slot {
        QPointer<QDialog> dialog;
    };
    using Show = std::function<void(Slot&)>;
    // Runs show on the GUI thread and waits for it. show may capture only values and shared
    // state: a stopped worker stops waiting while show may still run.
    void RunModal(Show show);
    std::optional<std::string> AskFileName(const FileDialog& d, bool save);

    QObject context_;  // lives on the GUI thread; queued calls are bound to it
    QPointer<QWidget> parent_;
};

}  // namespace quillox::gui
