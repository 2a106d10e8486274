#pragma once
// The Spectrum window: the picture of the latest sweep readings, redrawn while a sweep runs,
// zoomable (wheel about the cursor, drag to pan, double-click or "Reset zoom" for the whole
// range), saved as PNG or SVG, with the buttons and gauge of its strength pass. Non-modal and
// resizable; its model is TForm_Spectrum.
#include <QTimer>
#include <QWidget>
#include <optional>
#include <utility>

#include "app/form_sweep_view.h"
#include "gui/window_binder.h"

namespace quillox {
class Dialogs;
}

namespace quillox::gui {

// The plot itself. The zoom is the view's own state; without one it shows the whole range,
// which follows the data.
class SpectrumView : public QWidget {
public:
    explicit SpectrumView(QWidget* parent);
    void setData(SpectrumData data);
    const SpectrumData& data() const { return data_; }
    FrequencyRange visibleRange() const;
    void resetZoom();
    Scene scene() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setZoom(const FrequencyRange& range);

    SpectrumData data_;
    std::optional<FrequencyRange> zoom_;
    std::optional<std::pair<double, FrequencyRange>> drag_;  // press x and the range then
};

class SpectrumWindow : public QWidget {
public:
    SpectrumWindow(TForm_Spectrum& model, Dialogs& dialogs, QWidget* parent);
    SpectrumView* view() const { return view_; }
    // Reads the store again when it changed since the last look.
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void save(PictureFormat format);

    TForm_Spectrum& model_;
    Dialogs& dialogs_;
    WindowBinder binder_;  // the model's controls: the strength pass's buttons and gauge
    SpectrumView* view_;
    QTimer poll_;
    std::optional<uint64_t> shownGeneration_;
};

}  // namespace quillox::gui
