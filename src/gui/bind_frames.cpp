// Containers: group boxes with their caption, and plain panels.
#include <QFrame>
#include <QGroupBox>

#include "form/control.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindGroupBox(WindowBinder& binder, Control& model, QWidget* parent) {
    auto* view = new QGroupBox(parent);
    const bool readOnly = binder.readOnlyGroups.count(model.name()) > 0;
    binder.Link(model, view, [&binder, &model, view, readOnly] {
        view->setTitle(Q(model.text()));
        binder.ShowEnabledAndVisible(model, view);
        // Its edits show the group's state as read-only; the widget itself stays enabled.
        if (readOnly) binder.RefreshInside(model);
    });
    return view;
}

QWidget* BindPanel(WindowBinder& binder, Control& model, QWidget* parent) {
    auto* view = new QFrame(parent);
    view->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    binder.Link(model, view,
                [&binder, &model, view] { binder.ShowEnabledAndVisible(model, view); });
    return view;
}

}  // namespace quillox::gui
