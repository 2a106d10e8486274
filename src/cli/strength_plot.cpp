#include "cli/strength_plot.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "base/tuning_code_values.h"
#include "cli/sweep_plot.h"

namespace quillox::cli {
namespace {

constexpr uint32_t kQuiet = 0x808080;
constexpr double kMinSpanMhz = 10;

class StrengthScene {
public:
    StrengthScene(const StrengthSpectrum& s, int width, int height) : s_(s) {
        scene_.width = width;
        scene_.height = height;
        const PlotArea area = SpectrumPlotArea(width, height);
        // A narrow range is shown about its middle, so that its points stay off the frame.
        FrequencyRange range{double(s.startMhz), double(s.endMhz)};
        if (range.span() < kMinSpanMhz) {
            const double middle = (range.fromMhz + range.toMhz) / 2;
            range = {middle - kMinSpanMhz / 2, middle + kMinSpanMhz / 2};
        }
        plot_ = {area, area.top, range, LevelScaleOf(s.points, area.bottom - area.top)};
    }

    Scene Build() {
        const PlotArea& area = plot_.area;
        scene_.items.push_back(
            SceneRect{0, 0, double(scene_.width), double(scene_.height), kSceneBackground});
        AddFrequencyTicks(scene_, area, plot_.visible.fromMhz, plot_.visible.toMhz, area.top);
        AddLevelTicks(scene_, plot_, ScaleSide::Left);
        Curves();
        AddFrame(scene_, area);
        TitleAndLegend();
        return std::move(scene_);
    }

private:
    void Curves() {
        AddLevelCurve(scene_, plot_, s_.points, polarity::kVertical, kVerticalColour, 1.5);
        AddLevelCurve(scene_, plot_, s_.points, polarity::kHorizontal, kHorizontalColour, 1.5);
        if (std::none_of(s_.points.begin(), s_.points.end(),
                         [](const StrengthPoint& p) { return p.level.has_value(); }))
            AddText(scene_, (plot_.area.left + plot_.area.right) / 2,
                    (plot_.area.top + plot_.area.bottom) / 2,
                    s_.points.empty() ? "No readings" : "The device gave no signal level",
                    kSceneCaptionText, TextAlign::Centre, kQuiet);
    }

    // The range on the left of the top row, a legend entry per polarity measured on its right.
    void TitleAndLegend() {
        const double baseline = plot_.area.top - 9;
        std::string title = "Strength spectrum " + std::to_string(s_.startMhz) + " – " +
                            std::to_string(s_.endMhz) + " MHz";
        if (!s_.complete) title += " (stopped before the end)";
        AddText(scene_, plot_.area.left, baseline, title, kSceneCaptionText, TextAlign::Left);
        double x = plot_.area.right;
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
    LevelPlot plot_{};
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
