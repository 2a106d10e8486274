#include "gui/control_link.h"

#include <QWidget>
#include <atomic>
#include <mutex>

#include "form/control.h"

namespace quillox::gui {

// The part of a link that the model's observer holds: it outlives the link, so a notification
// racing with the link's destruction finds the target gone instead of a dangling pointer.
struct ControlLink::Relay {
    std::mutex mutex;               // guards target
    ControlLink* target = nullptr;  // null once the link is gone
    std::atomic<bool> stateChanged{false};
    std::atomic<bool> focusAsked{false};
    std::atomic<bool> queued{false};  // a refresh is on its way to the GUI thread

    // Runs on the changing thread: notes what the notification is about and queues one
    // refresh unless one is already waiting, which will then see this note too.
    void Note(Change change) {
        (change == Change::Focus ? focusAsked : stateChanged) = true;
        if (queued.exchange(true)) return;
        std::lock_guard lock(mutex);
        if (target == nullptr) return;
        ControlLink* link = target;
        QMetaObject::invokeMethod(
            link, [link] { link->Refresh(); }, Qt::QueuedConnection);
    }
};

ControlLink::ControlLink(Control& control, QObject* view, std::function<void()> apply,
                         std::function<void()> focus)
    : QObject(view),
      control_(control),
      apply_(std::move(apply)),
      focus_(std::move(focus)),
      relay_(std::make_shared<Relay>()) {
    if (!focus_) {
        focus_ = [view] {
            if (auto* widget = qobject_cast<QWidget*>(view)) widget->setFocus(Qt::OtherFocusReason);
        };
    }
    relay_->target = this;
    id_ = control.subscribe([relay = relay_](Change change) { relay->Note(change); });
    apply_();
}

ControlLink::~ControlLink() {
    {
        std::lock_guard lock(relay_->mutex);
        relay_->target = nullptr;
    }
    control_.unsubscribe(id_);
}

// On the GUI thread. The state goes first, so a focus request selects the text now shown.
void ControlLink::Refresh() {
    relay_->queued = false;
    if (relay_->stateChanged.exchange(false)) apply_();
    if (relay_->focusAsked.exchange(false)) focus_();
}

}  // namespace quillox::gui
