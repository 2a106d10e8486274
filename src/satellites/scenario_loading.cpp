#include "satellites/scenario_loading.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "satellites/carrier_to_noise.h"
#include "satellites/table_readers.h"

namespace quillox::satellites {
namespace {

std::string Finish(Scenario& s, const std::string& sourceName) {
    if (s.carriers.empty()) return sourceName + ": holds no carriers";
    for (Carrier& c : s.carriers) {
        if (c.thresholdRate.empty()) c.thresholdRate = c.fecText;
        c.requiredCnDb = RequiredCnDb(c.system, c.modulation, c.thresholdRate);
        if (std::isnan(c.cnDb)) c.cnDb = DerivedCnDb(c);
    }
    if (s.name.empty()) {
        size_t slash = sourceName.find_last_of('/');
        s.name = slash == std::string::npos ? sourceName : sourceName.substr(slash + 1);
    }
    return {};
}

bool LooksLikeIni(const std::vector<detail::TextLine>& lines) {
    for (const auto& line : lines) {
        if (line.text.empty()) continue;
        if (line.text.front() == ';') continue;  // ini comments and directives
        return line.text.front() == '[';
    }
    return false;
}

}  // namespace

SkyImpairments SkyImpairments::Realistic() {
    SkyImpairments sky;
    sky.lnbOffsetSeededMaxMhz = 2.5;
    sky.lnbDriftMhzPerHour = 0.5;
    sky.rateSearch = RateSearch::List;
    sky.card = "stv0299";
    sky.noiseDb = 0.5;
    sky.scintillationDb = 0.3;
    sky.linkSpreadDb = 2.5;
    sky.xpdDb = 25;
    sky.ifTiltDb = -4;
    return sky;
}

std::span<const std::string_view> ReadBackCards() {
    static constexpr std::array<std::string_view, 6> kCards{"stv0299", "mt312",   "cx24123",
                                                            "s5h1420", "stv090x", "cx24116"};
    return kCards;
}

std::optional<SkyImpairments> SkyPreset(std::string_view name) {
    if (name == "ideal") return SkyImpairments{};
    if (name == "realistic") return SkyImpairments::Realistic();
    return std::nullopt;
}

ScenarioLoadResult ParseScenarioText(std::string_view text, const std::string& sourceName,
                                     const SkyImpairments& sky) {
    auto lines = detail::SplitLines(text);
    Scenario scenario;
    scenario.sky = sky;
    std::vector<std::string> warnings;
    std::string error = LooksLikeIni(lines) ? detail::ParseIniScenario(lines, scenario)
                                            : detail::ParseCsvScenario(lines, scenario, warnings);
    if (!error.empty()) return {std::nullopt, sourceName + ": " + error, {}};
    if (error = Finish(scenario, sourceName); !error.empty()) return {std::nullopt, error, {}};
    for (std::string& w : warnings) w = sourceName + ": " + w;
    return {std::move(scenario), {}, std::move(warnings)};
}

ScenarioLoadResult LoadScenarioFile(const std::string& path, const SkyImpairments& sky) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, path + ": cannot open (" + std::strerror(errno) + ")", {}};
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return {std::nullopt, path + ": cannot read (" + std::strerror(errno) + ")", {}};
    return ParseScenarioText(content.str(), path, sky);
}

}  // namespace quillox::satellites
