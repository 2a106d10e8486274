// quillox-scan --spectrum: the option and the picture's curves, gaps included.
#include <gtest/gtest.h>

#include "cli/options.h"
#include "cli/strength_plot.h"

namespace quillox::cli {
namespace {

TEST(SpectrumOptionTest, TakesAPictureFileAndStandsInForTheJobs) {
    const char* alone[] = {"quillox-scan", "--spectrum=band.SVG", "--polarity", "h"};
    const ParseResult parsed = ParseOptions(4, alone);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.spectrumFile, "band.SVG");
    EXPECT_TRUE(parsed.options.jobs.empty());

    for (const char* bad : {"band.jpg", "band", "png"}) {
        const char* argv[] = {"quillox-scan", "--spectrum", bad, "GO"};
        EXPECT_NE(ParseOptions(4, argv).error.find("--spectrum takes"), std::string::npos) << bad;
    }
    const char* noFile[] = {"quillox-scan", "--spectrum"};
    EXPECT_NE(ParseOptions(2, noFile).error, "");
}

TEST(StrengthPlotTest, AMissingLevelSplitsTheCurveAndNegativeLevelsReadInDbm) {
    StrengthSpectrum s{11000, 11005, {}, true};
    for (int mhz = 11000; mhz <= 11005; ++mhz)
        s.points.push_back({1, mhz, mhz == 11003 ? std::nullopt : std::optional(-50000 + mhz), {}});
    const Scene scene = BuildStrengthScene(s, 1200, 520);
    std::vector<size_t> curves;
    bool dbmAxis = false;
    for (const SceneItem& item : scene.items) {
        if (const auto* line = std::get_if<ScenePolyline>(&item))
            curves.push_back(line->points.size());
        if (const auto* text = std::get_if<SceneText>(&item))
            dbmAxis = dbmAxis || text->text == "Signal level (dBm)";
    }
    EXPECT_EQ(curves, (std::vector<size_t>{3, 2}));
    EXPECT_TRUE(dbmAxis);
}

}  // namespace
}  // namespace quillox::cli
