#include "gui/control_widgets.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

#include "form/controls.h"

namespace quillox::gui {
namespace {

QColor FromRgb(uint32_t rgb) {
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool IsDark(const QColor& colour) {
    return colour.lightnessF() < 0.45;
}

}  // namespace

// ---- GaugeWidget ------------------------------------------------------------------------------

GaugeWidget::GaugeWidget(QWidget* parent) : QWidget(parent) {}

void GaugeWidget::setState(int position, uint32_t colour) {
    if (position == position_ && colour == colour_) return;
    position_ = position;
    colour_ = colour;
    update();
}

void GaugeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(inner, Qt::white);
    const QColor bar = FromRgb(colour_);
    QRect filled = inner;
    filled.setWidth(inner.width() * position_ / 100);
    painter.fillRect(filled, isEnabled() ? bar : bar.lighter(160));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);

    // The percentage, dark over the empty part and contrasting over the bar.
    // Sized by the height, but never wider than the bar could hold "100%".
    QFont font = painter.font();
    font.setBold(height() > 40);
    int pixels = std::max(10, static_cast<int>(height() * 0.62));
    font.setPixelSize(pixels);
    const int widest = QFontMetrics(font).horizontalAdvance("100%");
    if (widest > inner.width() * 0.9)
        pixels = std::max(8, static_cast<int>(pixels * inner.width() * 0.9 / widest));
    font.setPixelSize(pixels);
    painter.setFont(font);
    const QString text = QString::number(position_) + "%";
    const QColor textDim = isEnabled() ? Qt::black : Qt::gray;
    painter.save();
    painter.setClipRect(inner.adjusted(filled.width(), 0, 0, 0));
    painter.setPen(textDim);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.restore();
    painter.setClipRect(filled);
    painter.setPen(IsDark(bar) ? Qt::white : textDim);
    painter.drawText(inner, Qt::AlignCenter, text);
}

// ---- PictureWidget ----------------------------------------------------------------------------

PictureWidget::PictureWidget(QWidget* parent, const Picture& picture, PictureStyle style)
    : QWidget(parent), picture_(picture), style_(style) {
    if (style_ == PictureStyle::Logo) setCursor(Qt::PointingHandCursor);
    refresh();
}

void PictureWidget::refresh() {
    modelWidth_ = picture_.width();
    if (style_ == PictureStyle::Pixels) {
        const int w = modelWidth_, h = picture_.height();
        QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.setPixel(x, y, 0xFF000000u | picture_.pixel(x, y));
        image_ = std::move(image);
    }
    update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    switch (style_) {
        case PictureStyle::Pixels:
            painter.drawImage(QPoint(0, 0), image_);
            break;
        case PictureStyle::QualityBar: {
            // The gradient spans the whole bar; the model's width shows how much of it is lit.
            QLinearGradient gradient(0, 0, width(), 0);
            gradient.setColorAt(0.0, QColor(0xFD, 0x00, 0x00));
            gradient.setColorAt(0.5, QColor(0xFD, 0xF9, 0x00));
            gradient.setColorAt(0.9, QColor(0x38, 0xFD, 0x00));
            gradient.setColorAt(1.0, QColor(0x38, 0xFD, 0x00));
            painter.fillRect(QRect(0, 0, std::min(modelWidth_, width()), height()), gradient);
            break;
        }
        case PictureStyle::Logo:
            PaintDishLogo(painter, size());
            break;
    }
}

// A dish with its signal arcs: drawn rather than loaded, so the program needs no image files
// (the installed icon is the same drawing as SVG).
void PaintDishLogo(QPainter& painter, const QSizeF& size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(size.width(), size.height());
    painter.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
    painter.scale(side / 60.0, side / 60.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x4E, 0x8C));
    painter.drawRoundedRect(QRectF(1, 1, 58, 58), 10, 10);
    painter.setBrush(QColor(0xE8, 0xEE, 0xF6));
    QPainterPath dish;
    dish.moveTo(12, 20);
    dish.quadTo(16, 44, 40, 48);
    dish.closeSubpath();
    painter.drawPath(dish);
    painter.setPen(QPen(QColor(0xE8, 0xEE, 0xF6), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(26, 34), QPointF(36, 24));
    painter.drawLine(QPointF(24, 44), QPointF(20, 54));
    painter.drawLine(QPointF(14, 54), QPointF(30, 54));
    painter.setPen(QPen(QColor(0xFD, 0xC6, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (int r = 6; r <= 18; r += 6)
        painter.drawArc(QRectF(36 - r, 24 - r, 2 * r, 2 * r), 0, 90 * 16);
    painter.restore();
}

QIcon DishIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        PaintDishLogo(painter, QSizeF(size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
    QWidget::mouseReleaseEvent(event);
}

// ---- ModelRadioButton, LinkLabel ---------------------------------------------------------------

void ModelRadioButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool over = rect().contains(event->position().toPoint());
    QRadioButton::mouseReleaseEvent(event);  // emits clicked first, as a click precedes mouse-up
    if (over && onMouseRelease) onMouseRelease();
}

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0x1A, 0x4F, 0xB5));
    setPalette(blue);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace quillox::gui
