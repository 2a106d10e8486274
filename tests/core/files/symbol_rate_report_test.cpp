// The symbol-rate report: its bytes and result box, replacing an old one, failing.
#include "files/symbol_rate_report.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

TEST(SymbolRateReportTest, LayoutWithCrLfABoxClosedForResultsUpToTenCharactersAndReplacing) {
    SymbolRateReport report{"10700", "VERTICAL", "AUTO", "NORMAL", "", {2027, 1, 1, 9, 3, 4}};
    const std::string head =
        "Get - Symbol Rate__Result:\r\n\r\nFile Generated with <Quillox  by Zyl> home\r\n"
        " on 1/1/2027 at 09:03:04\r\n\r\n#Transponder:\r\nFreq: 10700\r\nPol: VERTICAL\r\n"
        "Fec: AUTO\r\n\r\n#Fine_Tuning = NORMAL\r\n\r\n############################\r\n";
    for (const auto& [result, line] : std::vector<std::pair<std::string, std::string>>{
             {"27500", "#  SYMBOL RATE = 27500     #"},
             {"Not Found", "#  SYMBOL RATE = Not Found #"},
             {"", "#  SYMBOL RATE =           #"},
             {"123456789012", "#  SYMBOL RATE = 123456789012#"}}) {
        report.result = result;
        EXPECT_EQ(FormatSymbolRateReport(report, "home"),
                  head + line + "\r\n############################\r\n");
    }
    TempDir dir;
    WriteFileBytes(dir.path() / "r.txt", "an old report, longer than the new one ...");
    EXPECT_TRUE(WriteSymbolRateReport(dir.str() + "r.txt", report, "home").ok);
    EXPECT_EQ(ReadFileBytes(dir.path() / "r.txt"), FormatSymbolRateReport(report, "home"));
    const FileWriteResult failed = WriteSymbolRateReport(dir.str() + "no/r.txt", report, "home");
    EXPECT_EQ(failed.ok ? "written" : failed.error, "No such file or directory");
}

}  // namespace
}  // namespace quillox::test
