#include "cli/strength_plot.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "base/number_text.h"
#include "base/tuning_code_values.h"
#include "cli/sweep_plot.h"

namespace quillox::cli {
namespace {

constexpr uint32_t kBackground = kSceneBackground;
constexpr uint32_t kInk = kSceneInk;
constexpr uint32_t kGrid = kSceneGrid;
constexpr uint32_t kQuiet = 0x808080;
constexpr double kTickText = kSceneTickText;
constexpr double kCaptionText = kSceneCaptionText;
constexpr double kMinSpanMhz = 10;

std::string NumberText(double value) {
    return ReadingText(std::round(value * 1000) / 1000);
}

class StrengthScene {
public:
    StrengthScene(const StrengthSpectrum& s, int width, int height)
        : s_(s), area_(SpectrumPlotArea(width, height)) {
        scene_.width = width;
        scene_.height = height;
        // A narrow range is shown about its middle, so that its points stay off the frame.
        from_ = s.startMhz;
        to_ = s.endMhz;
        if (to_ - from_ < kMinSpanMhz) {
            const double middle = (from_ + to_) / 2;
            from_ = middle - kMinSpanMhz / 2, to_ = middle + kMinSpanMhz / 2;
        }
        bool any = false;
        double low = 0, high = 0;
        for (const StrengthPoint& p : s.points) {
            if (!p.level) continue;
            dbm_ = dbm_ || *p.level < 0;
            low = any ? std::min<double>(low, *p.level) : *p.level;
            high = any ? std::max<double>(high, *p.level) : *p.level;
            any = true;
        }
        if (dbm_) low /= 1000, high /= 1000;
        if (!dbm_) low = 0;  // a relative level is read from zero up
        if (!(high > low)) high = low + 1, low -= dbm_ ? 1 : 0;
        step_ = NiceStep((high - low) / std::max(2.0, (area_.bottom - area_.top) / 40));
        low_ = std::floor(low / step_) * step_;
        high_ = std::ceil(high / step_) * step_;
        if (!(high_ > low_)) high_ = low_ + step_;
    }

    Scene Build() {
        Add(SceneRect{0, 0, double(scene_.width), double(scene_.height), kBackground});
        FrequencyTicks();
        LevelTicks();
        Curves();
        Frame();
        TitleAndLegend();
        return std::move(scene_);
    }

private:
    double X(double mhz) const {
        return area_.left + (mhz - from_) * (area_.right - area_.left) / (to_ - from_);
    }
    double Y(double level) const {
        return area_.bottom - (level - low_) * (area_.bottom - area_.top) / (high_ - low_);
    }
    double Shown(int32_t level) const { return dbm_ ? level / 1000.0 : level; }
    void Add(SceneItem item) { scene_.items.push_back(std::move(item)); }
    void Text(double x, double y, std::string text, double size, TextAlign align,
              uint32_t colour = kInk, bool upright = false) {
        AddText(scene_, x, y, std::move(text), size, align, colour, upright);
    }

    void FrequencyTicks() { AddFrequencyTicks(scene_, area_, from_, to_, area_.top); }

    void LevelTicks() {
        for (double v = low_; v <= high_ + step_ / 2; v += step_) {
            const double y = Y(v);
            Add(SceneLine{{area_.left, y}, {area_.right, y}, kGrid, 1});
            Add(SceneLine{{area_.left - 5, y}, {area_.left, y}, kInk, 1});
            Text(area_.left - 8, y + kTickText / 3, NumberText(v), kTickText, TextAlign::Right);
        }
        Text(16, (area_.top + area_.bottom) / 2,
             dbm_ ? "Signal level (dBm)" : "Signal level (device units)", kCaptionText,
             TextAlign::Centre, kInk, true);
    }

    // A polyline per run of steps with a level; a lone point between gaps is a dot.
    void Curves() {
        for (const auto& [code, colour] : {std::pair{polarity::kVertical, kVerticalColour},
                                           std::pair{polarity::kHorizontal, kHorizontalColour}}) {
            std::vector<ScenePoint> run;
            const auto flush = [&] {
                if (run.size() == 1) Add(SceneRect{run[0].x - 2.5, run[0].y - 2.5, 5, 5, colour});
                if (run.size() > 1) Add(ScenePolyline{run, colour, 1.5});
                run.clear();
            };
            for (const StrengthPoint& p : s_.points) {
                if (p.polarityCode != code) continue;
                if (!p.level) {
                    flush();
                    continue;
                }
                run.push_back({X(p.mhz), Y(Shown(*p.level))});
            }
            flush();
        }
        if (std::none_of(s_.points.begin(), s_.points.end(),
                         [](const StrengthPoint& p) { return p.level.has_value(); }))
            Text((area_.left + area_.right) / 2, (area_.top + area_.bottom) / 2,
                 s_.points.empty() ? "No readings" : "The device gave no signal level",
                 kCaptionText, TextAlign::Centre, kQuiet);
    }

    void Frame() { AddFrame(scene_, area_); }

    // The range on the left of the top row, a legend entry per polarity measured on its right.
    void TitleAndLegend() {
        const double baseline = area_.top - 9;
        std::string title = "Strength spectrum " + std::to_string(s_.startMhz) + " – " +
                            std::to_string(s_.endMhz) + " MHz";
        if (!s_.complete) title += " (stopped before the end)";
        Text(area_.left, baseline, title, kCaptionText, TextAlign::Left);
        double x = area_.right;
        for (const auto& [code, text, colour] :
             {std::tuple{polarity::kHorizontal, "Horizontal", kHorizontalColour},
              std::tuple{polarity::kVertical, "Vertical", kVerticalColour}}) {
            if (std::none_of(s_.points.begin(), s_.points.end(),
                             [code](const StrengthPoint& p) { return p.polarityCode == code; }))
                continue;
            x = AddLegendEntry(scene_, x, baseline, text, colour);
        }
    }

    const StrengthSpectrum& s_;
    PlotArea area_;
    double from_ = 0, to_ = 1;
    bool dbm_ = false;
    double low_ = 0, high_ = 1, step_ = 1;
    Scene scene_;
};

}  // namespace

Scene BuildStrengthScene(const StrengthSpectrum& spectrum, int width, int height) {
    return StrengthScene(spectrum, width, height).Build();
}

FileWriteResult WriteStrengthPlot(const StrengthSpectrum& spectrum, const std::string& path) {
    return WriteSpectrumPlot(BuildStrengthScene(spectrum, kPlotWidth, kPlotHeight), path);
}

}  // namespace quillox::cli
