#pragma once
// Joins one model control to the Qt object that shows it (a widget, a menu action, a timer).
// See window_binder.h for the threading rules.
#include <QObject>
#include <functional>
#include <memory>

namespace quillox {
class Control;
}

namespace quillox::gui {

// Owned by its view (a QObject child), so a refresh still queued for a view that is gone is
// dropped by Qt.
class ControlLink : public QObject {
public:
    // apply copies the control's whole state into the view; focus gives the view the keyboard
    // focus (by default a widget view takes it, any other view ignores the request). Both run
    // on the GUI thread only; apply runs once here to show the starting state.
    ControlLink(Control& control, QObject* view, std::function<void()> apply,
                std::function<void()> focus = {});
    ~ControlLink() override;

    void apply() { apply_(); }  // GUI thread

private:
    struct Relay;
    void Refresh();

    Control& control_;
    std::function<void()> apply_;
    std::function<void()> focus_;
    std::shared_ptr<Relay> relay_;
    int id_ = 0;
};

}  // namespace quillox::gui
