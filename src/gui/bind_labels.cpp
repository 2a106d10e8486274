// Static captions, and the link labels that run an action when clicked.
#include <QLabel>

#include "form/control.h"
#include "gui/binders.h"
#include "gui/control_widgets.h"
#include "gui/gui_thread.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindLabel(WindowBinder& binder, Control& model, QWidget* parent) {
    QLabel* view = nullptr;
    auto action = binder.linkActions.find(model.name());
    if (action != binder.linkActions.end()) {
        auto* link = new LinkLabel(parent);
        link->onClick = [&binder, run = action->second] { binder.Guard(run); };
        view = link;
    } else {
        view = new QLabel(parent);
    }
    view->setTextFormat(Qt::PlainText);
    binder.Link(model, view, [&binder, &model, view] {
        view->setText(Q(PlainCaption(model.text())));
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

}  // namespace quillox::gui
