#include "gui/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>

#include "app/form1.h"
#include "gui/main_window_layout.h"
#include "gui/screen_placement.h"
#include "gui/sweep_window.h"

namespace quillox::gui {
namespace {

PictureStyle StyleOf(const Picture& picture) {
    const std::string& name = picture.name();
    if (name == "Image3") return PictureStyle::QualityBar;
    if (name == "Image1" || name == "LOGO" || name == "Image4") return PictureStyle::Logo;
    return PictureStyle::Pixels;
}

}  // namespace

MainWindow::MainWindow(TForm1& form, Dialogs& errors)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      form_(form),
      client_(new QWidget(this)),
      binder_(form, errors),
      gui_(this),
      errors_(errors) {
    setObjectName("Form1");
    setWindowTitle(QString::fromStdString(form.caption()));
    client_->setObjectName("client_area");
    client_->setFixedSize(kMainClientWidth, kMainClientHeight);
    setCentralWidget(client_);

    binder_.pictureStyle = StyleOf;
    binder_.readOnlyGroups = {"gbActual_Settings"};  // what the tuner reports
    binder_.BuildMenus(menuBar());
    binder_.Build(client_);
    binder_.BuildTimers(this);
    ApplyLayout();
    layout()->setSizeConstraint(QLayout::SetFixedSize);  // single fixed border: no resizing
    applyModelPosition();

    // The device in use stays in sight on the status line: a simulated dish must never pass for
    // the dish on the roof. The first page's notice carries it (set when the device opens).
    // Left of it, what the jobs are doing or did.
    auto* status = new QLabel(statusBar());
    status->setObjectName("status_line");
    statusBar()->addWidget(status, 1);
    form.lb_status.subscribe([post = gui_.poster(), status, &form] {
        post([status, &form] { status->setText(QString::fromStdString(form.lb_status.text())); });
    });
    auto* device = new QLabel(statusBar());
    device->setObjectName("device_in_use");
    statusBar()->addPermanentWidget(device);
    // A device line longer than its two lines loses its end, not its start.
    if (auto* notice = findChild<QLabel*>("lb_attention_driver")) {
        notice->setWordWrap(true);
        notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    form.lb_attention_driver.subscribe([post = gui_.poster(), device, &form] {
        post([device, &form] {
            device->setText(QString::fromStdString(form.lb_attention_driver.text()));
        });
    });

    // The model may close from a worker (a job's save and shutdown): hop to the GUI thread.
    closedId_ = form.subscribeClosed(
        [post = gui_.poster(), this] { post([this] { OnModelClosed(); }); });
    spectrumShowId_ = form.Form_Spectrum.subscribeShow(
        [post = gui_.poster(), this] { post([this] { ShowSpectrum(); }); });
}

MainWindow::~MainWindow() {
    form_.unsubscribeClosed(closedId_);
    form_.Form_Spectrum.unsubscribeShow(spectrumShowId_);
}

SpectrumWindow* MainWindow::spectrumWindow() const {
    return spectrum_;
}

// A window of its own beside the fixed main window; shown again, it comes to the front.
void MainWindow::ShowSpectrum() {
    if (!spectrum_) {
        spectrum_ = new SpectrumWindow(form_.Form_Spectrum, errors_, this);
        // First beside the main window, at its own size, both made to fit the screen: the
        // window manager would put it where it likes, its bottom edge off the screen too.
        const QMargins frame = FrameMargins(*spectrum_);
        const QPoint beside(frameGeometry().right() + 1 + frame.left(), geometry().top());
        spectrum_->setGeometry(PlaceOnScreens(QRect(beside, spectrum_->size()), frame));
    }
    spectrum_->show();
    // Shown, it has the frame the window manager gave it: kept on the screen with that one.
    spectrum_->setGeometry(
        PlaceOnScreens(spectrum_->geometry(), FrameMargins(*spectrum_)));
    spectrum_->raise();
    spectrum_->activateWindow();
}

void MainWindow::ApplyLayout() {
    for (Control* control : form_.controls()) {
        QWidget* widget = binder_.widget(*control);
        if (widget == nullptr || control->kind() == ControlKind::Page) continue;
        const std::optional<Geometry> place = MainWindowGeometry(control->name());
        if (!place) continue;  // never shown
        widget->setGeometry(place->x, place->y, place->w, place->h);
        // Long notices wrap inside their box rather than run past it.
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setWordWrap(label->sizeHint().width() > place->w);
    }
}

// The saved position is that of the client area, not of the frame: on X11 a window that is
// not yet framed has no frame size to reckon with, so a frame position given to it would place
// the client area there and the next save would read it back one frame higher.
// A saved place off every screen (another monitor then, a smaller screen now) is moved in as
// little as needed; the window keeps its fixed size, so only its place changes.
void MainWindow::applyModelPosition() {
    const QRect saved(QPoint(form_.left(), form_.top()), size());
    setGeometry(QRect(PlaceOnScreens(saved, FrameMargins(*this)).topLeft(), size()));
}

void MainWindow::moveEvent(QMoveEvent* event) {
    // The model keeps the window position for the settings file.
    form_.setLeft(geometry().x());
    form_.setTop(geometry().y());
    QMainWindow::moveEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (modelClosed_) {
        event->accept();
        return;
    }
    // The title bar, the system menu or Alt+F4: the user is asked first when a job runs or
    // transponders are unsaved; then the model runs its close handling and tells us when done.
    event->ignore();
    binder_.Guard([this] {
        if (form_.FormCloseQuery()) form_.Close();
    });
}

void MainWindow::OnModelClosed() {
    if (modelClosed_) return;
    modelClosed_ = true;
    if (onModelClosed)
        onModelClosed();
    else
        close();
}

}  // namespace quillox::gui
