#pragma once
// Readers of the two scenario file formats. Internal to the simulated dish: callers use
// LoadScenarioFile / ParseScenarioText, which add the carrier-to-noise rule and the final checks.
#include <string>
#include <string_view>
#include <vector>

#include "device/sim/scenario.h"

namespace quillox::sim::detail {

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

}  // namespace quillox::sim::detail
