#pragma once
// Builds one widget per control of a model window and keeps the two in step. How each kind of
// control is shown and what input it forwards lives in its binder (binders.h).
//
// Threads: model observers run on whatever thread changed the control (often a job worker).
// They never touch a widget; they post one queued, context-bound refresh to the widget's link
// object, which then reads the whole model state on the GUI thread. Refreshes coalesce, so a
// worker appending many lines costs one repaint per event-loop turn. The model says what each
// notification is about: only a focus request (setFocus, selectAll) moves the keyboard focus,
// never a change of state (a widget being disabled or hidden lets the focus go rather than
// pass it on). User input goes the other way synchronously on the GUI thread, inside
// RunGuarded.
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "gui/control_widgets.h"

namespace quillox {
class Control;
class Dialogs;
class Window;
}  // namespace quillox

namespace quillox::gui {

class ControlLink;

// Takes the keyboard focus from a widget about to be disabled or hidden, or from a widget in
// it, without handing it to another widget.
void LetGoOfFocus(QWidget* widget);

class WindowBinder {
public:
    WindowBinder(Window& window, Dialogs& errors);
    ~WindowBinder();  // unlinks every widget before the model or the widgets go away
    WindowBinder(const WindowBinder&) = delete;
    WindowBinder& operator=(const WindowBinder&) = delete;

    // Creates the widgets of all controls except menus, menu items and timers, each under the
    // widget of its model parent (controls without a parent go under root), and links them.
    void Build(QWidget* root);

    // One menu per model Menu with an action per MenuItem (object names as in the model).
    void BuildMenus(QMenuBar* bar);
    // One QTimer per model Timer, following its enabled state and interval; ticks run on the
    // GUI thread.
    void BuildTimers(QObject* owner);

    QWidget* widget(const std::string& name) const;
    QWidget* widget(const Control& control) const;
    Control* control(const QWidget* widget) const;  // the control shown by a built widget
    Window& window() const { return window_; }
    Dialogs& errors() const { return errors_; }
    void Guard(const std::function<void()>& action) const;

    // Keeps a view in step with its control (see ControlLink): apply after every change of
    // state, focus when the model asks for the keyboard focus.
    void Link(Control& control, QObject* view, std::function<void()> apply,
              std::function<void()> focus = {});

    // Shows the control's enabled and visible state on its widget (see LetGoOfFocus).
    void ShowEnabledAndVisible(const Control& control, QWidget* widget) const;
    // True when a read-only group around the control is disabled in the model: its edits are
    // then read-only rather than greyed.
    bool HeldReadOnly(const Control& control) const;
    // Re-applies the state of every control inside a container (GUI thread).
    void RefreshInside(const Control& container);

    // Set before Build. How each model picture is drawn.
    std::function<PictureStyle(const Picture&)> pictureStyle;
    // Link labels: label name -> action (the About box's web links).
    std::map<std::string, std::function<void()>> linkActions;
    // Groups that only show readings: the model disables them so that nothing in them can be
    // edited. Their widgets stay enabled and readable, and their edits turn read-only instead.
    std::set<std::string> readOnlyGroups;

private:
    QWidget* Create(Control& control, QWidget* parent);
    bool IsReadOnlyGroup(const Control& control) const;

    Window& window_;
    Dialogs& errors_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<const Control*, QPointer<ControlLink>> links_;
};

}  // namespace quillox::gui
