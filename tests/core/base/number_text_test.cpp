// Integer fields, SNR rounding, reading texts and the stepping rule.
#include "base/number_text.h"

#include <gtest/gtest.h>

#include "base/range_step.h"

namespace quillox {
namespace {

TEST(LenientIntTest, AcceptsOnly32BitDecimalIntegers) {
    EXPECT_EQ(LenientInt("10700"), 10700);
    EXPECT_EQ(LenientInt("-5"), -5);
    EXPECT_EQ(LenientInt("+7"), 7);
    EXPECT_EQ(LenientInt("013"), 13);
    EXPECT_EQ(LenientInt("2147483647"), 2147483647);
    for (const char* bad : {"", " 5", "5 ", "abc", "1.5", "2147483648", "+", "-", "+-3", "0x10"})
        EXPECT_EQ(LenientInt(bad), -1) << bad;
}

TEST(StrictIntTest, RaisesTheConversionErrorWithTheOffendingText) {
    EXPECT_EQ(StrictInt("42"), 42);
    try {
        StrictInt("4x");
        FAIL() << "no error raised";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'4x' is not a valid integer value");
    }
}

struct RoundCase {
    double in;
    int tenths;  // the result is tenths * 0.1, computed as a double
};

class RoundToTenthTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundToTenthTest, RoundsHalfUpOnTheMagnitude) {
    EXPECT_EQ(RoundToTenth(GetParam().in), GetParam().tenths * 0.1) << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(Readings, RoundToTenthTest,
                         ::testing::Values(RoundCase{12.34f, 123}, RoundCase{12.35f, 124},
                                           RoundCase{3.649f, 36}, RoundCase{3.66f, 37},
                                           RoundCase{0.0, 0}, RoundCase{7.0, 70},
                                           RoundCase{6.05f, 61}, RoundCase{-1.26, -12}));

TEST(RoundToTenthTest, ThresholdTenthsCompareExactly) {
    // 3.6 itself is no hit against a threshold of 3.6; 3.7 is.
    EXPECT_FALSE(RoundToTenth(3.64f) > 3.6);
    EXPECT_TRUE(RoundToTenth(3.65f) > 3.6);
    EXPECT_FALSE(RoundToTenth(6.04f) > 6.0);
    EXPECT_TRUE(RoundToTenth(6.06f) > 6.0);
}

TEST(ReadingTextTest, ShowsTheFewestDigits) {
    EXPECT_EQ(ReadingText(RoundToTenth(3.66f)), "3.7");
    EXPECT_EQ(ReadingText(RoundToTenth(12.0)), "12");
    EXPECT_EQ(ReadingText(0.0), "0");
    EXPECT_EQ(ReadingText(-0.0), "0");
    EXPECT_EQ(ReadingText(RoundToTenth(-0.04)), "0");
    EXPECT_EQ(ReadingText(RoundToTenth(12.3)), "12.3");
}

TEST(NextInRangeTest, LastValueIsAlwaysTheEnd) {
    std::vector<int64_t> visited;
    for (int64_t f = 10700; f <= 10712; f = NextInRange(f, 10712, 5)) visited.push_back(f);
    EXPECT_EQ(visited, (std::vector<int64_t>{10700, 10705, 10710, 10712}));
    visited.clear();
    for (int64_t f = 5; f <= 5; f = NextInRange(f, 5, 3)) visited.push_back(f);
    EXPECT_EQ(visited, (std::vector<int64_t>{5}));
    visited.clear();
    const int64_t top = INT32_MAX;
    for (int64_t f = top - 1; f <= top; f = NextInRange(f, top, 1)) visited.push_back(f);
    EXPECT_EQ(visited.size(), 2u);
}

}  // namespace
}  // namespace quillox
