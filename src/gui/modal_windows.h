#pragma once
// The program's two secondary windows as Qt dialogs bound to their model windows: the About
// box and the full-screen signal window. Each closes when its model window's Close() fires.
#include <QDialog>

#include "gui/window_binder.h"
#include "gui/gui_thread.h"

namespace quillox {
class Dialogs;
class TAboutBox;
class TForm_Signal;
class Window;
}

namespace quillox::gui {

class BoundDialog : public QDialog {
public:
    BoundDialog(Window& model, Dialogs& errors, QWidget* parent);
    ~BoundDialog() override;
    WindowBinder& binder() { return binder_; }
    // Shows the dialog modally; a dialog dismissed with Escape or its close button still runs
    // the model's Close(), so the model knows the window is gone.
    void run();

protected:
    Window& model_;
    WindowBinder binder_;

private:
    QueuedCaller gui_;
    int closedId_ = 0;
};

class AboutDialog : public BoundDialog {
public:
    AboutDialog(TAboutBox& box, Dialogs& errors, QWidget* parent);
};

class SignalWindow : public BoundDialog {
public:
    SignalWindow(TForm_Signal& form, Dialogs& errors, QWidget* parent);
};

}  // namespace quillox::gui
