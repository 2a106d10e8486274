// The track bar as a horizontal slider with a tick per step.
#include <QSignalBlocker>
#include <QSlider>

#include "form/controls.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindTrackBar(WindowBinder& binder, TrackBar& model, QWidget* parent) {
    auto* view = new QSlider(Qt::Horizontal, parent);
    view->setRange(model.min(), model.max());
    view->setPageStep(1);
    view->setTickPosition(QSlider::TicksBelow);
    view->setTickInterval(1);
    QObject::connect(view, &QSlider::valueChanged, view, [&binder, &model](int value) {
        binder.Guard([&] { model.setPosition(value); });
    });
    binder.Link(model, view, [&binder, &model, view] {
        const QSignalBlocker block(view);
        view->setValue(model.position());
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

}  // namespace quillox::gui
