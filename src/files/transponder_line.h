#pragma once
// One line of a transponder list, as the lists show it and the transponder file stores it:
// "<number>=<MHz>,<H|V|?>,<kS/s>,<FEC>", e.g. "1=10719,V,27500,34".
#include <cstdint>
#include <optional>
#include <string>

namespace quillox {

struct TransponderLine {
    int32_t number = 0;
    int32_t mhz = 0;
    int32_t polarity = -1;  // polarity code; -1 for "?"
    int32_t ksps = 0;
    std::string fecText;  // "12".."78", "0" for AUTO, "" for a code without text
};

// Pieces of a line: "H"/"V"/"?" of a polarity code and "12".."78", "0" (AUTO), "" (a code
// without text) of a FEC code.
const char* PolarityLetter(int32_t code);
const char* TransponderFecText(int32_t code);

std::string FormatTransponderLine(const TransponderLine& line);
std::optional<TransponderLine> ParseTransponderLine(const std::string& line);

}  // namespace quillox
