// The Spectrum picture's geometry: markers and labels of the transponders found, the two
// polarities' colours, zoom clipping, label placement, and the zoom and pan rules.
#include "app/sweep_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "base/tuning_code_values.h"

namespace quillox::test {
namespace {

constexpr int32_t kV = polarity::kVertical, kH = polarity::kHorizontal;

template <class Item>
std::vector<Item> ItemsOf(const Scene& scene) {
    std::vector<Item> items;
    for (const SceneItem& item : scene.items)
        if (const Item* found = std::get_if<Item>(&item)) items.push_back(*found);
    return items;
}

std::vector<SceneLine> Markers(const Scene& scene) {
    std::vector<SceneLine> markers;
    for (const SceneLine& line : ItemsOf<SceneLine>(scene))
        if (line.dashed && line.to.y > line.from.y + 20)
            markers.push_back(line);  // not the legend's
    return markers;
}

std::vector<SceneText> Labels(const Scene& scene) {
    std::vector<SceneText> labels;
    for (const SceneText& text : ItemsOf<SceneText>(scene))
        if (text.size == 11) labels.push_back(text);
    return labels;
}

SpectrumData Ramp(std::vector<FoundTransponder> found) {
    SpectrumData data{SweepMethod::RateSearch, {11000, 11100, {}}, {11000, 11100, {}}, found};
    for (int32_t mhz = 11000; mhz <= 11100; mhz += 10) {
        data.vertical.readings.push_back({mhz, (mhz - 11000) / 10.0});
        data.horizontal.readings.push_back({mhz, 10 - (mhz - 11000) / 10.0});
    }
    return data;
}

TEST(SpectrumSceneTest, MarksEachVisibleTransponderAtItsFrequencyInItsPolarityColour) {
    const FrequencyRange visible{11000, 11100};
    const Scene scene = BuildSpectrumScene(
        Ramp({{11020, kV, 27500, 0}, {11060, kH, 22000, 0}, {11500, kH, 30000, 0}}), 800, 400,
        visible);
    const PlotArea area = SpectrumPlotArea(800, 400);
    const auto x = [&](double mhz) {
        return area.left + (mhz - 11000) * (area.right - area.left) / 100;
    };

    const std::vector<SceneLine> markers = Markers(scene);
    ASSERT_EQ(markers.size(), 2u) << "11500 MHz lies outside the visible range";
    EXPECT_DOUBLE_EQ(markers[0].from.x, x(11020));
    EXPECT_EQ(markers[0].colour, kVerticalColour);
    EXPECT_DOUBLE_EQ(markers[1].from.x, x(11060));
    EXPECT_EQ(markers[1].colour, kHorizontalColour);
    const std::vector<SceneText> labels = Labels(scene);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, "27500");
    EXPECT_EQ(labels[0].colour, kVerticalColour);
    EXPECT_EQ(labels[1].text, "22000");

    const std::vector<ScenePolyline> curves = ItemsOf<ScenePolyline>(scene);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].colour, kVerticalColour);
    EXPECT_EQ(curves[1].colour, kHorizontalColour);
    EXPECT_LT(curves[0].points.back().y, curves[0].points.front().y) << "the vertical ramp rises";

    std::vector<std::string> texts;
    for (const SceneText& t : ItemsOf<SceneText>(scene)) texts.push_back(t.text);
    for (const char* caption :
         {"Vertical", "Horizontal", "Signal quality (%)", "Frequency (MHz)", "11000", "11100"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), caption), texts.end()) << caption;
}

TEST(SpectrumSceneTest, AZoomCutsTheCurvesAtTheEdgesOfThePlot) {
    const Scene scene = BuildSpectrumScene(Ramp({}), 800, 400, {11045, 11065});
    const PlotArea area = SpectrumPlotArea(800, 400);
    const std::vector<ScenePolyline> curves = ItemsOf<ScenePolyline>(scene);
    ASSERT_EQ(curves.size(), 2u);
    for (const ScenePolyline& curve : curves) {
        ASSERT_EQ(curve.points.size(), 4u) << "11045, 11050, 11060, 11065";
        EXPECT_DOUBLE_EQ(curve.points.front().x, area.left);
        EXPECT_DOUBLE_EQ(curve.points.back().x, area.right);
    }
    // the vertical ramp (value 5 at 11050, 6 at 11060) is cut at 11045, value 4.5
    const std::vector<ScenePoint>& v = curves[0].points;
    EXPECT_DOUBLE_EQ(v[0].y, v[1].y + (v[1].y - v[2].y) / 2);

    for (const ScenePolyline& curve :
         ItemsOf<ScenePolyline>(BuildSpectrumScene(Ramp({}), 40, 40, {11000, 11100})))
        for (const ScenePoint& p : curve.points)
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y))
                << "a picture too small for its frame";
}

// The strength curves: split where the device gave no level, cut at the plot's edges like the
// readings, in a plot narrowed on the right for their scale.
TEST(SpectrumSceneTest, StrengthCurvesSplitAtAMissingLevelAndAreCutAtTheEdges) {
    SpectrumData data = Ramp({});
    data.strength.vertical.startMhz = 11000, data.strength.vertical.endMhz = 11100;
    for (int32_t mhz = 11000; mhz <= 11100; ++mhz)
        data.strength.vertical.points.push_back(
            {kV, mhz, mhz == 11055 ? std::nullopt : std::optional(mhz - 11000), {}});
    const PlotArea area = SpectrumPlotArea(data, 800, 400);
    EXPECT_LT(area.right, SpectrumPlotArea(800, 400).right);
    std::vector<ScenePolyline> light;
    for (const ScenePolyline& curve :
         ItemsOf<ScenePolyline>(BuildSpectrumScene(data, 800, 400, {11045.5, 11065.5})))
        if (curve.colour == kVerticalLightColour) light.push_back(curve);
    ASSERT_EQ(light.size(), 2u);
    EXPECT_EQ(light[0].points.size(), 10u) << "the edge, then 11046..11054";
    EXPECT_EQ(light[1].points.size(), 11u) << "11056..11065, then the edge";
    EXPECT_DOUBLE_EQ(light[0].points.front().x, area.left);
    EXPECT_DOUBLE_EQ(light[1].points.back().x, area.right);
}

TEST(SpectrumSceneTest, DenseLabelsAreStaggeredWithoutOverlapAndAZoomShowsThemAll) {
    std::vector<FoundTransponder> found;
    for (int32_t mhz = 11000; mhz <= 11100; mhz += 2) found.push_back({mhz, kV, 27500, 0});
    for (const FrequencyRange visible : {FrequencyRange{11000, 11100}, {11040, 11060}}) {
        const Scene scene = BuildSpectrumScene(Ramp(found), 600, 400, visible);
        const std::vector<SceneText> labels = Labels(scene);
        std::set<double> rows;
        for (size_t i = 0; i < labels.size(); ++i) {
            rows.insert(labels[i].at.y);
            for (size_t j = i + 1; j < labels.size(); ++j) {
                if (labels[i].at.y != labels[j].at.y) continue;
                const double wi = EstimatedTextWidth(labels[i].text, labels[i].size);
                EXPECT_TRUE(labels[i].at.x + wi <= labels[j].at.x ||
                            labels[j].at.x + EstimatedTextWidth(labels[j].text, 11) <=
                                labels[i].at.x)
                    << "labels " << i << " and " << j << " overlap";
            }
        }
        const size_t markers = Markers(scene).size();
        if (visible.span() == 100) {
            EXPECT_EQ(markers, found.size());
            EXPECT_GT(rows.size(), 1u) << "staggered";
            EXPECT_LT(labels.size(), found.size()) << "thinned";
        } else {
            EXPECT_EQ(markers, 11u);
            EXPECT_EQ(labels.size(), markers) << "zoomed in, every marker has its label";
        }
    }
}

TEST(SpectrumZoomTest, ZoomKeepsTheCursorFrequencyAndStaysInsideTheFullRange) {
    const FrequencyRange full{10700, 12750};
    struct Case {
        FrequencyRange visible;
        double centre, factor;
        FrequencyRange expected;
    };
    for (const Case& c :
         {Case{full, 11725, 0.5, {11212.5, 12237.5}},
          Case{{11000, 11020}, 11010, 0.1, {11005, 11015}},  // 10 MHz at least
          Case{{12000, 12500}, 12400, 10, full}, Case{{10700, 11000}, 10700, 1.5, {10700, 11150}},
          Case{{11000, 11000}, 11000, 0.5, full}}) {  // no span: the whole
        const FrequencyRange zoomed = ZoomAround(c.visible, c.centre, c.factor, full);
        EXPECT_DOUBLE_EQ(zoomed.fromMhz, c.expected.fromMhz) << c.centre << " x" << c.factor;
        EXPECT_DOUBLE_EQ(zoomed.toMhz, c.expected.toMhz) << c.centre << " x" << c.factor;
    }
    const FrequencyRange panned = Pan({12500, 12700}, 300, full);
    EXPECT_EQ(std::pair(panned.fromMhz, panned.toMhz), std::pair(12550.0, 12750.0));
    const FrequencyRange none = FullRange({});
    EXPECT_EQ(std::pair(none.fromMhz, none.toMhz), std::pair(10700.0, 12750.0));
    const FrequencyRange data = FullRange(Ramp({{11150, kH, 1000, 0}}));
    EXPECT_EQ(std::pair(data.fromMhz, data.toMhz), std::pair(11000.0, 11150.0));
}

TEST(PictureFormatTest, TheExtensionChoosesTheFormatInAnyCase) {
    EXPECT_EQ(PictureFormatOf("/tmp/a.png"), PictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("B.SVG"), PictureFormat::Svg);
    for (const char* refused : {"a.jpg", "png", "dir.png/plot", "a.png.txt"})
        EXPECT_EQ(PictureFormatOf(refused), std::nullopt) << refused;
}

}  // namespace
}  // namespace quillox::test
