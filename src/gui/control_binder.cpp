#include "gui/control_binder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

#include "form/controls.h"
#include "form/window.h"
#include "gui/gui_thread.h"

namespace quillox::gui {

// Joins a control to its widget: subscribes to the model and applies its state on the GUI
// thread. Owned by the widget (a QObject child), so a refresh posted for a widget that is gone
// is dropped by Qt.
class ControlLink : public QObject {
public:
    using Signature = std::function<std::string()>;

    ControlLink(Control& control, QObject* owner, std::function<void()> apply, Signature signature)
        : QObject(owner), control_(control), apply_(std::move(apply)),
          relay_(std::make_shared<Relay>()) {
        relay_->target = this;
        relay_->signature = signature();
        std::shared_ptr<Relay> relay = relay_;
        Control* model = &control;
        id_ = control.subscribe([relay, model, signature] { relay->Post(*model, signature()); });
        Refresh();
    }

    ~ControlLink() override {
        {
            std::lock_guard lock(relay_->mutex);
            relay_->target = nullptr;
        }
        control_.unsubscribe(id_);
    }

    void Refresh() {
        relay_->pending = false;
        apply_();
        if (relay_->focusRequested.exchange(false)) ApplyFocus();
    }

private:
    struct Relay {
        std::mutex mutex;                 // guards target and signature
        ControlLink* target = nullptr;    // null once the link is gone
        std::string signature;            // the visible state last reported
        std::atomic<bool> pending{false};
        std::atomic<bool> focusRequested{false};

        // Runs on the changing thread. A notification that changed nothing visible can only
        // come from setFocus or selectAll: that one moves the keyboard focus.
        void Post(const Control& model, std::string now) {
            std::lock_guard lock(mutex);
            if (target == nullptr) return;
            if (now == signature) {
                if (model.owner().focusedControl() == &model) focusRequested = true;
            } else {
                signature = std::move(now);
            }
            if (pending.exchange(true)) return;  // a refresh is already on its way
            ControlLink* link = target;
            QMetaObject::invokeMethod(link, [link] { link->Refresh(); }, Qt::QueuedConnection);
        }
    };

    void ApplyFocus() {
        auto* widget = qobject_cast<QWidget*>(parent());
        if (widget == nullptr) return;
        widget->setFocus(Qt::OtherFocusReason);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            if (static_cast<ComboBox&>(control_).textSelected()) combo->lineEdit()->selectAll();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->selectAll();
        }
    }

    Control& control_;
    std::function<void()> apply_;
    std::shared_ptr<Relay> relay_;
    int id_ = 0;
};

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The model's line rule: split on CR LF or LF; a final line end adds no empty line.
std::vector<std::string> SplitLines(const QString& text) {
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    const QStringList parts = text.split('\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == parts.size() - 1 && parts[i].isEmpty()) break;
        QString line = parts[i];
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line.toStdString());
    }
    return lines;
}

QString JoinLines(const std::vector<std::string>& lines, size_t from = 0) {
    QStringList parts;
    for (size_t i = from; i < lines.size(); ++i) parts << Q(lines[i]);
    return parts.join('\n');
}

std::string Flags(const Control& c) {
    return std::string(c.enabled() ? "E" : "e") + (c.visible() ? "V" : "v");
}

void ApplyCommon(const Control& control, QWidget* widget) {
    widget->setEnabled(control.enabled());
    widget->setVisible(control.visible());
}

void ApplyLines(const Lines& model, QPlainTextEdit* view) {
    const std::vector<std::string> lines = model.lines();
    const std::vector<std::string> shown = SplitLines(view->toPlainText());
    view->setReadOnly(model.readOnly());
    if (lines == shown) return;
    QScrollBar* bar = view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const bool appended = !shown.empty() && shown.size() < lines.size() &&
                          std::equal(shown.begin(), shown.end(), lines.begin());
    if (appended) {
        // A job adding results: append only the new lines and follow them.
        for (size_t i = shown.size(); i < lines.size(); ++i) view->appendPlainText(Q(lines[i]));
        if (atEnd) bar->setValue(bar->maximum());
    } else {
        view->setPlainText(JoinLines(lines));
    }
}

}  // namespace

// ---- WindowBinder ---------------------------------------------------------------------------

WindowBinder::WindowBinder(Window& window, Dialogs& errors) : window_(window), errors_(errors) {}

WindowBinder::~WindowBinder() {
    for (const QPointer<ControlLink>& link : links_) delete link.data();
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

void WindowBinder::Build(QWidget* root) {
    // Controls are registered in declaration order, so a parent always precedes its children.
    for (Control* control : window_.controls()) {
        const ControlKind kind = control->kind();
        if (kind == ControlKind::Menu || kind == ControlKind::MenuItem || kind == ControlKind::Timer)
            continue;
        QWidget* parent = control->parent() == nullptr ? root : widget(*control->parent());
        if (parent == nullptr) continue;  // child of a menu or timer: not a widget
        QWidget* created = Create(*control, parent);
        created->setObjectName(Q(control->name()));
        widgets_[control] = created;
    }
}

void WindowBinder::BuildMenus(QMenuBar* bar) {
    std::map<const Control*, QMenu*> menus;
    for (Control* control : window_.controls()) {
        if (control->kind() == ControlKind::Menu) {
            QMenu* menu = bar->addMenu(Q(control->text()));  // "&File": Qt reads "&" as the model does
            menu->setObjectName(Q(control->name()));
            menus[control] = menu;
            QAction* action = menu->menuAction();
            Link(*control, menu, [control, action] {
                action->setText(Q(control->text()));
                action->setEnabled(control->enabled());
                action->setVisible(control->visible());
            });
        } else if (control->kind() == ControlKind::MenuItem && menus.count(control->parent())) {
            auto* item = static_cast<MenuItem*>(control);
            QMenu* menu = menus[control->parent()];
            QAction* action = menu->addAction(Q(item->text()));
            action->setObjectName(Q(item->name()));
            QObject::connect(action, &QAction::triggered, action, [this, item] { Guard([item] { item->click(); }); });
            Link(*item, action, [item, action] {
                action->setText(Q(item->text()));
                action->setEnabled(item->enabled());
                action->setVisible(item->visible());
            });
        }
    }
}

void WindowBinder::BuildTimers(QObject* owner) {
    for (Control* control : window_.controls()) {
        if (control->kind() != ControlKind::Timer) continue;
        auto* model = static_cast<Timer*>(control);
        auto* timer = new QTimer(owner);
        timer->setObjectName(Q(model->name()));
        // A tick whose handler shows an error box must not be re-entered by the next tick.
        auto busy = std::make_shared<bool>(false);
        QObject::connect(timer, &QTimer::timeout, timer, [this, model, busy] {
            if (*busy) return;
            *busy = true;
            Guard([model] { model->tick(); });
            *busy = false;
        });
        Link(*model, timer, [model, timer] {
            timer->setInterval(std::max(1, model->interval()));
            if (model->enabled() && !timer->isActive()) timer->start();
            if (!model->enabled() && timer->isActive()) timer->stop();
        });
    }
}

void WindowBinder::Link(Control& control, QObject* widget, std::function<void()> apply) {
    ControlLink::Signature signature;
    switch (control.kind()) {
    case ControlKind::Edit:
    case ControlKind::ComboBox: {
        auto& edit = static_cast<Edit&>(control);
        signature = [&edit] { return Flags(edit) + (edit.readOnly() ? "R" : "r") + edit.text(); };
        break;
    }
    case ControlKind::Lines: {
        auto& lines = static_cast<Lines&>(control);
        signature = [&lines] { return Flags(lines) + (lines.readOnly() ? "R" : "r") + lines.text(); };
        break;
    }
    case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(control);
        signature = [&box] { return Flags(box) + (box.checked() ? "X" : "x") + box.text(); };
        break;
    }
    case ControlKind::RadioButton: {
        auto& radio = static_cast<RadioButton&>(control);
        signature = [&radio] { return Flags(radio) + (radio.checked() ? "X" : "x") + radio.text(); };
        break;
    }
    case ControlKind::Timer: {
        auto& timer = static_cast<Timer&>(control);
        signature = [&timer] { return Flags(timer) + std::to_string(timer.interval()); };
        break;
    }
    default:
        signature = [&control] { return Flags(control) + control.text(); };
        break;
    }
    links_.emplace_back(new ControlLink(control, widget, std::move(apply), std::move(signature)));
}

QWidget* WindowBinder::Create(Control& control, QWidget* parent) {
    switch (control.kind()) {
    case ControlKind::Edit: {
        auto& model = static_cast<Edit&>(control);
        auto* view = new QLineEdit(parent);
        QObject::connect(view, &QLineEdit::textEdited, view, [this, &model](const QString& text) {
            Guard([&] { model.setText(text.toStdString()); });
        });
        Link(control, view, [&model, view] {
            const int limit = model.maxLength() > 0 ? model.maxLength() : 32767;
            if (view->maxLength() != limit) view->setMaxLength(limit);
            const QString text = Q(model.text());
            if (view->text() != text) {
                const int cursor = view->cursorPosition();
                view->setText(text);
                view->setCursorPosition(std::min<int>(cursor, text.size()));
            }
            view->setReadOnly(model.readOnly());
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::ComboBox: {
        auto& model = static_cast<ComboBox&>(control);
        auto* view = new QComboBox(parent);
        view->setEditable(true);
        view->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& item : model.items()) view->addItem(Q(item));
        auto forward = [this, &model](const QString& text) {
            Guard([&] { model.setText(text.toStdString()); });
        };
        QObject::connect(view->lineEdit(), &QLineEdit::textEdited, view, forward);
        QObject::connect(view, &QComboBox::textActivated, view, forward);
        Link(control, view, [&model, view] {
            const QSignalBlocker block(view);
            const int limit = model.maxLength() > 0 ? model.maxLength() : 32767;
            if (view->lineEdit()->maxLength() != limit) view->lineEdit()->setMaxLength(limit);
            const QString text = Q(model.text());
            if (view->currentText() != text) {
                const int index = view->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
                if (index >= 0) view->setCurrentIndex(index);
                view->setEditText(text);
            }
            view->lineEdit()->setReadOnly(model.readOnly());
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::CheckBox: {
        auto& model = static_cast<CheckBox&>(control);
        auto* view = new QCheckBox(parent);
        QObject::connect(view, &QCheckBox::clicked, view, [this, &model] { Guard([&] { model.click(); }); });
        Link(control, view, [&model, view] {
            view->setText(Q(model.text()));  // Qt, like the model, shows "&&" as "&"
            view->setChecked(model.checked());
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::RadioButton: {
        auto& model = static_cast<RadioButton&>(control);
        auto* view = new ModelRadioButton(parent);
        // One exclusive group per parent, as the model groups its radios.
        auto* group = parent->findChild<QButtonGroup*>("radio_group", Qt::FindDirectChildrenOnly);
        if (group == nullptr) {
            group = new QButtonGroup(parent);
            group->setObjectName("radio_group");
        }
        group->addButton(view);
        QObject::connect(view, &QRadioButton::clicked, view, [this, &model] { Guard([&] { model.click(); }); });
        view->onMouseRelease = [this, &model] { Guard([&] { model.mouseUp(); }); };
        Link(control, view, [&model, view, group] {
            view->setText(Q(model.text()));
            const bool checked = model.checked();
            if (checked != view->isChecked()) {
                // An exclusive group refuses to uncheck its checked button by itself.
                group->setExclusive(checked);
                view->setChecked(checked);
                group->setExclusive(true);
            }
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Button: {
        auto& model = static_cast<Button&>(control);
        auto* view = new QPushButton(parent);
        view->setAutoDefault(false);
        QObject::connect(view, &QPushButton::clicked, view, [this, &model] { Guard([&] { model.click(); }); });
        Link(control, view, [&model, view] {
            view->setText(Q(model.text()));
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Lines: {
        auto& model = static_cast<Lines&>(control);
        auto* view = new QPlainTextEdit(parent);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        view->setTabChangesFocus(true);
        QObject::connect(view, &QPlainTextEdit::textChanged, view, [this, &model, view] {
            Guard([&] { model.setText(view->toPlainText().toStdString()); });
        });
        Link(control, view, [&model, view] {
            const QSignalBlocker block(view);
            ApplyLines(model, view);
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Gauge: {
        auto& model = static_cast<Gauge&>(control);
        auto* view = new GaugeWidget(parent);
        Link(control, view, [&model, view] {
            view->setState(model.position(), model.colour());
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Picture: {
        auto& model = static_cast<Picture&>(control);
        const PictureStyle style = pictureStyle ? pictureStyle(model) : PictureStyle::Pixels;
        auto* view = new PictureWidget(parent, model, style);
        view->onClick = [this, &model] { Guard([&] { model.click(); }); };
        Link(control, view, [&model, view] {
            view->refresh();
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::PageControl: {
        auto& model = static_cast<PageControl&>(control);
        auto* view = new QTabWidget(parent);
        QObject::connect(view, &QTabWidget::currentChanged, view, [this, &model, view](int index) {
            Page* page = nullptr;
            for (auto& [candidate, widget] : widgets_)
                if (widget == view->widget(index) && candidate->kind() == ControlKind::Page)
                    page = static_cast<Page*>(const_cast<Control*>(candidate));
            if (page != nullptr) Guard([&] { model.setActivePage(page); });
        });
        Link(control, view, [this, &model, view] {
            const QSignalBlocker block(view);
            if (Page* active = model.activePage())
                if (QWidget* page = widget(*active)) view->setCurrentWidget(page);
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Page: {
        auto* tabs = qobject_cast<QTabWidget*>(parent);
        auto* view = new QWidget(parent);
        if (tabs != nullptr) tabs->addTab(view, Q(control.text()));
        Link(control, view, [&control, view, tabs] {
            view->setEnabled(control.enabled());  // the tab stays selectable, its controls do not
            if (tabs == nullptr) return;
            const QSignalBlocker block(tabs);
            const int index = tabs->indexOf(view);
            tabs->setTabText(index, Q(control.text()));
            tabs->setTabVisible(index, control.visible());
        });
        return view;
    }
    case ControlKind::GroupBox: {
        auto* view = new QGroupBox(parent);
        Link(control, view, [&control, view] {
            view->setTitle(Q(control.text()));
            ApplyCommon(control, view);
        });
        return view;
    }
    case ControlKind::Panel: {
        auto* view = new QFrame(parent);
        view->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
        Link(control, view, [&control, view] { ApplyCommon(control, view); });
        return view;
    }
    case ControlKind::Label: {
        QLabel* view = nullptr;
        auto action = linkActions.find(control.name());
        if (action != linkActions.end()) {
            auto* link = new LinkLabel(parent);
            link->onClick = [this, run = action->second] { Guard(run); };
            view = link;
        } else {
            view = new QLabel(parent);
        }
        view->setTextFormat(Qt::PlainText);
        Link(control, view, [&control, view] {
            view->setText(Q(PlainCaption(control.text())));
            ApplyCommon(control, view);
        });
        return view;
    }
    case ControlKind::TrackBar: {
        auto& model = static_cast<TrackBar&>(control);
        auto* view = new QSlider(Qt::Horizontal, parent);
        view->setRange(model.min(), model.max());
        view->setPageStep(1);
        view->setTickPosition(QSlider::TicksBelow);
        view->setTickInterval(1);
        QObject::connect(view, &QSlider::valueChanged, view, [this, &model](int value) {
            Guard([&] { model.setPosition(value); });
        });
        Link(control, view, [&model, view] {
            const QSignalBlocker block(view);
            view->setValue(model.position());
            ApplyCommon(model, view);
        });
        return view;
    }
    case ControlKind::Menu:
    case ControlKind::MenuItem:
    case ControlKind::Timer:
        break;
    }
    return new QWidget(parent);  // unreachable for the kinds Build passes in
}

}  // namespace quillox::gui
