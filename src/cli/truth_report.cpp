#include "cli/truth_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/number_text.h"
#include "base/tuning_code_values.h"
#include "cli/progress_bar.h"
#include "files/lnb_offset.h"

namespace quillox::cli {
namespace {

struct ErrorStats {
    double meanAbs = 0, maxAbs = 0;
};

template <class Get>
ErrorStats StatsOf(const std::vector<TransponderMatch>& matches, Get get) {
    ErrorStats stats;
    for (const TransponderMatch& m : matches) {
        const double e = std::abs(get(m));
        stats.meanAbs += e;
        stats.maxAbs = std::max(stats.maxAbs, e);
    }
    if (!matches.empty()) stats.meanAbs /= static_cast<double>(matches.size());
    return stats;
}

std::string CarrierText(const satellites::Carrier& c) {
    char text[96];
    std::snprintf(text, sizeof text, "%.2f %s %.0f kS/s %s", c.freqMhz, PolarityLetter(c.polarity),
                  c.symbolRateKsps, c.fecText.c_str());
    return text;
}

// How far a rate of the window's list may lie from a carrier's for the list to hold the carrier:
// 12 kS/s plus 1 per mille of the carrier's rate. The first method tunes each listed rate as a
// fixed one, and a demodulator locks a fixed rate only that close to the carrier's (the simulated
// card's tolerance is the same); the report judges by the table alone, not by any one card.
constexpr double kListRateBaseKsps = 12;
constexpr double kListRatePerMille = 1.0;

}  // namespace

bool RateInList(const TForm1& form, const satellites::Carrier& c) {
    const double tolerance = kListRateBaseKsps + kListRatePerMille * c.symbolRateKsps / 1000.0;
    for (const std::string& line : form.r_edt_symbolrate.lines()) {
        const int32_t ksps = LenientInt(line);
        if (ksps > 0 && std::abs(ksps - c.symbolRateKsps) <= tolerance) return true;
    }
    return false;
}

std::optional<satellites::Scenario> LoadTruth(const std::string& source, std::string& error) {
    if (source == "builtin") return satellites::BuiltInScenario();
    satellites::ScenarioLoadResult loaded = satellites::LoadScenarioFile(source);
    if (!loaded.scenario) error = loaded.error;
    return loaded.scenario;
}

void PrintTruthReport(const TForm1& form, const std::vector<std::string>& lines, bool firstMethod,
                      const satellites::Scenario& truth, const ComparisonScope& scope,
                      int64_t scanMs) {
    const TransponderComparison result = CompareWithScenario(lines, truth, scope);
    const auto isExpected = [&](const satellites::Carrier* c) {
        return std::find(result.expected.begin(), result.expected.end(), c) !=
               result.expected.end();
    };
    const auto foundExpected = std::count_if(result.found.begin(), result.found.end(),
                                             [&](const auto& m) { return isExpected(m.carrier); });

    std::printf("Compared with \"%s\" (%s carriers of the scanned polarities, %d to %d MHz",
                truth.name.c_str(), scope.dvbs2 ? "DVB-S and DVB-S2" : "DVB-S", scope.startMhz,
                scope.endMhz);
    if (scope.maxKsps < 1e9) std::printf(", %.0f to %.0f kS/s", scope.minKsps, scope.maxKsps);
    std::printf(")\n");
    std::printf("  found       %ld of %zu\n", static_cast<long>(foundExpected),
                result.expected.size());
    std::printf("  missed      %zu\n", result.missed.size());
    for (const satellites::Carrier* c : result.missed)
        std::printf("    %s%s\n", CarrierText(*c).c_str(),
                    !firstMethod || RateInList(form, *c) ? "" : "  (symbol rate not in the list)");
    std::printf("  extra       %zu\n", result.extra.size() + result.unreadable.size());
    for (const TransponderLine& line : result.extra)
        std::printf("    line %d: %d MHz %d kS/s matches no carrier\n", line.number, line.mhz,
                    line.ksps);
    for (const std::string& text : result.unreadable)
        std::printf("    \"%s\" is no transponder line\n", text.c_str());
    std::printf("  duplicates  %zu\n", result.duplicates.size());
    for (const TransponderMatch& m : result.duplicates)
        std::printf("    line %d repeats %s\n", m.line.number, CarrierText(*m.carrier).c_str());
    const ErrorStats f = StatsOf(result.found, [](const auto& m) { return m.freqErrorMhz; });
    const ErrorStats r = StatsOf(result.found, [](const auto& m) { return m.rateErrorKsps; });
    std::printf("  frequency error    mean %.2f MHz, max %.2f MHz\n", f.meanAbs, f.maxAbs);
    // The oscillators' offsets from the carriers found, and the error left once they are known.
    const LnbOscillators lnb = form.CurrentOscillators();
    const std::vector<OscillatorOffset> offsets = LnbOffsetsOf(result, lnb);
    std::string figures;
    for (const OscillatorOffset& o : offsets) {
        char one[64];
        std::snprintf(one, sizeof one, "%s%s%+.1f MHz", figures.empty() ? "" : ", ",
                      o.band == OscillatorBand::High  ? "high band "
                      : o.band == OscillatorBand::Low ? "low band "
                                                      : "",
                      o.offsetMhz);
        figures += one;
    }
    if (!figures.empty()) std::printf("  LNB offset         %s\n", figures.c_str());
    for (const std::string& sentence : DescribeLnbOffsets(offsets))
        std::printf("    %s\n", sentence.c_str());
    const ErrorStats corrected = StatsOf(result.found, [&](const TransponderMatch& m) {
        return m.line.mhz + OffsetAt(offsets, lnb, m.line.mhz) - m.carrier->freqMhz;
    });
    if (!offsets.empty())
        std::printf("  after correction   mean %.2f MHz, max %.2f MHz\n", corrected.meanAbs,
                    corrected.maxAbs);
    std::printf("  symbol-rate error  mean %.1f kS/s, max %.1f kS/s\n", r.meanAbs, r.maxAbs);
    std::printf("  scan time          %s\n", ClockText(scanMs).c_str());
}

void PrintSymbolRateTruth(const TForm1& form, const satellites::Scenario& truth, bool dvbs2Card) {
    const int32_t mhz = LenientInt(form.Edit12.text());
    const int32_t pol = PolarityCodeOf(form.cbPolarity.text()).value_or(-1);
    std::printf("Compared with \"%s\"\n", truth.name.c_str());
    const satellites::Carrier* c = CarrierAt(truth, pol, mhz);
    if (c == nullptr) {
        std::printf("  no carrier at %d MHz %s\n", mhz, PolarityLetter(pol));
        return;
    }
    std::printf("  carrier     %s%s\n", CarrierText(*c).c_str(),
                c->system == satellites::DvbSystem::DvbS || dvbs2Card
                    ? ""
                    : " (not DVB-S: the card cannot lock it)");
    const int32_t found = LenientInt(form.ed_sr.text());
    if (found <= 0) {
        std::printf("  result      \"%s\": no rate found\n", form.ed_sr.text().c_str());
        return;
    }
    const double off = found - c->symbolRateKsps;
    std::printf(
        "  result      %d kS/s: %s, off by %+.0f kS/s (%+.3f %%)\n", found,
        std::lround(c->symbolRateKsps) == found ? "the carrier's rate" : "not the carrier's rate",
        off, 100.0 * off / c->symbolRateKsps);
}

}  // namespace quillox::cli
