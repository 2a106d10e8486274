#pragma once
// The Spectrum picture as plain geometry: the signal figure of each polarity against the
// frequency, axes with MHz ticks, and a marker with its symbol rate at every transponder found;
// behind them the signal level of a strength pass, on a scale of its own on the right.
// The window paints it with Qt and the headless runner with cairo, so both show the same
// picture; no toolkit is involved here.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/sweep_readings.h"

namespace quillox {

constexpr uint32_t kVerticalColour = 0x1f5fbf;    // blue
constexpr uint32_t kHorizontalColour = 0xc8460a;  // orange-red
// The strength curves: the polarities' colours, light.
constexpr uint32_t kVerticalLightColour = 0x9bb7e2;
constexpr uint32_t kHorizontalLightColour = 0xe6ac91;
// The style the pictures share.
constexpr uint32_t kSceneBackground = 0xffffff;
constexpr uint32_t kSceneInk = 0x202020;
constexpr uint32_t kSceneGrid = 0xe4e4e4;
constexpr double kSceneTickText = 12;
constexpr double kSceneCaptionText = 13;

struct ScenePoint {
    double x = 0;
    double y = 0;
};
struct SceneRect {
    double x, y, w, h;
    uint32_t fill;
};
struct SceneLine {
    ScenePoint from, to;
    uint32_t colour;
    double width;
    bool dashed = false;
};
struct ScenePolyline {
    std::vector<ScenePoint> points;
    uint32_t colour;
    double width;
};
enum class TextAlign { Left, Centre, Right };
// at is the start (Left), middle or end of the text's baseline; an upright text reads bottom
// to top, turned a quarter anticlockwise about at.
struct SceneText {
    ScenePoint at;
    std::string text;
    uint32_t colour;
    double size;  // pixels
    TextAlign align = TextAlign::Left;
    bool upright = false;
};
using SceneItem = std::variant<SceneRect, SceneLine, ScenePolyline, SceneText>;

// Pixels of a width x height picture, items in painting order.
struct Scene {
    int width = 0;
    int height = 0;
    std::vector<SceneItem> items;
};

struct FrequencyRange {
    double fromMhz = 0;
    double toMhz = 0;
    double span() const { return toMhz - fromMhz; }
};

// Where the curves go in a picture of that size; x grows with the frequency.
struct PlotArea {
    double left, top, right, bottom;
};
PlotArea SpectrumPlotArea(int width, int height);
// The same with room on the right for the strength scale when data has strength points.
PlotArea SpectrumPlotArea(const SpectrumData& data, int width, int height);
double MhzAtX(double x, const PlotArea& area, const FrequencyRange& visible);

// Everything the data covers: the swept ranges, the readings, the transponders found and the
// strength passes; a default Ku band range when there is nothing.
FrequencyRange FullRange(const SpectrumData& data);
// The visible range scaled by factor (below 1 zooms in) about centreMhz, which stays where it
// is, and kept inside full, never narrower than 10 MHz.
FrequencyRange ZoomAround(const FrequencyRange& visible, double centreMhz, double factor,
                          const FrequencyRange& full);
// The visible range moved by deltaMhz, kept inside full.
FrequencyRange Pan(const FrequencyRange& visible, double deltaMhz, const FrequencyRange& full);

// The picture of data over the visible range. Symbol-rate labels that would overlap others in
// every label row are left out (their markers stay); zooming in makes room for them. Strength
// points are drawn first, light, on a scale of their own.
Scene BuildSpectrumScene(const SpectrumData& data, int width, int height,
                         const FrequencyRange& visible);

// Pieces the pictures share: a text, the frame around the plot area, the MHz ticks (as many as
// their labels leave room for, grid lines from gridTop down) with the axis caption, and a legend
// entry whose text ends at x behind a swatch of its colour, or two thin ones of colour and
// second (returns the x left of the entry).
void AddText(Scene& scene, double x, double y, std::string text, double size, TextAlign align,
             uint32_t colour = kSceneInk, bool upright = false);
void AddFrame(Scene& scene, const PlotArea& area);
void AddFrequencyTicks(Scene& scene, const PlotArea& area, double fromMhz, double toMhz,
                       double gridTop);
double AddLegendEntry(Scene& scene, double x, double baseline, const std::string& text,
                      uint32_t colour, std::optional<uint32_t> second = std::nullopt);

// The scale of the signal levels a strength pass reads. A level below zero can only be the
// 0.001 dBm a device reports when it knows the strength in dB alone: the scale is then in dBm,
// else in the device's own unit, read from zero up.
struct LevelScale {
    double low = 0, high = 1, step = 1;
    bool dbm = false;
    double Shown(int32_t level) const { return dbm ? level / 1000.0 : level; }
    std::string Caption() const;
};
// Round steps about 40 pixels apart over plotHeight, covering every level of points.
LevelScale LevelScaleOf(const std::vector<StrengthPoint>& points, double plotHeight);

// Where levels go: x across the plot area over the visible range, y from its bottom up to top.
struct LevelPlot {
    PlotArea area;
    double top;
    FrequencyRange visible;
    LevelScale scale;
    double X(double mhz) const;
    double Y(double shown) const;
};
// The levels of points of one polarity: a polyline per run of steps with a level, cut at the
// visible range's edges; a lone point between gaps is a dot.
void AddLevelCurve(Scene& scene, const LevelPlot& plot, const std::vector<StrengthPoint>& points,
                   int32_t polarityCode, uint32_t colour, double width);
// The scale's ticks and caption beside the plot area: on the left with grid lines across it, or
// on the right without.
enum class ScaleSide { Left, Right };
void AddLevelTicks(Scene& scene, const LevelPlot& plot, ScaleSide side);

// An axis step: 1, 2 or 5 times a power of ten, at least raw (1 for no positive raw).
double NiceStep(double raw);

// The width the painters will need at most for a text of that size (digits and Latin letters
// of a common sans-serif font).
double EstimatedTextWidth(const std::string& text, double size);

enum class PictureFormat { Png, Svg };
// By the file name's extension, in any case: .png or .svg.
std::optional<PictureFormat> PictureFormatOf(const std::string& path);

}  // namespace quillox
