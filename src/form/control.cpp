#include "form/control.h"

#include "form/window.h"

namespace quillox {

Control::Control(Window& owner, Control* parent, ControlKind kind, std::string name,
                 std::string text)
    : text_(std::move(text)), owner_(owner), parent_(parent), kind_(kind), name_(std::move(name)) {
    owner_.registerControl(this);
}

std::string Control::text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

void Control::setText(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        if (text_ == text) return;
        text_ = text;
    }
    Notify();
}

bool Control::enabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void Control::setEnabled(bool enabled) {
    {
        std::lock_guard lock(mutex_);
        if (enabled_ == enabled) return;
        enabled_ = enabled;
    }
    Notify();
}

bool Control::visible() const {
    std::lock_guard lock(mutex_);
    return visible_;
}

void Control::setVisible(bool visible) {
    {
        std::lock_guard lock(mutex_);
        if (visible_ == visible) return;
        visible_ = visible;
    }
    Notify();
}

void Control::setFocus() {
    owner_.noteFocus(this);
    Notify(Change::Focus);
}

int Control::subscribe(std::function<void()> observer) {
    return subscribe([observer = std::move(observer)](Change) { observer(); });
}

int Control::subscribe(std::function<void(Change)> observer) {
    std::lock_guard lock(observerMutex_);
    int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void Control::unsubscribe(int id) {
    std::lock_guard lock(observerMutex_);
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Control::Notify(Change change) {
    std::vector<std::function<void(Change)>> toCall;
    {
        std::lock_guard lock(observerMutex_);
        for (const auto& [id, observer] : observers_) toCall.push_back(observer);
    }
    for (const auto& observer : toCall) observer(change);
}

std::string Control::hint() const {
    std::lock_guard lock(mutex_);
    return hint_;
}

void Control::setHint(std::string hint) {
    {
        std::lock_guard lock(mutex_);
        hint_ = std::move(hint);
    }
    Notify();
}

}  // namespace quillox
