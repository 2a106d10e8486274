#include "gui/gui_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

#include "platform/platform.h"
#include "platform/stop_signal.h"

namespace quillox::gui {

bool OnGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

QueuedCaller::QueuedCaller(QObject* target) : state_(std::make_shared<State>()) {
    state_->target = target;
}

QueuedCaller::~QueuedCaller() {
    std::lock_guard lock(state_->mutex);
    state_->target = nullptr;
}

QueuedCaller::Post QueuedCaller::poster() const {
    return [state = state_](std::function<void()> call) {
        std::lock_guard lock(state->mutex);
        if (state->target == nullptr) return;
        QMetaObject::invokeMethod(state->target, std::move(call), Qt::QueuedConnection);
    };
}

void RunGuarded(Dialogs& errors, const std::function<void()>& action) {
    try {
        action();
    } catch (const JobStopped&) {
        // A stop that reached the GUI thread has nothing left to unwind.
    } catch (const std::exception& error) {
        errors.ErrorBox(error.what());
    } catch (...) {
        errors.ErrorBox("Unknown error");
    }
}

std::string PlainCaption(const std::string& caption) {
    std::string plain;
    plain.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            // "&&" is a literal ampersand; a single "&" only marks a keyboard mnemonic.
            if (i + 1 < caption.size() && caption[i + 1] == '&') plain += '&';
            ++i;
            if (i < caption.size() && caption[i] != '&') plain += caption[i];
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

}  // namespace quillox::gui
