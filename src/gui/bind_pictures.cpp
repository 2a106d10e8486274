// Painted controls: the progress gauges and the pictures (see control_widgets.h).
#include "form/controls.h"
#include "gui/binders.h"
#include "gui/control_widgets.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindGauge(WindowBinder& binder, Gauge& model, QWidget* parent) {
    auto* view = new GaugeWidget(parent);
    binder.Link(model, view, [&binder, &model, view] {
        view->setState(model.position(), model.colour());
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

QWidget* BindPicture(WindowBinder& binder, Picture& model, QWidget* parent) {
    const PictureStyle style =
        binder.pictureStyle ? binder.pictureStyle(model) : PictureStyle::Pixels;
    auto* view = new PictureWidget(parent, model, style);
    view->onClick = [&binder, &model] { binder.Guard([&] { model.click(); }); };
    binder.Link(model, view, [&binder, &model, view] {
        view->refresh();
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

}  // namespace quillox::gui
