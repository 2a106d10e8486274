// The symbol-rate report: the result box, the time stamp, replacing and failing.
#include "files/symbol_rate_report.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

std::string Line(const std::string& text, int number) {  // 1-based, without its CR LF
    size_t from = 0;
    for (int i = 1; i < number; ++i) from = text.find("\r\n", from) + 2;
    return text.substr(from, text.find("\r\n", from) - from);
}

TEST(SymbolRateReportTest, ResultLineClosesTheBoxForResultsUpToTenCharacters) {
    for (const auto& [result, line] : std::vector<std::pair<std::string, std::string>>{
             {"Not Found", "#  SYMBOL RATE = Not Found #"},
             {"", "#  SYMBOL RATE =           #"},
             {"123456789012", "#  SYMBOL RATE = 123456789012#"}}) {
        SymbolRateReport report;
        report.result = result;
        EXPECT_EQ(Line(FormatSymbolRateReport(report, ""), 14), line);
    }
}

TEST(SymbolRateReportTest, TimeStampHasNoLeadingZerosInTheDateAndTwoDigitsInTheTime) {
    SymbolRateReport report;
    report.written = {2027, 1, 1, 9, 3, 4};
    EXPECT_EQ(Line(FormatSymbolRateReport(report, ""), 4), " on 1/1/2027 at 09:03:04");
}

TEST(SymbolRateReportTest, ReplacesAnOldReportAndSaysWhyItCouldNotWrite) {
    TempDir dir;
    WriteFileBytes(dir.path() / "r.txt", "old report, longer than the new one ...");
    SymbolRateReport report;
    EXPECT_TRUE(WriteSymbolRateReport(dir.str() + "r.txt", report, "x").ok);
    EXPECT_EQ(ReadFileBytes(dir.path() / "r.txt"), FormatSymbolRateReport(report, "x"));

    const FileWriteResult failed = WriteSymbolRateReport(dir.str() + "no/r.txt", report, "x");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "No such file or directory");
}

}  // namespace
}  // namespace quillox::test
