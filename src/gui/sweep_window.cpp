#include "gui/sweep_window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <cmath>

#include "gui/sweep_painter.h"
#include "platform/platform.h"

namespace quillox::gui {
namespace {

constexpr int kPollMs = 250;       // four looks a second while the window is open
constexpr double kZoomStep = 0.8;  // per wheel notch

}  // namespace

// ---- View ---------------------------------------------------------------------------------

SpectrumView::SpectrumView(QWidget* parent) : QWidget(parent) {
    setObjectName("spectrum_view");
    setMinimumSize(420, 240);
    setCursor(Qt::OpenHandCursor);
}

void SpectrumView::setData(SpectrumData data) {
    data_ = std::move(data);
    if (zoom_) setZoom(*zoom_);  // kept inside what the data covers now
    update();
}

FrequencyRange SpectrumView::visibleRange() const {
    return zoom_.value_or(FullRange(data_));
}

void SpectrumView::resetZoom() {
    zoom_.reset();
    update();
}

// A zoom that shows everything is no zoom: the view then follows a running sweep again.
void SpectrumView::setZoom(const FrequencyRange& range) {
    const FrequencyRange full = FullRange(data_);
    const FrequencyRange kept = Pan(range, 0, full);
    if (kept.span() >= full.span())
        zoom_.reset();
    else
        zoom_ = kept;
    update();
}

Scene SpectrumView::scene() const {
    return BuildSpectrumScene(data_, width(), height(), visibleRange());
}

void SpectrumView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintScene(painter, scene());
}

void SpectrumView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    const FrequencyRange visible = visibleRange();
    const double centre =
        MhzAtX(event->position().x(), SpectrumPlotArea(data_, width(), height()), visible);
    setZoom(ZoomAround(visible, centre, std::pow(kZoomStep, notches), FullRange(data_)));
    event->accept();
}

void SpectrumView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) drag_ = {event->position().x(), visibleRange()};
}

void SpectrumView::mouseMoveEvent(QMouseEvent* event) {
    if (!drag_ || !(event->buttons() & Qt::LeftButton)) return;
    const PlotArea area = SpectrumPlotArea(data_, width(), height());
    const FrequencyRange& start = drag_->second;
    const double mhzPerPixel = start.span() / (area.right - area.left);
    setZoom(Pan(start, (drag_->first - event->position().x()) * mhzPerPixel, FullRange(data_)));
}

void SpectrumView::mouseDoubleClickEvent(QMouseEvent*) {
    resetZoom();
}

// ---- Window -------------------------------------------------------------------------------

SpectrumWindow::SpectrumWindow(TForm_Spectrum& model, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      dialogs_(dialogs),
      binder_(model, dialogs),
      view_(new SpectrumView(this)) {
    setObjectName("Form_Spectrum");
    setWindowTitle(QString::fromStdString(model.caption()));
    resize(model.width(), model.height());
    binder_.Build(this);
    QWidget* gauge = binder_.widget(model.pbar_strength);
    gauge->setFixedSize(140, 22);

    auto* reset = new QPushButton("Reset zoom", this);
    reset->setObjectName("bt_reset_zoom");
    auto* png = new QPushButton("Save PNG…", this);
    png->setObjectName("bt_save_png");
    auto* svg = new QPushButton("Save SVG…", this);
    svg->setObjectName("bt_save_svg");
    QObject::connect(reset, &QPushButton::clicked, view_, [this] { view_->resetZoom(); });
    QObject::connect(png, &QPushButton::clicked, this, [this] { save(PictureFormat::Png); });
    QObject::connect(svg, &QPushButton::clicked, this, [this] { save(PictureFormat::Svg); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(gauge);
    buttons->addWidget(binder_.widget(model.bt_strength));
    buttons->addWidget(binder_.widget(model.bt_strength_stop));
    buttons->addSpacing(16);
    buttons->addWidget(png);
    buttons->addWidget(svg);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->addWidget(view_, 1);
    root->addLayout(buttons);

    // The store is written by a job's worker; the GUI thread only reads copies of it.
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { refresh(); });
    poll_.start(kPollMs);
    refresh();
}

void SpectrumWindow::refresh() {
    const uint64_t generation = model_.generation();
    if (shownGeneration_ == generation) return;
    shownGeneration_ = generation;
    view_->setData(model_.Picture());
}

void SpectrumWindow::save(PictureFormat format) {
    const std::optional<std::string> path = model_.AskPictureFile(format);
    if (!path) return;
    // What the window shows, at the size it shows it.
    const FileWriteResult written = WriteScenePicture(view_->scene(), *path);
    if (!written) dialogs_.ErrorBox("Cannot write:\n" + *path + "\n" + written.error);
}

void SpectrumWindow::closeEvent(QCloseEvent* event) {
    if (!model_.closed()) model_.Close();
    QWidget::closeEvent(event);
}

}  // namespace quillox::gui
