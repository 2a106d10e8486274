#include "satellites/carrier_to_noise.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>

#include "base/seeded_hash.h"

namespace quillox::satellites {
namespace {

constexpr double kLinkMarginDb = 4.0;
constexpr double kSpreadDb = 1.0;

using RateTable = std::map<std::string, double>;

// Quasi-error-free Es/N0 (dB): DVB-S after Viterbi and Reed-Solomon, DVB-S2 normal frames.
const RateTable& ThresholdsOf(DvbSystem system, const std::string& modulation) {
    static const RateTable dvbs{{"1/2", 4.5}, {"2/3", 6.3}, {"3/4", 7.3},
                                {"5/6", 8.2}, {"7/8", 8.8}, {"AUTO", 7.3}};
    static const RateTable qpsk{{"1/4", -2.35}, {"1/3", -1.24}, {"2/5", -0.30}, {"1/2", 1.00},
                                {"3/5", 2.23},  {"2/3", 3.10},  {"3/4", 4.03},  {"4/5", 4.68},
                                {"5/6", 5.18},  {"8/9", 6.20},  {"9/10", 6.42}, {"AUTO", 4.03}};
    static const RateTable psk8{{"3/5", 5.50},  {"2/3", 6.62},   {"3/4", 7.91}, {"5/6", 9.35},
                                {"8/9", 10.69}, {"9/10", 10.98}, {"AUTO", 7.91}};
    static const RateTable apsk16{{"2/3", 8.97},  {"3/4", 10.21},  {"4/5", 11.03}, {"5/6", 11.61},
                                  {"8/9", 12.89}, {"9/10", 13.13}, {"AUTO", 10.21}};
    static const RateTable apsk32{{"3/4", 12.73}, {"4/5", 13.64},  {"5/6", 14.28},
                                  {"8/9", 15.69}, {"9/10", 16.05}, {"AUTO", 12.73}};
    static const RateTable none;
    if (system == DvbSystem::DvbS) return dvbs;
    if (modulation == "QPSK") return qpsk;
    if (modulation == "8PSK") return psk8;
    if (modulation == "16APSK") return apsk16;
    if (modulation == "32APSK") return apsk32;
    return none;
}

}  // namespace

double RequiredCnDb(DvbSystem system, const std::string& modulation, const std::string& fecText) {
    const RateTable& table = ThresholdsOf(system, modulation);
    auto it = table.find(fecText);
    return it == table.end() ? std::nan("") : it->second;
}

double DerivedCnDb(const Carrier& c) {
    uint64_t key = static_cast<uint64_t>(std::llround(c.freqMhz * 1000.0));
    double spread = SignedUnit(HashOf(key, static_cast<uint64_t>(c.polarity), 0xC0FFEE));
    const std::string& rate = c.thresholdRate.empty() ? c.fecText : c.thresholdRate;
    return RequiredCnDb(c.system, c.modulation, rate) + kLinkMarginDb + kSpreadDb * spread;
}

std::string NearestDefinedRate(DvbSystem system, const std::string& modulation,
                               const std::string& rate) {
    const auto valueOf = [](const std::string& text) -> std::optional<double> {
        int num = 0, den = 0;
        char slash = 0, rest = 0;
        if (std::sscanf(text.c_str(), "%d%c%d%c", &num, &slash, &den, &rest) != 3 || slash != '/' ||
            num <= 0 || den <= num)
            return std::nullopt;
        return static_cast<double>(num) / den;
    };
    const std::optional<double> wanted = valueOf(rate);
    if (!wanted) return {};
    std::string nearest;
    double best = 0;
    for (const auto& [text, threshold] : ThresholdsOf(system, modulation)) {
        const std::optional<double> value = valueOf(text);
        if (!value) continue;  // AUTO
        const double distance = std::abs(*value - *wanted);
        // On a tie the lower rate: it needs less C/N, so the model errs towards a lock.
        if (nearest.empty() || distance < best - 1e-9 ||
            (std::abs(distance - best) < 1e-9 && *value < *valueOf(nearest)))
            nearest = text, best = distance;
    }
    return nearest;
}

}  // namespace quillox::satellites
