#include "app/sweep_picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/number_text.h"
#include "base/tuning_code_values.h"

namespace quillox {
namespace {

constexpr uint32_t kBackground = kSceneBackground;
constexpr uint32_t kInk = kSceneInk;
constexpr uint32_t kGrid = kSceneGrid;
constexpr uint32_t kUnknownPolarity = 0x808080;
constexpr double kTickText = kSceneTickText;
constexpr double kCaptionText = kSceneCaptionText;
constexpr double kLabelText = 11;
constexpr double kLabelRowHeight = 14;
constexpr int kMaxLabelRows = 4;
constexpr double kLabelGap = 4;
constexpr double kMinSpanMhz = 10;
constexpr FrequencyRange kDefaultRange{10700, 12750};
constexpr double kRightMargin = 28;
constexpr double kStrengthScaleMargin = 70;  // right of the plot: ticks, labels and caption
constexpr double kStrengthWidth = 2;

std::string NumberText(double value) {
    return ReadingText(std::round(value * 1000) / 1000);
}

bool HasStrength(const SpectrumData& data) {
    return !data.strength.vertical.points.empty() || !data.strength.horizontal.points.empty();
}

std::vector<StrengthPoint> StrengthPointsOf(const StrengthData& strength) {
    std::vector<StrengthPoint> points = strength.vertical.points;
    points.insert(points.end(), strength.horizontal.points.begin(),
                  strength.horizontal.points.end());
    return points;
}

uint32_t ColourOf(int32_t polarityCode) {
    if (polarityCode == polarity::kVertical) return kVerticalColour;
    if (polarityCode == polarity::kHorizontal) return kHorizontalColour;
    return kUnknownPolarity;
}

struct CurvePoint {
    double mhz, value;
};

// The readings inside the visible range in frequency order; a segment that crosses an edge is
// cut at the edge.
std::vector<CurvePoint> Clipped(std::vector<SpectrumReading> readings,
                                const FrequencyRange& visible) {
    std::stable_sort(
        readings.begin(), readings.end(),
        [](const SpectrumReading& a, const SpectrumReading& b) { return a.mhz < b.mhz; });
    const auto at = [](const SpectrumReading& a, const SpectrumReading& b, double mhz) {
        return CurvePoint{mhz, a.value + (b.value - a.value) * (mhz - a.mhz) / (b.mhz - a.mhz)};
    };
    std::vector<CurvePoint> points;
    for (size_t i = 0; i < readings.size(); ++i) {
        const SpectrumReading& r = readings[i];
        if (i > 0) {
            const SpectrumReading& p = readings[i - 1];
            if (p.mhz < visible.fromMhz && r.mhz > visible.fromMhz)
                points.push_back(at(p, r, visible.fromMhz));
            if (p.mhz < visible.toMhz && r.mhz > visible.toMhz)
                points.push_back(at(p, r, visible.toMhz));
        }
        if (r.mhz >= visible.fromMhz && r.mhz <= visible.toMhz)
            points.push_back({static_cast<double>(r.mhz), r.value});
    }
    return points;
}

// The value axis: from 0 (or the lowest reading below it) to a round number above the highest
// reading of either polarity, whatever range is visible, so that panning and
// zooming keep the scale.
struct ValueAxis {
    double low, high, step;
};
ValueAxis ValueAxisOf(const SpectrumData& data, double plotHeight) {
    double low = 0, high = 0;
    for (const SpectrumTrace* trace : {&data.vertical, &data.horizontal})
        for (const SpectrumReading& r : trace->readings) {
            low = std::min(low, r.value);
            high = std::max(high, r.value);
        }
    if (high <= low) high = low + (data.method == SweepMethod::RateSearch ? 100 : 10);
    const double step = NiceStep((high - low) / std::max(2.0, plotHeight / 40));
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

class SceneBuilder {
public:
    SceneBuilder(const SpectrumData& data, int width, int height, const FrequencyRange& visible)
        : data_(data), visible_(visible), area_(SpectrumPlotArea(data, width, height)) {
        scene_.width = width;
        scene_.height = height;
        if (!(visible_.span() > 0)) visible_ = {visible.fromMhz - 5, visible.fromMhz + 5};
        labelRows_ = std::clamp(static_cast<int>((area_.bottom - area_.top) / 4 / kLabelRowHeight),
                                1, kMaxLabelRows);
        curveTop_ = area_.top + labelRows_ * kLabelRowHeight + 6;
        values_ = ValueAxisOf(data, area_.bottom - curveTop_);
        strength_ = {area_, curveTop_, visible_,
                     LevelScaleOf(StrengthPointsOf(data.strength), area_.bottom - curveTop_)};
    }

    Scene Build() {
        Add(SceneRect{0, 0, double(scene_.width), double(scene_.height), kBackground});
        FrequencyTicks();
        ValueTicks();
        StrengthCurves();
        Curves();
        Markers();
        Frame();
        StrengthScale();
        TitleAndLegend();
        return std::move(scene_);
    }

private:
    double X(double mhz) const {
        return area_.left + (mhz - visible_.fromMhz) * (area_.right - area_.left) / visible_.span();
    }
    double Y(double value) const {
        const double height = std::max(1.0, area_.bottom - curveTop_);  // a tiny picture too
        return area_.bottom - (value - values_.low) * height / (values_.high - values_.low);
    }
    void Add(SceneItem item) { scene_.items.push_back(std::move(item)); }
    void Text(double x, double y, std::string text, double size, TextAlign align,
              uint32_t colour = kInk, bool upright = false) {
        AddText(scene_, x, y, std::move(text), size, align, colour, upright);
    }

    void FrequencyTicks() {
        AddFrequencyTicks(scene_, area_, visible_.fromMhz, visible_.toMhz, curveTop_);
    }

    void ValueTicks() {
        for (double v = values_.low; v <= values_.high + values_.step / 2; v += values_.step) {
            const double y = Y(v);
            Add(SceneLine{{area_.left, y}, {area_.right, y}, kGrid, 1});
            Add(SceneLine{{area_.left - 5, y}, {area_.left, y}, kInk, 1});
            Text(area_.left - 8, y + kTickText / 3, NumberText(v), kTickText, TextAlign::Right);
        }
        const bool quality = data_.method == SweepMethod::RateSearch;
        Text(16, (curveTop_ + area_.bottom) / 2, quality ? "Signal quality (%)" : "SNR (dB)",
             kCaptionText, TextAlign::Centre, kInk, true);
    }

    // Behind everything else that is drawn in the plot area.
    void StrengthCurves() {
        AddLevelCurve(scene_, strength_, data_.strength.vertical.points, polarity::kVertical,
                      kVerticalLightColour, kStrengthWidth);
        AddLevelCurve(scene_, strength_, data_.strength.horizontal.points, polarity::kHorizontal,
                      kHorizontalLightColour, kStrengthWidth);
    }

    // On the right, with its legend entry at the right end of the bottom row.
    void StrengthScale() {
        if (!HasStrength(data_)) return;
        AddLevelTicks(scene_, strength_, ScaleSide::Right);
        const bool vertical = !data_.strength.vertical.points.empty();
        const bool horizontal = !data_.strength.horizontal.points.empty();
        AddLegendEntry(
            scene_, area_.right, scene_.height - 8.0, "Strength pass",
            vertical ? kVerticalLightColour : kHorizontalLightColour,
            vertical && horizontal ? std::optional(kHorizontalLightColour) : std::nullopt);
    }

    void Curves() {
        for (const auto& [trace, colour] : {std::pair{&data_.vertical, kVerticalColour},
                                            std::pair{&data_.horizontal, kHorizontalColour}}) {
            ScenePolyline line{{}, colour, 1.5};
            for (const CurvePoint& p : Clipped(trace->readings, visible_))
                line.points.push_back({X(p.mhz), Y(p.value)});
            if (!line.points.empty()) Add(std::move(line));
        }
        if (data_.vertical.readings.empty() && data_.horizontal.readings.empty())
            Text((area_.left + area_.right) / 2, (curveTop_ + area_.bottom) / 2,
                 "No sweep readings yet", kCaptionText, TextAlign::Centre, kUnknownPolarity);
    }

    // A dashed line at each transponder found, in its polarity's colour, with its symbol rate
    // above it in the first label row where it overlaps no other label.
    void Markers() {
        std::vector<FoundTransponder> found;
        for (const FoundTransponder& t : data_.found)
            if (t.mhz >= visible_.fromMhz && t.mhz <= visible_.toMhz) found.push_back(t);
        std::stable_sort(
            found.begin(), found.end(),
            [](const FoundTransponder& a, const FoundTransponder& b) { return a.mhz < b.mhz; });
        std::vector<double> rowEnd(labelRows_, -1e9);
        for (const FoundTransponder& t : found) {
            const double x = X(t.mhz);
            const std::string text = std::to_string(t.ksps);
            const double width = EstimatedTextWidth(text, kLabelText);
            const double left = std::clamp(x - width / 2, area_.left + 2, area_.right - 2 - width);
            double markerTop = curveTop_;
            for (int row = 0; row < labelRows_; ++row) {
                if (left < rowEnd[row] + kLabelGap) continue;
                rowEnd[row] = left + width;
                const double baseline = area_.top + (row + 1) * kLabelRowHeight - 2;
                Text(left, baseline, text, kLabelText, TextAlign::Left, ColourOf(t.polarityCode));
                markerTop = baseline + 3;
                break;
            }
            Add(SceneLine{{x, markerTop}, {x, area_.bottom}, ColourOf(t.polarityCode), 1, true});
        }
    }

    void Frame() { AddFrame(scene_, area_); }

    // The method on the left of the top row, the legend on its right.
    void TitleAndLegend() {
        const double baseline = area_.top - 9;
        const size_t found = data_.found.size();
        Text(area_.left, baseline,
             std::string(data_.method == SweepMethod::RateSearch ? "GO sweep (page rev. 2.3)"
                                                                 : "Probable-frequency sweep") +
                 ", " + std::to_string(found) + (found == 1 ? " transponder" : " transponders") +
                 " found",
             kCaptionText, TextAlign::Left);
        double x = area_.right;
        const std::pair<std::string, uint32_t> entries[] = {{"kS/s: symbol rate found", kInk},
                                                            {"Horizontal", kHorizontalColour},
                                                            {"Vertical", kVerticalColour}};
        for (const auto& [text, colour] : entries)
            x = AddLegendEntry(scene_, x, baseline, text, colour);
    }

    const SpectrumData& data_;
    FrequencyRange visible_;
    PlotArea area_;
    int labelRows_ = 1;
    double curveTop_ = 0;
    ValueAxis values_{};
    LevelPlot strength_{};
    Scene scene_;
};

FrequencyRange KeptInside(FrequencyRange r, const FrequencyRange& full) {
    const double span = std::min(r.span(), full.span());
    if (r.fromMhz < full.fromMhz) r = {full.fromMhz, full.fromMhz + span};
    if (r.toMhz > full.toMhz) r = {full.toMhz - span, full.toMhz};
    return r;
}

}  // namespace

PlotArea SpectrumPlotArea(int width, int height) {
    return {72, 34, std::max(73.0, width - kRightMargin), std::max(35.0, height - 46.0)};
}

PlotArea SpectrumPlotArea(const SpectrumData& data, int width, int height) {
    PlotArea area = SpectrumPlotArea(width, height);
    if (HasStrength(data)) area.right = std::max(area.left + 1, width - kStrengthScaleMargin);
    return area;
}

double MhzAtX(double x, const PlotArea& area, const FrequencyRange& visible) {
    return visible.fromMhz + (x - area.left) * visible.span() / (area.right - area.left);
}

FrequencyRange FullRange(const SpectrumData& data) {
    double low = 1e18, high = -1e18;
    const auto cover = [&](double mhz) {
        low = std::min(low, mhz);
        high = std::max(high, mhz);
    };
    for (const SpectrumTrace* trace : {&data.vertical, &data.horizontal}) {
        if (trace->startMhz != 0 || trace->endMhz != 0) {
            cover(trace->startMhz);
            cover(trace->endMhz);
        }
        for (const SpectrumReading& r : trace->readings) cover(r.mhz);
    }
    for (const StrengthTrace* trace : {&data.strength.vertical, &data.strength.horizontal}) {
        if (trace->startMhz != 0 || trace->endMhz != 0) {
            cover(trace->startMhz);
            cover(trace->endMhz);
        }
        for (const StrengthPoint& p : trace->points) cover(p.mhz);
    }
    for (const FoundTransponder& t : data.found) cover(t.mhz);
    if (low > high) return kDefaultRange;
    if (high - low < kMinSpanMhz) {
        const double middle = (low + high) / 2;
        return {middle - kMinSpanMhz / 2, middle + kMinSpanMhz / 2};
    }
    return {low, high};
}

FrequencyRange ZoomAround(const FrequencyRange& visible, double centreMhz, double factor,
                          const FrequencyRange& full) {
    if (!(visible.span() > 0) || !(factor > 0)) return full;
    const double span =
        std::clamp(visible.span() * factor, std::min(kMinSpanMhz, full.span()), full.span());
    const double scale = span / visible.span();
    const double from = centreMhz - (centreMhz - visible.fromMhz) * scale;
    return KeptInside({from, from + span}, full);
}

FrequencyRange Pan(const FrequencyRange& visible, double deltaMhz, const FrequencyRange& full) {
    return KeptInside({visible.fromMhz + deltaMhz, visible.toMhz + deltaMhz}, full);
}

Scene BuildSpectrumScene(const SpectrumData& data, int width, int height,
                         const FrequencyRange& visible) {
    return SceneBuilder(data, width, height, visible).Build();
}

void AddText(Scene& scene, double x, double y, std::string text, double size, TextAlign align,
             uint32_t colour, bool upright) {
    scene.items.push_back(SceneText{{x, y}, std::move(text), colour, size, align, upright});
}

void AddFrame(Scene& scene, const PlotArea& area) {
    const double l = area.left, t = area.top, r = area.right, b = area.bottom;
    for (auto [from, to] : {std::pair{ScenePoint{l, t}, ScenePoint{r, t}},
                            {ScenePoint{r, t}, ScenePoint{r, b}},
                            {ScenePoint{r, b}, ScenePoint{l, b}},
                            {ScenePoint{l, b}, ScenePoint{l, t}}})
        scene.items.push_back(SceneLine{from, to, kInk, 1});
}

void AddFrequencyTicks(Scene& scene, const PlotArea& area, double fromMhz, double toMhz,
                       double gridTop) {
    const double labelWidth = EstimatedTextWidth("00000", kTickText) + 24;
    const double count = std::max(1.0, (area.right - area.left) / labelWidth);
    const double step = std::max(1.0, NiceStep((toMhz - fromMhz) / count));
    for (double mhz = std::ceil(fromMhz / step) * step; mhz <= toMhz + 1e-9; mhz += step) {
        const double x = area.left + (mhz - fromMhz) * (area.right - area.left) / (toMhz - fromMhz);
        scene.items.push_back(SceneLine{{x, gridTop}, {x, area.bottom}, kGrid, 1});
        scene.items.push_back(SceneLine{{x, area.bottom}, {x, area.bottom + 5}, kInk, 1});
        AddText(scene, x, area.bottom + 18, NumberText(mhz), kTickText, TextAlign::Centre);
    }
    AddText(scene, (area.left + area.right) / 2, scene.height - 8.0, "Frequency (MHz)",
            kCaptionText, TextAlign::Centre);
}

double AddLegendEntry(Scene& scene, double x, double baseline, const std::string& text,
                      uint32_t colour, std::optional<uint32_t> second) {
    x -= EstimatedTextWidth(text, kTickText);
    AddText(scene, x, baseline, text, kTickText, TextAlign::Left);
    x -= 22;
    if (colour == kInk) {  // the symbol-rate marker
        scene.items.push_back(
            SceneLine{{x + 8, baseline - 12}, {x + 8, baseline + 2}, kInk, 1, true});
    } else if (second) {
        scene.items.push_back(SceneRect{x, baseline - 10, 16, 3, colour});
        scene.items.push_back(SceneRect{x, baseline - 5, 16, 3, *second});
    } else {
        scene.items.push_back(SceneRect{x, baseline - 8, 16, 4, colour});
    }
    return x - 14;
}

std::string LevelScale::Caption() const {
    return dbm ? "Signal level (dBm)" : "Signal level (device units)";
}

LevelScale LevelScaleOf(const std::vector<StrengthPoint>& points, double plotHeight) {
    LevelScale scale;
    bool any = false;
    double low = 0, high = 0;
    for (const StrengthPoint& p : points) {
        if (!p.level) continue;
        scale.dbm = scale.dbm || *p.level < 0;
        low = any ? std::min<double>(low, *p.level) : *p.level;
        high = any ? std::max<double>(high, *p.level) : *p.level;
        any = true;
    }
    if (scale.dbm) low /= 1000, high /= 1000;
    if (!scale.dbm) low = 0;
    if (!(high > low)) high = low + 1, low -= scale.dbm ? 1 : 0;
    scale.step = NiceStep((high - low) / std::max(2.0, plotHeight / 40));
    scale.low = std::floor(low / scale.step) * scale.step;
    scale.high = std::ceil(high / scale.step) * scale.step;
    if (!(scale.high > scale.low)) scale.high = scale.low + scale.step;
    return scale;
}

double LevelPlot::X(double mhz) const {
    return area.left + (mhz - visible.fromMhz) * (area.right - area.left) / visible.span();
}

double LevelPlot::Y(double shown) const {
    const double height = std::max(1.0, area.bottom - top);
    return area.bottom - (shown - scale.low) * height / (scale.high - scale.low);
}

void AddLevelCurve(Scene& scene, const LevelPlot& plot, const std::vector<StrengthPoint>& points,
                   int32_t polarityCode, uint32_t colour, double width) {
    std::vector<SpectrumReading> run;
    const auto flush = [&] {
        ScenePolyline line{{}, colour, width};
        for (const CurvePoint& p : Clipped(std::move(run), plot.visible))
            line.points.push_back({plot.X(p.mhz), plot.Y(p.value)});
        run.clear();
        if (line.points.size() == 1) {
            const ScenePoint dot = line.points[0];
            scene.items.push_back(SceneRect{dot.x - 2.5, dot.y - 2.5, 5, 5, colour});
        } else if (line.points.size() > 1) {
            scene.items.push_back(std::move(line));
        }
    };
    for (const StrengthPoint& p : points) {
        if (p.polarityCode != polarityCode) continue;
        if (p.level)
            run.push_back({p.mhz, plot.scale.Shown(*p.level)});
        else
            flush();
    }
    flush();
}

void AddLevelTicks(Scene& scene, const LevelPlot& plot, ScaleSide side) {
    const PlotArea& a = plot.area;
    const LevelScale& s = plot.scale;
    const bool left = side == ScaleSide::Left;
    for (double v = s.low; v <= s.high + s.step / 2; v += s.step) {
        const double y = plot.Y(v);
        if (left) scene.items.push_back(SceneLine{{a.left, y}, {a.right, y}, kGrid, 1});
        const double edge = left ? a.left : a.right, out = left ? -1 : 1;
        scene.items.push_back(SceneLine{{edge, y}, {edge + 5 * out, y}, kInk, 1});
        AddText(scene, edge + 8 * out, y + kTickText / 3, NumberText(v), kTickText,
                left ? TextAlign::Right : TextAlign::Left);
    }
    AddText(scene, left ? 16 : scene.width - 6.0, (plot.top + a.bottom) / 2, s.Caption(),
            kCaptionText, TextAlign::Centre, kInk, true);
}

double NiceStep(double raw) {
    if (!(raw > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw * (1 - 1e-9)) return m * power;
    return 10 * power;
}

double EstimatedTextWidth(const std::string& text, double size) {
    double ems = 0;
    for (unsigned char c : text) {
        if ((c & 0xc0) == 0x80) continue;  // continuation byte of a UTF-8 character
        ems += std::isupper(c) ? 0.75 : (c == ' ' || c == '.' || c == ':') ? 0.35 : 0.64;
    }
    return ems * size;
}

std::optional<PictureFormat> PictureFormatOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png") return PictureFormat::Png;
    if (ext == "svg") return PictureFormat::Svg;
    return std::nullopt;
}

}  // namespace quillox
