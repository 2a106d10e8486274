// Windows kept on the screens: a place that is visible stays, any other moves in as little as
// needed, onto the screen it overlaps most (or the nearest), and no larger than that screen.
#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace quillox {
namespace {

const ScreenRect kScreen{0, 0, 1280, 1024};
const ScreenRect kRightScreen{1280, 0, 1920, 1080};

struct PlacementCase {
    const char* what;
    ScreenRect window;
    std::vector<ScreenRect> screens;
    ScreenRect expected;
};

class FitOnScreensTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(FitOnScreensTest, Places) {
    EXPECT_EQ(FitOnScreens(GetParam().window, GetParam().screens), GetParam().expected)
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitOnScreensTest,
    ::testing::Values(
        PlacementCase{"visible: kept", {100, 80, 747, 560}, {kScreen}, {100, 80, 747, 560}},
        PlacementCase{"Left=1500 on 1280 px: moved left to the edge",
                      {1500, 80, 747, 560},
                      {kScreen},
                      {1280 - 747, 80, 747, 560}},
        PlacementCase{"Left=-99999: moved right to the edge",
                      {-99999, 80, 747, 560},
                      {kScreen},
                      {0, 80, 747, 560}},
        PlacementCase{"bottom below the screen: moved up",
                      {300, 700, 900, 520},
                      {kScreen},
                      {300, 1024 - 520, 900, 520}},
        PlacementCase{"taller than the screen: as tall as it, at its top",
                      {100, 100, 900, 1200},
                      {kScreen},
                      {100, 0, 900, 1024}},
        PlacementCase{"wholly on the second screen: kept",
                      {2000, 100, 747, 560},
                      {kScreen, kRightScreen},
                      {2000, 100, 747, 560}},
        PlacementCase{"across both, more on the second: onto the second",
                      {1000, 100, 747, 560},
                      {kScreen, kRightScreen},
                      {1280, 100, 747, 560}},
        PlacementCase{"on neither: onto the nearest",
                      {5000, 100, 747, 560},
                      {kScreen, kRightScreen},
                      {1280 + 1920 - 747, 100, 747, 560}},
        PlacementCase{"no screens known: kept", {-50, -50, 10, 10}, {}, {-50, -50, 10, 10}}));

}  // namespace
}  // namespace quillox
