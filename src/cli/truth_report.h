#pragma once
// The comparison of a run's transponder list with the satellite it scanned, for the console.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "cli/transponder_comparison.h"
#include "device/sim/scenario.h"

namespace quillox::cli {

// "builtin" is the built-in satellite; anything else a scenario file.
std::optional<sim::Scenario> LoadTruth(const std::string& source, std::string& error);

// `lines` is the transponder list of the page that ran; for the first method's list a missed
// carrier is marked when no rate of the symbol-rate list would lock it.
void PrintTruthReport(const TForm1& form, const std::vector<std::string>& lines, bool firstMethod,
                      const sim::Scenario& truth, const ComparisonScope& scope, int64_t scanMs);

// Whether the finder's result is the rate of the carrier on its page's transponder, and how far
// it lies from it.
void PrintSymbolRateTruth(const TForm1& form, const sim::Scenario& truth, bool dvbs2Card = false);

}  // namespace quillox::cli
