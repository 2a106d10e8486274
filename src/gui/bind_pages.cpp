// The page control as a tab widget, each page as one of its tabs.
#include <QSignalBlocker>
#include <QTabWidget>

#include "form/controls.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {

QWidget* BindPageControl(WindowBinder& binder, PageControl& model, QWidget* parent) {
    auto* view = new QTabWidget(parent);
    QObject::connect(view, &QTabWidget::currentChanged, view, [&binder, &model, view](int index) {
        Control* page = binder.control(view->widget(index));
        if (page != nullptr && page->kind() == ControlKind::Page)
            binder.Guard([&] { model.setActivePage(static_cast<Page*>(page)); });
    });
    binder.Link(model, view, [&binder, &model, view] {
        const QSignalBlocker block(view);
        if (Page* active = model.activePage())
            if (QWidget* page = binder.widget(*active)) view->setCurrentWidget(page);
        binder.ShowEnabledAndVisible(model, view);
    });
    return view;
}

QWidget* BindPage(WindowBinder& binder, Page& model, QWidget* parent) {
    auto* tabs = qobject_cast<QTabWidget*>(parent);
    auto* view = new QWidget(parent);
    if (tabs != nullptr) tabs->addTab(view, Q(model.text()));
    binder.Link(model, view, [&model, view, tabs] {
        if (!model.enabled() || !model.visible()) LetGoOfFocus(view);
        view->setEnabled(model.enabled());  // the tab stays selectable, its controls do not
        if (tabs == nullptr) return;
        const QSignalBlocker block(tabs);
        const int index = tabs->indexOf(view);
        tabs->setTabText(index, Q(model.text()));
        tabs->setTabVisible(index, model.visible());
    });
    return view;
}

}  // namespace quillox::gui
