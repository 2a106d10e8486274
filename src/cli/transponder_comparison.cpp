#include "cli/transponder_comparison.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "device/tuning_codes.h"

namespace quillox {
namespace {

constexpr double kRollOffBandwidth = 1.35;  // occupied band of a DVB-S carrier per symbol rate

bool Expected(const satellites::Carrier& c, const ComparisonScope& scope) {
    return (c.system == satellites::DvbSystem::DvbS || scope.dvbs2) &&
           std::find(scope.polarities.begin(), scope.polarities.end(), c.polarity) !=
               scope.polarities.end() &&
           c.freqMhz >= scope.startMhz && c.freqMhz <= scope.endMhz &&
           c.symbolRateKsps >= scope.minKsps && c.symbolRateKsps <= scope.maxKsps;
}

const satellites::Carrier* NearestCarrier(const TransponderLine& line,
                                          const satellites::Scenario& scenario) {
    const satellites::Carrier* nearest = nullptr;
    double best = 0;
    for (const satellites::Carrier& c : scenario.carriers) {
        if (c.polarity != line.polarity) continue;
        const double offset = std::abs(line.mhz - c.freqMhz);
        if (offset > kRollOffBandwidth * c.symbolRateKsps / 2000.0) continue;
        if (nearest == nullptr || offset < best) nearest = &c, best = offset;
    }
    return nearest;
}

}  // namespace

TransponderComparison CompareWithScenario(const std::vector<std::string>& lines,
                                          const satellites::Scenario& scenario,
                                          const ComparisonScope& scope) {
    TransponderComparison result;
    for (const satellites::Carrier& c : scenario.carriers)
        if (Expected(c, scope)) result.expected.push_back(&c);

    std::set<const satellites::Carrier*> seen;
    for (const std::string& text : lines) {
        const std::optional<TransponderLine> line = ParseTransponderLine(text);
        if (!line) {
            result.unreadable.push_back(text);
            continue;
        }
        const satellites::Carrier* carrier = NearestCarrier(*line, scenario);
        if (carrier == nullptr) {
            result.extra.push_back(*line);
            continue;
        }
        TransponderMatch match{*line, carrier, line->mhz - carrier->freqMhz,
                               line->ksps - carrier->symbolRateKsps};
        (seen.insert(carrier).second ? result.found : result.duplicates).push_back(match);
    }
    for (const satellites::Carrier* c : result.expected)
        if (!seen.count(c)) result.missed.push_back(c);
    return result;
}

std::vector<OscillatorOffset> LnbOffsetsOf(const TransponderComparison& comparison,
                                           const LnbOscillators& lnb) {
    std::vector<MatchedFrequency> matches;
    for (const TransponderMatch& m : comparison.found)
        matches.push_back({static_cast<double>(m.line.mhz), m.carrier->freqMhz});
    return EstimateLnbOffsets(matches, lnb);
}

const satellites::Carrier* CarrierAt(const satellites::Scenario& scenario, int32_t polarity,
                                     int32_t mhz) {
    return NearestCarrier(TransponderLine{0, mhz, polarity, 0, ""}, scenario);
}

}  // namespace quillox
