#pragma once
// The comparison of a run's transponder list with the satellite it scanned, for the console.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "cli/transponder_comparison.h"
#include "satellites/scenario_loading.h"

namespace quillox::cli {

// "builtin" is the built-in satellite; anything else a scenario file.
std::optional<satellites::Scenario> LoadTruth(const std::string& source, std::string& error);

// Whether the window's symbol-rate list holds a rate near enough to the carrier's for the first
// method's list scan to lock it.
bool RateInList(const TForm1& form, const satellites::Carrier& c);

// `lines` is the transponder list of the page that ran; for the first method's list a missed
// carrier is marked when no rate of the symbol-rate list lies near enough to its rate to lock.
void PrintTruthReport(const TForm1& form, const std::vector<std::string>& lines, bool firstMethod,
                      const satellites::Scenario& truth, const ComparisonScope& scope,
                      int64_t scanMs);

// Whether the finder's result is the rate of the carrier on its page's transponder, and how far
// it lies from it.
void PrintSymbolRateTruth(const TForm1& form, const satellites::Scenario& truth,
                          bool dvbs2Card = false);

}  // namespace quillox::cli
