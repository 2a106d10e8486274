// The menu bar: a menu per model Menu, an action per MenuItem.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <map>

#include "form/controls.h"
#include "form/window.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {
namespace {

void ShowOnAction(const Control& model, QAction* action) {
    action->setText(Q(model.text()));  // "&File": Qt reads "&" as the model does
    action->setEnabled(model.enabled());
    action->setVisible(model.visible());
}

}  // namespace

void BindMenus(WindowBinder& binder, QMenuBar* bar) {
    std::map<const Control*, QMenu*> menus;
    for (Control* control : binder.window().controls()) {
        if (control->kind() == ControlKind::Menu) {
            QMenu* menu = bar->addMenu(Q(control->text()));
            menu->setObjectName(Q(control->name()));
            menus[control] = menu;
            binder.Link(*control, menu,
                        [control, action = menu->menuAction()] { ShowOnAction(*control, action); });
        } else if (control->kind() == ControlKind::MenuItem && menus.count(control->parent())) {
            auto* item = static_cast<MenuItem*>(control);
            QAction* action = menus[control->parent()]->addAction(Q(item->text()));
            action->setObjectName(Q(item->name()));
            QObject::connect(action, &QAction::triggered, action,
                             [&binder, item] { binder.Guard([item] { item->click(); }); });
            binder.Link(*item, action, [item, action] { ShowOnAction(*item, action); });
        }
    }
}

}  // namespace quillox::gui
