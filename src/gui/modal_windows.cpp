#include "gui/modal_windows.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "app/about_box.h"
#include "app/form_signal.h"
#include "form/window.h"

namespace quillox::gui {

BoundDialog::BoundDialog(Window& model, Dialogs& errors, QWidget* parent)
    : QDialog(parent), model_(model), binder_(model, errors), gui_(this) {
    setWindowTitle(QString::fromStdString(model.caption()));
    closedId_ = model.subscribeClosed([post = gui_.poster(), this] { post([this] { accept(); }); });
}

BoundDialog::~BoundDialog() {
    model_.unsubscribeClosed(closedId_);
}

void BoundDialog::run() {
    model_.Reopen();
    exec();
    if (!model_.closed()) binder_.Guard([this] { model_.Close(); });
}

// ---- About box ----------------------------------------------------------------------------

AboutDialog::AboutDialog(TAboutBox& box, Dialogs& errors, QWidget* parent)
    : BoundDialog(box, errors, parent) {
    setObjectName("AboutBox");
    binder_.pictureStyle = [](const Picture&) { return PictureStyle::Logo; };
    binder_.linkActions = {
        {"lb_home_page", [&box] { box.OpenHomePage(); }},
        {"lb_help_port", [&box] { box.OpenHelpPort(); }},
        {"lb_help_eng", [&box] { box.OpenHelpEng(); }},
        {"lb_email", [&box] { box.OpenEmail(); }},
    };
    binder_.Build(this);

    auto* panel = new QGridLayout(binder_.widget(box.Panel1));
    panel->setContentsMargins(12, 12, 12, 12);
    panel->setHorizontalSpacing(14);
    binder_.widget(box.ProgramIcon)->setFixedSize(48, 48);
    panel->addWidget(binder_.widget(box.ProgramIcon), 0, 0, 3, 1, Qt::AlignTop);
    int row = 0;
    for (Control* label :
         {static_cast<Control*>(&box.ProductName), static_cast<Control*>(&box.Version),
          static_cast<Control*>(&box.Comments), static_cast<Control*>(&box.lb_license)})
        panel->addWidget(binder_.widget(*label), row++, 1);
    panel->setRowMinimumHeight(row++, 10);
    for (Control* link :
         {static_cast<Control*>(&box.lb_home_page), static_cast<Control*>(&box.lb_help_port),
          static_cast<Control*>(&box.lb_help_eng), static_cast<Control*>(&box.lb_email)})
        panel->addWidget(binder_.widget(*link), row++, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(binder_.widget(box.OKButton));
    auto* root = new QVBoxLayout(this);
    root->addWidget(binder_.widget(box.Panel1));
    root->addLayout(buttons);
    root->setSizeConstraint(QLayout::SetFixedSize);
}

// ---- Signal window --------------------------------------------------------------------------

SignalWindow::SignalWindow(TForm_Signal& form, Dialogs& errors, QWidget* parent)
    : BoundDialog(form, errors, parent) {
    setObjectName("Form_Signal");
    // Borderless and covering the screen.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowState(Qt::WindowFullScreen);
    binder_.Build(this);

    // Three label and field pairs a row; Apply ends the second row.
    auto* fields = new QGridLayout(binder_.widget(form.gb_sig_transponder));
    fields->setHorizontalSpacing(8);
    int index = 0;
    for (Control* control : form.controls()) {
        if (control->parent() != &form.gb_sig_transponder) continue;
        QWidget* widget = binder_.widget(*control);
        if (control->kind() == ControlKind::Edit || control->kind() == ControlKind::ComboBox)
            widget->setMinimumWidth(control->kind() == ControlKind::Edit ? 80 : 120);
        fields->addWidget(widget, index / 6, index % 6);
        ++index;
    }
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(binder_.widget(form.gb_sig_transponder));
    bottom->addStretch();
    QWidget* restore = binder_.widget(form.Button1);
    restore->setMinimumSize(120, 40);
    bottom->addWidget(restore, 0, Qt::AlignBottom);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);  // the bar keeps 8 pixels from every edge
    root->addWidget(binder_.widget(form.pbar_sig_q), 1);
    root->addLayout(bottom);
}

}  // namespace quillox::gui
