#pragma once
// The carrier-to-noise rule for carriers whose table gives none: the modulation's and code rate's
// quasi-error-free Es/N0 plus a 4 dB link margin plus a deterministic spread of +-1 dB drawn from
// frequency and polarity. Figures:
// docs/device-and-simulated-dish.md, section 4.
#include <string>

#include "satellites/scenario_types.h"

namespace quillox::satellites {

// NaN for a combination without a threshold.
double RequiredCnDb(DvbSystem system, const std::string& modulation, const std::string& fecText);
double DerivedCnDb(const Carrier& carrier);  // by the carrier's thresholdRate
// The defined code rate of the system and modulation nearest to rate ("a/b"); empty when the
// rate is no fraction or the modulation has no rates at all.
std::string NearestDefinedRate(DvbSystem system, const std::string& modulation,
                               const std::string& rate);

}  // namespace quillox::satellites
