#include "gui/window_binder.h"

#include "form/controls.h"
#include "form/window.h"
#include "gui/binders.h"
#include "gui/control_link.h"
#include "gui/gui_thread.h"

namespace quillox::gui {

WindowBinder::WindowBinder(Window& window, Dialogs& errors) : window_(window), errors_(errors) {}

WindowBinder::~WindowBinder() {
    for (const auto& [control, link] : links_) delete link.data();
}

void WindowBinder::Guard(const std::function<void()>& action) const {
    RunGuarded(errors_, action);
}

QWidget* WindowBinder::widget(const std::string& name) const {
    Control* control = window_.findControl(name);
    return control == nullptr ? nullptr : widget(*control);
}

QWidget* WindowBinder::widget(const Control& control) const {
    auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second;
}

Control* WindowBinder::control(const QWidget* widget) const {
    for (const auto& [control, view] : widgets_)
        if (view == widget) return const_cast<Control*>(control);
    return nullptr;
}

void WindowBinder::Build(QWidget* root) {
    // Controls are registered in declaration order, so a parent always precedes its children.
    for (Control* control : window_.controls()) {
        const ControlKind kind = control->kind();
        if (kind == ControlKind::Menu || kind == ControlKind::MenuItem ||
            kind == ControlKind::Timer)
            continue;
        QWidget* parent = control->parent() == nullptr ? root : widget(*control->parent());
        if (parent == nullptr) continue;  // child of a menu or timer: not a widget
        QWidget* created = Create(*control, parent);
        created->setObjectName(Q(control->name()));
        if (const std::string hint = control->hint(); !hint.empty()) created->setToolTip(Q(hint));
        widgets_[control] = created;
    }
}

void WindowBinder::BuildMenus(QMenuBar* bar) {
    BindMenus(*this, bar);
}

void WindowBinder::BuildTimers(QObject* owner) {
    BindTimers(*this, owner);
}

void WindowBinder::Link(Control& control, QObject* view, std::function<void()> apply,
                        std::function<void()> focus) {
    links_[&control] = new ControlLink(control, view, std::move(apply), std::move(focus));
}

// Qt hands the focus of a widget it disables or hides to the next one in the Tab order, and a
// line edit that gets the focus that way selects its text: a job disabling the button that
// started it would drop the user into another field. The focus is let go instead, as the
// model moves it only when asked to.
void LetGoOfFocus(QWidget* widget) {
    QWidget* focused = widget->window()->focusWidget();
    if (focused != nullptr && (focused == widget || widget->isAncestorOf(focused)))
        focused->clearFocus();
}

bool WindowBinder::IsReadOnlyGroup(const Control& control) const {
    return control.kind() == ControlKind::GroupBox && readOnlyGroups.count(control.name()) > 0;
}

void WindowBinder::ShowEnabledAndVisible(const Control& control, QWidget* widget) const {
    const bool enabled = control.enabled() || IsReadOnlyGroup(control);
    const bool visible = control.visible();
    const bool leaving = (!enabled && widget->isEnabled()) || (!visible && !widget->isHidden());
    if (leaving) LetGoOfFocus(widget);
    widget->setEnabled(enabled);
    widget->setVisible(visible);
}

bool WindowBinder::HeldReadOnly(const Control& control) const {
    for (const Control* c = control.parent(); c != nullptr; c = c->parent())
        if (IsReadOnlyGroup(*c) && !c->enabled()) return true;
    return false;
}

void WindowBinder::RefreshInside(const Control& container) {
    for (const auto& [control, link] : links_) {
        if (link.isNull()) continue;
        for (const Control* c = control->parent(); c != nullptr; c = c->parent())
            if (c == &container) {
                link->apply();
                break;
            }
    }
}

QWidget* WindowBinder::Create(Control& control, QWidget* parent) {
    switch (control.kind()) {
    case ControlKind::Edit:
        return BindEdit(*this, static_cast<Edit&>(control), parent);
    case ControlKind::ComboBox:
        return BindComboBox(*this, static_cast<ComboBox&>(control), parent);
    case ControlKind::CheckBox:
        return BindCheckBox(*this, static_cast<CheckBox&>(control), parent);
    case ControlKind::RadioButton:
        return BindRadioButton(*this, static_cast<RadioButton&>(control), parent);
    case ControlKind::Button:
        return BindButton(*this, static_cast<Button&>(control), parent);
    case ControlKind::Lines:
        return BindLines(*this, static_cast<Lines&>(control), parent);
    case ControlKind::Gauge:
        return BindGauge(*this, static_cast<Gauge&>(control), parent);
    case ControlKind::Picture:
        return BindPicture(*this, static_cast<Picture&>(control), parent);
    case ControlKind::TrackBar:
        return BindTrackBar(*this, static_cast<TrackBar&>(control), parent);
    case ControlKind::PageControl:
        return BindPageControl(*this, static_cast<PageControl&>(control), parent);
    case ControlKind::Page:
        return BindPage(*this, static_cast<Page&>(control), parent);
    case ControlKind::GroupBox:
        return BindGroupBox(*this, control, parent);
    case ControlKind::Panel:
        return BindPanel(*this, control, parent);
    case ControlKind::Label:
        return BindLabel(*this, control, parent);
    case ControlKind::Menu:
    case ControlKind::MenuItem:
    case ControlKind::Timer:
        break;
    }
    return new QWidget(parent);  // unreachable for the kinds Build passes in
}

}  // namespace quillox::gui
