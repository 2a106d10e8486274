// Single-line fields: Edit as a line edit, ComboBox as an editable combo box.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "form/controls.h"
#include "gui/binders.h"
#include "gui/window_binder.h"

namespace quillox::gui {
namespace {

int LengthLimit(const Edit& model) {
    return model.maxLength() > 0 ? model.maxLength() : 32767;
}

}  // namespace

QWidget* BindEdit(WindowBinder& binder, Edit& model, QWidget* parent) {
    auto* view = new QLineEdit(parent);
    QObject::connect(view, &QLineEdit::textEdited, view, [&binder, &model](const QString& text) {
        binder.Guard([&] { model.setText(text.toStdString()); });
    });
    auto apply = [&binder, &model, view] {
        if (view->maxLength() != LengthLimit(model)) view->setMaxLength(LengthLimit(model));
        const QString text = Q(model.text());
        if (view->text() != text) {
            const int cursor = view->cursorPosition();
            view->setText(text);
            view->setCursorPosition(std::min<int>(cursor, text.size()));
        }
        // A reading is left out of the Tab order but can still be clicked to copy it.
        const bool reading = binder.HeldReadOnly(model);
        view->setFocusPolicy(reading ? Qt::ClickFocus : Qt::StrongFocus);
        view->setReadOnly(model.readOnly() || reading);
        binder.ShowEnabledAndVisible(model, view);
    };
    // A field the program sends the user back to has its text selected, ready to retype.
    auto focus = [view] {
        view->setFocus(Qt::OtherFocusReason);
        view->selectAll();
    };
    binder.Link(model, view, apply, focus);
    return view;
}

QWidget* BindComboBox(WindowBinder& binder, ComboBox& model, QWidget* parent) {
    auto* view = new QComboBox(parent);
    view->setEditable(true);
    view->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& item : model.items()) view->addItem(Q(item));
    auto forward = [&binder, &model](const QString& text) {
        binder.Guard([&] { model.setText(text.toStdString()); });
    };
    QObject::connect(view->lineEdit(), &QLineEdit::textEdited, view, forward);
    QObject::connect(view, &QComboBox::textActivated, view, forward);
    auto apply = [&binder, &model, view] {
        const QSignalBlocker block(view);
        QLineEdit* line = view->lineEdit();
        if (line->maxLength() != LengthLimit(model)) line->setMaxLength(LengthLimit(model));
        const QString text = Q(model.text());
        if (view->currentText() != text) {
            const int index = view->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index >= 0) view->setCurrentIndex(index);
            view->setEditText(text);
        }
        line->setReadOnly(model.readOnly() || binder.HeldReadOnly(model));
        binder.ShowEnabledAndVisible(model, view);
    };
    auto focus = [&model, view] {
        view->setFocus(Qt::OtherFocusReason);
        if (model.textSelected()) view->lineEdit()->selectAll();
    };
    binder.Link(model, view, apply, focus);
    return view;
}

}  // namespace quillox::gui
