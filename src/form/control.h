#pragma once
// Base of the control model: a named control with a text, enabled and visible state and
// observers. All calls are safe from any thread. Each control guards its own state with its own
// mutex; handlers and observers always run after that lock is released, on the calling thread.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace quillox {

class Window;

enum class ControlKind {
    Edit, ComboBox, CheckBox, RadioButton, Button, MenuItem, Menu, Lines, Gauge, Picture,
    Page, PageControl, GroupBox, Panel, Label, TrackBar, Timer
};

// What a notification is about: a change of the control's state (text, enabled, checked,
// lines, position ...) or a request for the keyboard focus (setFocus, ComboBox::selectAll),
// which changes no state. A state change never asks for the focus.
enum class Change { State, Focus };

class Control {
public:
    Control(Window& owner, Control* parent, ControlKind kind, std::string name, std::string text);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    ControlKind kind() const { return kind_; }
    Control* parent() const { return parent_; }
    Window& owner() const { return owner_; }

    virtual std::string text() const;
    virtual void setText(const std::string& text);
    bool enabled() const;
    void setEnabled(bool enabled);
    bool visible() const;
    void setVisible(bool visible);
    void setFocus();
    // A short help text the front end shows when the pointer rests on the control (a tooltip).
    std::string hint() const;
    void setHint(std::string hint);

    // Observers are called after every change, from the changing thread. The first kind hears
    // of every notification; the second also learns what it is about.
    int subscribe(std::function<void()> observer);
    int subscribe(std::function<void(Change)> observer);
    void unsubscribe(int id);

protected:
    void Notify(Change change = Change::State);
    mutable std::mutex mutex_;  // guards the state of this control and of its subclass
    std::string text_;

private:
    std::string hint_;
    Window& owner_;
    Control* parent_;
    ControlKind kind_;
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;

    std::mutex observerMutex_;
    std::vector<std::pair<int, std::function<void(Change)>>> observers_;
    int nextObserverId_ = 1;
};

// Runs a handler if one is set (handlers are optional until the form wires them).
inline void Fire(const std::function<void()>& handler) {
    if (handler) handler();
}

}  // namespace quillox
