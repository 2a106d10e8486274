#include "gui/qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/about_box.h"
#include "app/form_signal.h"
#include "form/file_dialog.h"
#include "gui/gui_thread.h"
#include "gui/modal_windows.h"
#include "platform/stop_signal.h"

namespace quillox::gui {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A call handed to the GUI thread and the worker waiting for it.
struct PendingCall {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool withdrawn = false;  // the caller stopped waiting: do not show, or close at once
    std::exception_ptr error;
};

QMessageBox::StandardButton RunBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                   QMessageBox::StandardButtons buttons, QPointer<QDialog>& slot) {
    QMessageBox box(icon, QCoreApplication::applicationName(), Q(text), buttons, parent);
    slot = &box;
    box.exec();
    return box.standardButton(box.clickedButton());
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters;
}

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

void QtDialogs::RunModal(Show show) {
    if (OnGuiThread()) {
        Slot slot;
        show(slot);
        return;
    }
    auto call = std::make_shared<PendingCall>();
    auto slot = std::make_shared<Slot>();
    QMetaObject::invokeMethod(
        &context_,
        [call, slot, show] {
            {
                std::lock_guard lock(call->mutex);
                if (call->withdrawn) return;
            }
            try {
                show(*slot);
            } catch (...) {
                call->error = std::current_exception();
            }
            {
                std::lock_guard lock(call->mutex);
                call->done = true;
            }
            call->finished.notify_all();
        },
        Qt::QueuedConnection);

    StopSignal* stop = CurrentStopSignal();
    std::unique_lock lock(call->mutex);
    while (!call->done) {
        if (stop != nullptr && stop->requested()) {
            call->withdrawn = true;
            lock.unlock();
            QMetaObject::invokeMethod(
                &context_,
                [slot] {
                    if (slot->dialog) slot->dialog->reject();
                },
                Qt::QueuedConnection);
            throw JobStopped();
        }
        call->finished.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (call->error) std::rethrow_exception(call->error);
}

void QtDialogs::ErrorBox(const std::string& text) {
    RunModal([this, text](Slot& slot) {
        RunBox(parent_, QMessageBox::Critical, text, QMessageBox::Ok, slot.dialog);
    });
}

void QtDialogs::MessageBox(const std::string& text) {
    RunModal([this, text](Slot& slot) {
        RunBox(parent_, QMessageBox::NoIcon, text, QMessageBox::Ok, slot.dialog);
    });
}

bool QtDialogs::ConfirmBox(const std::string& text) {
    auto yes = std::make_shared<bool>(false);
    RunModal([this, text, yes](Slot& slot) {
        *yes = RunBox(parent_, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                      slot.dialog) == QMessageBox::Yes;
    });
    return *yes;
}

std::optional<std::string> QtDialogs::OpenFileName(const FileDialog& d) {
    return AskFileName(d, false);
}
std::optional<std::string> QtDialogs::SaveFileName(const FileDialog& d) {
    return AskFileName(d, true);
}

std::optional<std::string> QtDialogs::AskFileName(const FileDialog& d, bool save) {
    // Copied now: the model dialog is not touched from the GUI thread.
    const QString defaultExt = Q(d.defaultExt());
    const QStringList filters = QtNameFilters(d.filter());
    const QString initial = Q(d.fileName());
    auto answer = std::make_shared<std::optional<std::string>>();
    RunModal([this, save, defaultExt, filters, initial, answer](Slot& slot) {
        QFileDialog dialog(parent_);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The program asks its own question before replacing a file.
        if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!filters.isEmpty()) dialog.setNameFilters(filters);
        dialog.setDefaultSuffix(defaultExt);
        if (initial.contains('/')) {
            const QFileInfo info(initial);
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        } else if (!initial.isEmpty()) {
            dialog.selectFile(initial);
        }
        slot.dialog = &dialog;
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            *answer = dialog.selectedFiles().first().toStdString();
    });
    return *answer;
}

void QtDialogs::ShowModal(Window& w) {
    RunModal([this, &w](Slot& slot) {
        std::unique_ptr<BoundDialog> dialog;
        if (auto* about = dynamic_cast<TAboutBox*>(&w))
            dialog = std::make_unique<AboutDialog>(*about, *this, parent_);
        else if (auto* signal = dynamic_cast<TForm_Signal*>(&w))
            dialog = std::make_unique<SignalWindow>(*signal, *this, parent_);
        if (!dialog) return;
        slot.dialog = dialog.get();
        dialog->run();
    });
}

}  // namespace quillox::gui
