#pragma once
// The satellite transponder file: sections [SATTYPE] (position code and name) and [DVB] (the
// count, then the transponder lines as the list holds them), two comment lines, CR LF line
// ends; and its file name, which follows from the orbital position.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace quillox {

// "0130.ini" for degrees "13", tenths "0" and "E": the position in tenths of a degree counted
// eastward, four digits; a west position ("W", exactly) is 3600 less its tenths. nullopt when
// a field is empty or the code would be negative or longer than four digits (the caller keeps
// its name).
// Throws ConversionError for a field that is not an integer.
std::optional<std::string> IniFileNameOf(const std::string& degrees, const std::string& tenths,
                                         const std::string& eastWest);

struct TransponderIni {
    std::string fileName;  // its first four characters are the position code
    std::string satelliteName;
    int32_t count = 0;
    std::vector<std::string> lines;  // copied unchanged, in order
    std::string homePage;
    LocalTime written{};
};

std::string FormatTransponderIni(const TransponderIni& ini);

}  // namespace quillox
