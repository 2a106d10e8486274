#include "form/window.h"

#include "form/control.h"

namespace quillox {

Window::Window(Dialogs& dialogs, std::string caption, int width, int height)
    : dialogs_(dialogs), caption_(std::move(caption)), width_(width), height_(height) {}

void Window::setTop(int top) { top_ = top; }
void Window::setLeft(int left) { left_ = left; }

void Window::Close() {
    if (closing_.exchange(true)) return;  // re-entrant or repeated close: once is enough
    OnClose();
    closed_ = true;
    std::vector<std::function<void()>> toCall;
    {
        std::lock_guard lock(observerMutex_);
        for (const auto& [id, observer] : closedObservers_) toCall.push_back(observer);
    }
    for (const auto& observer : toCall) observer();
    if (!closeOnce_) closing_ = false;
}

void Window::RequestClose() {
    std::function<void()> handler;
    {
        std::lock_guard lock(closeRequestMutex_);
        handler = closeRequestHandler_;
    }
    if (handler)
        handler();
    else
        Close();
}

void Window::setCloseRequestHandler(std::function<void()> handler) {
    std::lock_guard lock(closeRequestMutex_);
    closeRequestHandler_ = std::move(handler);
}

void Window::Reopen() {
    if (closeOnce_) return;
    closed_ = false;
}

int Window::subscribeClosed(std::function<void()> observer) {
    std::lock_guard lock(observerMutex_);
    int id = nextObserverId_++;
    closedObservers_.emplace_back(id, std::move(observer));
    return id;
}

void Window::unsubscribeClosed(int id) {
    std::lock_guard lock(observerMutex_);
    std::erase_if(closedObservers_, [id](const auto& entry) { return entry.first == id; });
}

Control* Window::findControl(const std::string& name) const {
    for (Control* control : controls_)
        if (control->name() == name) return control;
    return nullptr;
}

void Window::registerControl(Control* control) { controls_.push_back(control); }

}  // namespace quillox
