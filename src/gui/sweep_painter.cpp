#include "gui/sweep_painter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cmath>

namespace quillox::gui {
namespace {

QColor ColourOf(uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// A one-pixel line along a row or column of pixels rather than between two.
double Crisp(double v) {
    return std::floor(v) + 0.5;
}

struct Painter {
    QPainter& p;

    void operator()(const SceneRect& r) const {
        p.fillRect(QRectF(r.x, r.y, r.w, r.h), ColourOf(r.fill));
    }
    void operator()(const SceneLine& l) const {
        QPen pen(ColourOf(l.colour), l.width);
        if (l.dashed) pen.setDashPattern({4 / l.width, 3 / l.width});
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        const bool vertical = l.from.x == l.to.x, horizontal = l.from.y == l.to.y;
        p.drawLine(
            QPointF(vertical ? Crisp(l.from.x) : l.from.x, horizontal ? Crisp(l.from.y) : l.from.y),
            QPointF(vertical ? Crisp(l.to.x) : l.to.x, horizontal ? Crisp(l.to.y) : l.to.y));
    }
    void operator()(const ScenePolyline& line) const {
        QPen pen(ColourOf(line.colour), line.width);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        QPolygonF polygon;
        for (const ScenePoint& point : line.points) polygon << QPointF(point.x, point.y);
        p.drawPolyline(polygon);
    }
    void operator()(const SceneText& t) const {
        QFont font("DejaVu Sans");
        font.setPixelSize(static_cast<int>(std::lround(t.size)));
        p.setFont(font);
        p.setPen(ColourOf(t.colour));
        const QString text = QString::fromStdString(t.text);
        const double advance = QFontMetricsF(font).horizontalAdvance(text);
        const double shift = t.align == TextAlign::Left     ? 0
                             : t.align == TextAlign::Centre ? advance / 2
                                                            : advance;
        p.save();
        p.translate(t.at.x, t.at.y);
        if (t.upright) p.rotate(-90);
        p.drawText(QPointF(-shift, 0), text);
        p.restore();
    }
};

}  // namespace

void PaintScene(QPainter& painter, const Scene& scene) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const SceneItem& item : scene.items) std::visit(Painter{painter}, item);
}

FileWriteResult WriteScenePicture(const Scene& scene, const std::string& path) {
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    if (!format) return {false, "the file name must end with .png or .svg"};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (*format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(scene.width, scene.height));
        svg.setViewBox(QRect(0, 0, scene.width, scene.height));
        svg.setTitle("Spectrum");
        QPainter painter(&svg);
        PaintScene(painter, scene);
    } else {
        QImage image(scene.width, scene.height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PaintScene(painter, scene);
        }
        if (!image.save(&buffer, "PNG")) return {false, "the PNG image could not be encoded"};
    }
    const QByteArray& bytes = buffer.data();
    return WriteFileAtomically(path, std::string(bytes.constData(), bytes.size()));
}

}  // namespace quillox::gui
