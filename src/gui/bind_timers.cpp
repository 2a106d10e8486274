// Model timers hold state only; a QTimer per model timer makes them tick on the GUI thread.
#include <QTimer>
#include <algorithm>
#include <memory>

#include "form/controls.h"
#include "form/window.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {

void BindTimers(WindowBinder& binder, QObject* owner) {
    for (Control* control : binder.window().controls()) {
        if (control->kind() != ControlKind::Timer) continue;
        auto* model = static_cast<Timer*>(control);
        auto* timer = new QTimer(owner);
        timer->setObjectName(Q(model->name()));
        // A tick whose handler shows an error box must not be re-entered by the next tick.
        auto busy = std::make_shared<bool>(false);
        QObject::connect(timer, &QTimer::timeout, timer, [&binder, model, busy] {
            if (*busy) return;
            *busy = true;
            binder.Guard([model] { model->tick(); });
            *busy = false;
        });
        binder.Link(*model, timer, [model, timer] {
            timer->setInterval(std::max(1, model->interval()));
            if (model->enabled() && !timer->isActive()) timer->start();
            if (!model->enabled() && timer->isActive()) timer->stop();
        });
    }
}

}  // namespace quillox::gui
