#pragma once
// A job's Save & Shutdown asks the main window to close from the job's own thread. This hands
// every such request to the GUI thread, where the close handling then runs as after a user's
// close, and the Qt window ends cleanly; the job's thread only posts and returns.
#include <QObject>

#include "gui/gui_thread.h"

namespace quillox {
class Dialogs;
class Window;
}  // namespace quillox

namespace quillox::gui {

class CloseOnGuiThread {
public:
    // context: an object living on the GUI thread for at least as long as this hand-off.
    CloseOnGuiThread(Window& model, QObject* context, Dialogs& errors);
    ~CloseOnGuiThread();  // on the GUI thread; later requests close on their own thread
    CloseOnGuiThread(const CloseOnGuiThread&) = delete;
    CloseOnGuiThread& operator=(const CloseOnGuiThread&) = delete;

private:
    Window& model_;
    QueuedCaller gui_;
};

}  // namespace quillox::gui
