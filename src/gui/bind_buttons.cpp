// What the user clicks: push buttons, check boxes and radio buttons.
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>

#include "form/controls.h"
#include "gui/binders.h"
#include "gui/control_widgets.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindButton(WindowBinder& binder, Button& model, QWidget* parent) {
    auto* view = new QPushButton(parent);
    view->setAutoDefault(false);
    QObject::connect(view, &QPushButton::clicked, view,
                     [&binder, &model] { binder.Guard([&] { model.click(); }); });
    binder.Link(model, view, [&binder, &model, view] {
        view->setText(Q(model.text()));
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

QWidget* BindCheckBox(WindowBinder& binder, CheckBox& model, QWidget* parent) {
    auto* view = new QCheckBox(parent);
    QObject::connect(view, &QCheckBox::clicked, view,
                     [&binder, &model] { binder.Guard([&] { model.click(); }); });
    binder.Link(model, view, [&binder, &model, view] {
        view->setText(Q(model.text()));  // Qt, like the model, shows "&&" as "&"
        view->setChecked(model.checked());
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

QWidget* BindRadioButton(WindowBinder& binder, RadioButton& model, QWidget* parent) {
    auto* view = new ModelRadioButton(parent);
    // One exclusive group per parent, as the model groups its radios.
    auto* group = parent->findChild<QButtonGroup*>("radio_group", Qt::FindDirectChildrenOnly);
    if (group == nullptr) {
        group = new QButtonGroup(parent);
        group->setObjectName("radio_group");
    }
    group->addButton(view);
    QObject::connect(view, &QRadioButton::clicked, view,
                     [&binder, &model] { binder.Guard([&] { model.click(); }); });
    view->onMouseRelease = [&binder, &model] { binder.Guard([&] { model.mouseUp(); }); };
    binder.Link(model, view, [&binder, &model, view, group] {
        view->setText(Q(model.text()));
        const bool checked = model.checked();
        if (checked != view->isChecked()) {
            // An exclusive group refuses to uncheck its checked button by itself.
            group->setExclusive(checked);
            view->setChecked(checked);
            group->setExclusive(true);
        }
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

}  // namespace quillox::gui
