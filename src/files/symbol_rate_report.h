#pragma once
// The symbol-rate finder's report: a small text file naming the transponder examined, the fine
// mode and the symbol rate found, written when the finder ends an unattended run.
#include <string>

#include "files/atomic_file.h"
#include "platform/clock.h"

namespace quillox {

// The texts as the window shows them; nothing is parsed or checked.
struct SymbolRateReport {
    std::string frequency;  // MHz
    std::string polarity;   // "VERTICAL", "HORIZONTAL"
    std::string fec;        // "1/2" .. "7/8", "AUTO"
    std::string mode;       // "NONE", "NORMAL", "BEST", or empty
    std::string result;     // kS/s, "Not Found", or empty
    LocalTime written{};
};

// The whole file, CR LF line ends; homePage follows the program's name in the third line.
std::string FormatSymbolRateReport(const SymbolRateReport& report, const std::string& homePage);

// Replaces the file at `path` (as typed) as a whole; a failure leaves any old file untouched.
FileWriteResult WriteSymbolRateReport(const std::string& path, const SymbolRateReport& report,
                                      const std::string& homePage);

}  // namespace quillox
