// quillox-scan --plot: the picture written as PNG or SVG, refused extensions and paths.
#include "cli/sweep_plot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/options.h"

namespace quillox::cli {
namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(SpectrumPlotTest, WritesAPngOrAnSvgByTheExtension) {
    SpectrumData data;
    data.vertical = {11000, 11100, {{11000, 2}, {11050, 9}, {11100, 3}}};
    data.found = {{11050, 1, 27500, 0}};
    const Scene scene = BuildSpectrumScene(data, kPlotWidth, kPlotHeight, FullRange(data));
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillox_plot_test";
    std::filesystem::create_directories(dir);
    for (auto [name, signature] : {std::pair{"s.png", std::string("\x89PNG\r\n\x1a\n")},
                                   std::pair{"s.SVG", std::string("<svg")}}) {
        ASSERT_TRUE(WriteSpectrumPlot(scene, (dir / name).string())) << name;
        const std::string bytes = Contents(dir / name);
        EXPECT_GT(bytes.size(), 1000u) << name;
        EXPECT_NE(bytes.substr(0, 200).find(signature), std::string::npos) << name;
    }

    const FileWriteResult jpeg = WriteSpectrumPlot(scene, (dir / "s.jpg").string());
    EXPECT_FALSE(jpeg.ok);
    EXPECT_NE(jpeg.error.find(".png or .svg"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "s.jpg"));
    const FileWriteResult nowhere = WriteSpectrumPlot(scene, (dir / "none" / "s.png").string());
    EXPECT_FALSE(nowhere.ok);
    EXPECT_FALSE(nowhere.error.empty());
    std::filesystem::remove_all(dir);

    const char* argv[] = {"quillox-scan", "--plot", "x.jpeg", "GO"};
    EXPECT_NE(ParseOptions(4, argv).error.find("--plot"), std::string::npos);
}

}  // namespace
}  // namespace quillox::cli
