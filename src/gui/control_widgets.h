#pragma once
// Widgets for the model controls that Qt has no ready-made match for: the painted gauge, the
// picture, the quality bar, the program logo, a radio button that reports its mouse release,
// and a link label.
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace quillox {
class Gauge;
class Picture;
}  // namespace quillox

namespace quillox::gui {

// A horizontal bar in the model's colour over a white background, with the percentage
// written inside; the text grows with the widget (the signal window shows it huge).
class GaugeWidget : public QWidget {
public:
    explicit GaugeWidget(QWidget* parent);
    void setState(int position, uint32_t colour);
    int position() const { return position_; }
    uint32_t colour() const { return colour_; }
    QSize sizeHint() const override { return {120, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int position_ = 0;
    uint32_t colour_ = 0x000080;
};

// How a model picture is drawn.
// The program's dish picture, drawn into a square of the given size (centred), and as an icon.
void PaintDishLogo(QPainter& painter, const QSizeF& size);
QIcon DishIcon();

enum class PictureStyle {
    Pixels,      // the model's pixels, one to one
    QualityBar,  // only the model's width matters: a red-to-green bar cut at that width
    Logo,        // the program's emblem (the model holds no image for it)
};

class PictureWidget : public QWidget {
public:
    PictureWidget(QWidget* parent, const Picture& picture, PictureStyle style);
    void refresh();  // re-reads the model picture (GUI thread)
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const Picture& picture_;
    const PictureStyle style_;
    QImage image_;
    int modelWidth_ = 0;
};

// Reports a mouse release over the button after Qt has handled the click.
class ModelRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    std::function<void()> onMouseRelease;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A label drawn as a link that runs an action when clicked.
class LinkLabel : public QLabel {
public:
    explicit LinkLabel(QWidget* parent);
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quillox::gui
