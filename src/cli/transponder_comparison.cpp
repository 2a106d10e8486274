#include "cli/transponder_comparison.h"

#include <algorithm>
#include <set>

#include "files/transponder_match.h"

namespace quillox {
namespace {

bool Expected(const satellites::Carrier& c, const ComparisonScope& scope) {
    return (c.system == satellites::DvbSystem::DvbS || scope.dvbs2) &&
           std::find(scope.polarities.begin(), scope.polarities.end(), c.polarity) !=
               scope.polarities.end() &&
           c.freqMhz >= scope.startMhz && c.freqMhz <= scope.endMhz &&
           c.symbolRateKsps >= scope.minKsps && c.symbolRateKsps <= scope.maxKsps;
}

TransponderPoint PointOf(const TransponderLine& line) {
    return {line.polarity, static_cast<double>(line.mhz), static_cast<double>(line.ksps)};
}

std::vector<TransponderPoint> CarrierPoints(const satellites::Scenario& scenario) {
    std::vector<TransponderPoint> points;
    for (const satellites::Carrier& c : scenario.carriers)
        points.push_back({c.polarity, c.freqMhz, c.symbolRateKsps});
    return points;
}

}  // namespace

TransponderComparison CompareWithScenario(const std::vector<std::string>& lines,
                                          const satellites::Scenario& scenario,
                                          const ComparisonScope& scope) {
    TransponderComparison result;
    for (const satellites::Carrier& c : scenario.carriers)
        if (Expected(c, scope)) result.expected.push_back(&c);

    std::vector<TransponderLine> readable;
    for (const std::string& text : lines) {
        if (const std::optional<TransponderLine> line = ParseTransponderLine(text))
            readable.push_back(*line);
        else
            result.unreadable.push_back(text);
    }
    std::vector<TransponderPoint> points;
    for (const TransponderLine& line : readable) points.push_back(PointOf(line));
    const std::vector<std::optional<size_t>> carrierOf =
        PairTransponders(points, CarrierPoints(scenario), Pairing::NearestCarrier);

    std::set<const satellites::Carrier*> seen;
    for (size_t i = 0; i < readable.size(); ++i) {
        const TransponderLine& line = readable[i];
        if (!carrierOf[i]) {
            result.extra.push_back(line);
            continue;
        }
        const satellites::Carrier* carrier = &scenario.carriers[*carrierOf[i]];
        TransponderMatch match{line, carrier, line.mhz - carrier->freqMhz,
                               line.ksps - carrier->symbolRateKsps};
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

const satellites::Carrier* CarrierAt(const satellites::Scenario& scenario, int32_t polarity, int32_t mhz) {
    const std::vector<std::optional<size_t>> carrier =
        PairTransponders({PointOf(TransponderLine{0, mhz, polarity, 0, ""})},
                         CarrierPoints(scenario), Pairing::NearestCarrier);
    return carrier.front() ? &scenario.carriers[*carrier.front()] : nullptr;
}

}  // namespace quillox
