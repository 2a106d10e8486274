#pragma once
// Readers of the two satellite file formats, the CSV table and the transponder ini. Internal to
// this folder: callers use LoadScenarioFile / ParseScenarioText (satellites/scenario_loading.h),
// which add the carrier-to-noise rule and the final checks.
#include <string>
#include <string_view>
#include <vector>

#include "satellites/scenario_types.h"

namespace quillox::satellites::detail {

struct TextLine {
    int number;             // 1-based, for messages
    std::string_view text;  // without line end, trimmed of surrounding blanks
};
std::vector<TextLine> SplitLines(std::string_view text);

// Each returns an empty string on success, else "<line>: <reason>" (the caller adds the file).
// Lines taken approximately add "<line>: <what>" to warnings.
std::string ParseCsvScenario(const std::vector<TextLine>& lines, Scenario& out,
                             std::vector<std::string>& warnings);
std::string ParseIniScenario(const std::vector<TextLine>& lines, Scenario& out);

// "name: value" directives that may precede the data ("#!" in CSV, ";!" in ini files).
std::string ApplyDirective(std::string_view body, Scenario& out);

}  // namespace quillox::satellites::detail
