#pragma once
// How the transponder list of a scan compares with the satellite the simulated dish shows:
// which carriers were found, missed or found twice, which lines match no carrier, and how far
// the reported frequencies and symbol rates lie from the carriers'.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/lnb_offset.h"
#include "files/transponder_line.h"
#include "satellites/scenario_loading.h"

namespace quillox {

// The carriers a scan was meant to find: DVB-S carriers (and DVB-S2 ones on a DVB-S2 card) of the
// scanned polarities within the swept range and the symbol rates the scan takes.
struct ComparisonScope {
    std::vector<int32_t> polarities;
    int32_t startMhz = 0;
    int32_t endMhz = 0;
    double minKsps = 0;
    double maxKsps = 1e9;
    bool dvbs2 = false;  // the card demodulates DVB-S2 too
};

struct TransponderMatch {
    TransponderLine line;
    const satellites::Carrier* carrier = nullptr;
    double freqErrorMhz = 0;   // reported minus carrier
    double rateErrorKsps = 0;  // reported minus carrier
};

struct TransponderComparison {
    std::vector<const satellites::Carrier*> expected;
    std::vector<TransponderMatch> found;       // the first line of each carrier
    std::vector<TransponderMatch> duplicates;  // further lines of a carrier already found
    std::vector<TransponderLine> extra;        // lines that match no carrier (or no valid line)
    std::vector<const satellites::Carrier*> missed;  // expected carriers without a line
    std::vector<std::string> unreadable;             // lines that are no transponder line
};

// A line matches the nearest carrier of its polarity whose occupied band holds its frequency.
// The scenario must outlive the result.
TransponderComparison CompareWithScenario(const std::vector<std::string>& lines,
                                          const satellites::Scenario& scenario,
                                          const ComparisonScope& scope);

// The LNB oscillators' offsets estimated from the carriers found (see EstimateLnbOffsets).
std::vector<OscillatorOffset> LnbOffsetsOf(const TransponderComparison& comparison,
                                           const LnbOscillators& lnb);

// The carrier a tuning to `mhz` on `polarity` meets: the nearest one whose occupied band holds
// the frequency; nullptr when there is none.
const satellites::Carrier* CarrierAt(const satellites::Scenario& scenario, int32_t polarity,
                                     int32_t mhz);

}  // namespace quillox
