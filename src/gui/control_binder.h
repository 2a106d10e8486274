#pragma once
// Builds one widget per control of a model window and keeps the two in step.
//
// Threads: model observers run on whatever thread changed the control (often a job worker).
// They never touch a widget; they post one queued, context-bound refresh to the widget's link
// object, which then reads the whole model state on the GUI thread. Refreshes coalesce, so a
// worker appending many lines costs one repaint per event-loop turn. User input goes the other
// way synchronously on the GUI thread, inside RunGuarded.
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/control_widgets.h"

namespace quillox {
class Control;
class Dialogs;
class Window;
}

namespace quillox::gui {

class ControlLink;

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
    Window& window() const { return window_; }
    Dialogs& errors() const { return errors_; }
    void Guard(const std::function<void()>& action) const;

    // Called for each created widget before linking; lets a window pick a widget type.
    std::function<PictureStyle(const Picture&)> pictureStyle;
    // Link labels: label name -> action (the About box's web links).
    std::map<std::string, std::function<void()>> linkActions;

private:
    QWidget* Create(Control& control, QWidget* parent);
    void Link(Control& control, QObject* widget, std::function<void()> apply);

    Window& window_;
    Dialogs& errors_;
    std::map<const Control*, QWidget*> widgets_;
    std::vector<QPointer<ControlLink>> links_;
};

}  // namespace quillox::gui
