#include "files/symbol_rate_report.h"

#include "files/time_stamp.h"

namespace quillox {
namespace {

constexpr const char* kEol = "\r\n";
constexpr size_t kResultWidth = 10;  // results up to this long close the box evenly
const std::string kBoxEdge(28, '#');

}  // namespace

std::string FormatSymbolRateReport(const SymbolRateReport& r, const std::string& homePage) {
    const size_t pad = r.result.size() < kResultWidth ? kResultWidth - r.result.size() : 0;
    // One reading of the clock for date and time: read apart, they could straddle midnight.
    const std::string lines[] = {
        "Get - Symbol Rate__Result:",
        "",
        "File Generated with <Quillox  by Zyl> " + homePage,
        " on " + DateText(r.written) + " at " + TimeOfDayText(r.written),
        "",
        "#Transponder:",
        "Freq: " + r.frequency,
        "Pol: " + r.polarity,
        "Fec: " + r.fec,
        "",
        "#Fine_Tuning = " + r.mode,
        "",
        kBoxEdge,
        "#  SYMBOL RATE = " + r.result + std::string(pad, ' ') + "#",
        kBoxEdge,
    };
    std::string text;
    for (const std::string& line : lines) text += line + kEol;
    return text;
}

FileWriteResult WriteSymbolRateReport(const std::string& path, const SymbolRateReport& report,
                                      const std::string& homePage) {
    return WriteFileAtomically(path, FormatSymbolRateReport(report, homePage));
}

}  // namespace quillox
