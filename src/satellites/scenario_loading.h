#pragma once
// Reading a satellite: the satellite table CSV format, or a transponder ini file that the program
// wrote, so a saved scan can be replayed. File formats:
// docs/device-and-simulated-dish.md, section 4.
#include <optional>
#include <string>
#include <string_view>

#include "satellites/scenario_types.h"

namespace quillox::satellites {

// Reads the satellite table CSV format or a transponder ini file ([SATTYPE] / [DVB]). The file's
// impairment directives apply on top of `sky` (a preset chosen outside the file).
ScenarioLoadResult LoadScenarioFile(const std::string& path, const SkyImpairments& sky = {});
// The same from text in memory; sourceName names it in error messages.
ScenarioLoadResult ParseScenarioText(std::string_view text, const std::string& sourceName,
                                     const SkyImpairments& sky = {});
// The impairments of a preset by name ("ideal", "realistic"); nullopt for an unknown name.
std::optional<SkyImpairments> SkyPreset(std::string_view name);
// Astra 19.2E, compiled into the program: the default dish.
Scenario BuiltInScenario();

}  // namespace quillox::satellites
