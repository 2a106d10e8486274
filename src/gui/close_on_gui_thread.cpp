#include "gui/close_on_gui_thread.h"

#include "form/window.h"

namespace quillox::gui {

CloseOnGuiThread::CloseOnGuiThread(Window& model, QObject* context, Dialogs& errors)
    : model_(model), gui_(context) {
    model.setCloseRequestHandler([post = gui_.poster(), &model, &errors] {
        post([&model, &errors] { RunGuarded(errors, [&model] { model.Close(); }); });
    });
}

CloseOnGuiThread::~CloseOnGuiThread() {
    model_.setCloseRequestHandler({});
}

}  // namespace quillox::gui
