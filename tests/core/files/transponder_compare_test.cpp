// Comparison of the found transponders with an earlier transponder file.
#include "files/transponder_compare.h"

#include <gtest/gtest.h>

#include "base/tuning_code_values.h"
#include "support/test_platform.h"

namespace quillox::test {
namespace {

const char* const kEarlierIni =
    "[SATTYPE]\r\n1=0130\r\n2=Sat 13.0E\r\n\r\n[DVB]\r\n0=5\r\n"
    "1=10719,V,27500,34\r\n2=10758,H,22000,56\r\n3=11034,V,27500,34\r\n"
    "4=11303,H,2170,0\r\n5=12188,V,27500,34\r\n\r\n\r\n;File Generated\r\n; on 1/2/2024\r\n";

std::string Report(const std::vector<std::string>& now) {
    const auto before = ParseTransponderIniLines(kEarlierIni);
    if (!before) return "unreadable";
    return FormatTransponderChanges(CompareTransponders(*before, ParseTransponderLines(now)));
}

TEST(TransponderCompareTest, ReadsTheDvbSectionOfATransponderFile) {
    const auto lines = ParseTransponderIniLines(kEarlierIni);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 5u);
    EXPECT_EQ(FormatTransponderLine(lines->back()), "5=12188,V,27500,34");
    EXPECT_FALSE(ParseTransponderIniLines("[SATTYPE]\r\n1=0130\r\n"));
    TempDir dir;
    WriteFileBytes(dir.path() / "0130.ini", kEarlierIni);
    const auto read = ReadTransponderIniLines(dir.str() + "0130.ini");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 5u);
    EXPECT_EQ(FormatTransponderLine(read->front()), "1=10719,V,27500,34");
    EXPECT_FALSE(ReadTransponderIniLines(dir.str() + "missing.ini"));
}

struct CompareCase {
    const char* what;
    std::vector<std::string> now;
    const char* report;
};

class TransponderCompareCases : public ::testing::TestWithParam<CompareCase> {};

TEST_P(TransponderCompareCases, ListsExactlyWhatChanged) {
    EXPECT_EQ(Report(GetParam().now), GetParam().report) << GetParam().what;
}

const std::vector<std::string> kSame = {"1=10719,V,27500,34", "2=10758,H,22000,56",
                                        "3=11034,V,27500,34", "4=11303,H,2170,0",
                                        "5=12188,V,27500,34"};

INSTANTIATE_TEST_SUITE_P(
    Cases, TransponderCompareCases,
    ::testing::Values(CompareCase{"same list, renumbered and reordered",
                                  {"1=12188,V,27500,34", "2=11303,H,2170,0", "3=11034,V,27500,34",
                                   "4=10758,H,22000,56", "5=10719,V,27500,34"},
                                  "No change\n"},
                      CompareCase{"rate noise below 1 %",
                                  {kSame[0], kSame[1], kSame[2], kSame[3], "5=12188,V,27480,34"},
                                  "No change\n"},
                      CompareCase{"one removed, one added, one moved",
                                  {"1=10719,V,27500,34", "2=10760,H,22000,56", "3=11303,H,2170,0",
                                   "4=12188,V,27500,34", "5=11685,H,27500,56"},
                                  "New (1)\n  11685,H,27500,56\nGone (1)\n  11034,V,27500,34\n"
                                  "Moved (1)\n  10758,H,22000,56 -> 10760,H,22000,56\n"},
                      CompareCase{"a rate change is a move",
                                  {kSame[0], kSame[1], kSame[2], kSame[3], "5=12188,V,30000,34"},
                                  "Moved (1)\n  12188,V,27500,34 -> 12188,V,30000,34\n"},
                      CompareCase{"other polarity is another transponder",
                                  {kSame[0], kSame[1], kSame[2], kSame[3], "5=12188,H,27500,34"},
                                  "New (1)\n  12188,H,27500,34\nGone (1)\n  12188,V,27500,34\n"},
                      CompareCase{"beyond half the narrow carrier's band is another one",
                                  {kSame[0], kSame[1], kSame[2], "4=11306,H,2170,0", kSame[4]},
                                  "New (1)\n  11306,H,2170,0\nGone (1)\n  11303,H,2170,0\n"},
                      CompareCase{"the nearest claims the earlier one",
                                  {kSame[0], kSame[1], kSame[2], kSame[3], "5=12196,V,27500,34",
                                   "6=12189,V,27500,34"},
                                  "New (1)\n  12196,V,27500,34\n"
                                  "Moved (1)\n  12188,V,27500,34 -> 12189,V,27500,34\n"},
                      CompareCase{"nothing found",
                                  {},
                                  "Gone (5)\n  10719,V,27500,34\n  10758,H,22000,56\n"
                                  "  11034,V,27500,34\n  11303,H,2170,0\n  12188,V,27500,34\n"}));

}  // namespace
}  // namespace quillox::test

namespace quillox::test {
namespace {

// Only what the scan covered can be gone: the rest of the earlier file was not scanned.
TEST(TransponderCompareTest, EarlierTranspondersOutsideTheScanAreNotScannedRatherThanGone) {
    const auto before = ParseTransponderIniLines(kEarlierIni);
    ASSERT_TRUE(before);
    const std::vector<TransponderLine> now = ParseTransponderLines({"1=10719,V,27500,34"});
    const TransponderChanges changes = CompareTransponders(
        *before, now, {{polarity::kVertical, 10700, 11100}, {polarity::kHorizontal, 10700, 10800}});
    EXPECT_EQ(FormatTransponderChanges(changes),
              "Gone (2)\n  10758,H,22000,56\n  11034,V,27500,34\n"
              "Not scanned (2)\n  11303,H,2170,0\n  12188,V,27500,34\n");
    // Without the jobs' ranges, the list's own span per polarity: 10719 V alone.
    EXPECT_EQ(SpanOf(now), (std::vector<ScannedRange>{{polarity::kVertical, 10719, 10719}}));
}

}  // namespace
}  // namespace quillox::test
