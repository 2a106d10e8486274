#include "scan/transponder_comparison.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "tuner/tuning_codes.h"

namespace quillox {
namespace {

constexpr double kRollOffBandwidth = 1.35;  // occupied band of a DVB-S carrier per symbol rate

std::optional<int32_t> Int(const std::string& text) {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool Expected(const sim::Carrier& c, const ComparisonScope& scope) {
    return c.system == sim::DvbSystem::DvbS &&
           std::find(scope.polarities.begin(), scope.polarities.end(), c.polarity) !=
               scope.polarities.end() &&
           c.freqMhz >= scope.startMhz && c.freqMhz <= scope.endMhz;
}

const sim::Carrier* NearestCarrier(const TransponderLine& line, const sim::Scenario& scenario) {
    const sim::Carrier* nearest = nullptr;
    double best = 0;
    for (const sim::Carrier& c : scenario.carriers) {
        if (c.polarity != line.polarity) continue;
        const double offset = std::abs(line.mhz - c.freqMhz);
        if (offset > kRollOffBandwidth * c.symbolRateKsps / 2000.0) continue;
        if (nearest == nullptr || offset < best) nearest = &c, best = offset;
    }
    return nearest;
}

}  // namespace

std::optional<TransponderLine> ParseTransponderLine(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    const std::vector<std::string> fields = Split(line.substr(equals + 1), ',');
    if (fields.size() != 4) return std::nullopt;
    const auto number = Int(line.substr(0, equals));
    const auto mhz = Int(fields[0]);
    const auto ksps = Int(fields[2]);
    if (!number || !mhz || !ksps) return std::nullopt;
    TransponderLine parsed{*number, *mhz, -1, *ksps, fields[3]};
    if (fields[1] == PolarityLetter(polarity::kHorizontal)) parsed.polarity = polarity::kHorizontal;
    if (fields[1] == PolarityLetter(polarity::kVertical)) parsed.polarity = polarity::kVertical;
    return parsed;
}

TransponderComparison CompareWithScenario(const std::vector<std::string>& lines,
                                          const sim::Scenario& scenario,
                                          const ComparisonScope& scope) {
    TransponderComparison result;
    for (const sim::Carrier& c : scenario.carriers)
        if (Expected(c, scope)) result.expected.push_back(&c);

    std::set<const sim::Carrier*> seen;
    for (const std::string& text : lines) {
        const std::optional<TransponderLine> line = ParseTransponderLine(text);
        if (!line) {
            result.unreadable.push_back(text);
            continue;
        }
        const sim::Carrier* carrier = NearestCarrier(*line, scenario);
        if (carrier == nullptr) {
            result.extra.push_back(*line);
            continue;
        }
        TransponderMatch match{*line, carrier, line->mhz - carrier->freqMhz,
                               line->ksps - carrier->symbolRateKsps};
        (seen.insert(carrier).second ? result.found : result.duplicates).push_back(match);
    }
    for (const sim::Carrier* c : result.expected)
        if (!seen.count(c)) result.missed.push_back(c);
    return result;
}

}  // namespace quillox
