#pragma once
// Made-up Ku-band satellites, so the scans can be measured on skies they were never tuned on.
// Each is drawn from a seed: a channel raster with the polarities interleaved by half a slot,
// broadcast carriers in the wide slots, crowded stretches of feed and SCPC carriers packed into
// a slot, a few odd rates, DVB-S and DVB-S2 mixed.
#include <cstdint>
#include <string>

#include "satellites/scenario_types.h"

namespace quillox::satellites {

// A Ku satellite (10700..12750 MHz, both polarities) named "Generated <seed>": every carrier's
// occupied band (1.35 x its rate) lies in the band and overlaps no other of its polarity. The
// same seed always gives the same plan; the carrier-to-noise ratios follow the tables' rule.
Scenario GenerateSatellite(uint32_t seed);

// The scenario as a satellite table (CSV) that ParseScenarioText reads back to the same carriers,
// with its name, LNB and DiSEqC port as directives. The sky is left out: like a shipped table,
// the file takes the preset it is loaded with. A carrier whose carrier-to-noise ratio is not the
// one the tables' rule gives it keeps it in a cn_db column.
std::string SatelliteTableText(const Scenario& scenario);

}  // namespace quillox::satellites
