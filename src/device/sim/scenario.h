#pragma once
// What the simulated dish receives: the carriers of one satellite, the LNB in the feed and the
// DiSEqC switch port the dish hangs on. Loaded from the satellite tables (CSV) or from a
// transponder ini file that the program wrote, so a saved scan can be replayed.
// File formats and the carrier-to-noise rule: docs/simulated-dish.md.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillox::sim {

enum class DvbSystem { DvbS, DvbS2 };

struct Carrier {
    double freqMhz = 0;    // downlink centre frequency
    int32_t polarity = 0;  // polarity::kHorizontal or polarity::kVertical
    double symbolRateKsps = 0;
    int32_t fecCode = 6;  // tuner FEC code 1..5; 6 = unknown; 0 = a rate without a code (3/5 ...)
    std::string fecText;  // as given ("3/4", "9/10", "AUTO")
    // The code rate whose threshold models the carrier: fecText, or for a combination the
    // standard does not define (8PSK 1/2 in a public table) the nearest one it does.
    std::string thresholdRate;
    DvbSystem system = DvbSystem::DvbS;
    std::string modulation;   // "QPSK", "8PSK", ... (DVB-S is always QPSK)
    double cnDb = 0;          // carrier-to-noise ratio at the demodulator input
    double requiredCnDb = 0;  // quasi-error-free threshold of its modulation and code rate
    std::string note;
};

// The LNB in the feed. Universal: LO 9750 / 10600 switched by a 22 kHz tone. C band: LO 5150,
// spectrum inverted. Custom: one LO, or two switched by the 22 kHz tone; inverted when the LO
// lies above the carriers.
struct LnbModel {
    enum class Kind { Universal, CBand, Custom };
    Kind kind = Kind::Universal;
    double loLowMhz = 9750;
    double loHighMhz = 10600;  // equal to loLowMhz for a single-oscillator LNB

    static LnbModel Universal() { return {Kind::Universal, 9750, 10600}; }
    static LnbModel CBand() { return {Kind::CBand, 5150, 5150}; }
    static LnbModel Custom(double lo, double loHigh) { return {Kind::Custom, lo, loHigh}; }
};

struct Scenario {
    std::string name;
    std::vector<Carrier> carriers;
    // Absent: a universal LNB for the Ku carriers and a C-band LNB for the C carriers, the feed
    // chosen by the LOF the program sends (C feed when the LOF lies above the downlink).
    std::optional<LnbModel> lnb;
    // Absent: the dish is reached whatever DiSEqC option is sent. Otherwise the port of a
    // committed switch, 1..4 = Pos A/Opt A, Pos B/Opt A, Pos A/Opt B, Pos B/Opt B.
    std::optional<int32_t> diseqcPort;
};

struct ScenarioLoadResult {
    std::optional<Scenario> scenario;
    std::string error;                  // empty on success; else the reason, with the file and line
    std::vector<std::string> warnings;  // lines taken approximately, with the file and line
};

// Reads the satellite table CSV format or a transponder ini file ([SATTYPE] / [DVB]).
ScenarioLoadResult LoadScenarioFile(const std::string& path);
// The same from text in memory; sourceName names it in error messages.
ScenarioLoadResult ParseScenarioText(std::string_view text, const std::string& sourceName);
// Astra 19.2E, compiled into the program: the default dish.
Scenario BuiltInScenario();

// The carrier-to-noise rule for carriers whose file gives none: the modulation's and code rate's
// quasi-error-free Es/N0 plus a 4 dB link margin plus a deterministic spread of +-1 dB drawn from
// frequency and polarity. RequiredCnDb is NaN for a combination without a threshold.
double RequiredCnDb(DvbSystem system, const std::string& modulation, const std::string& fecText);
double DerivedCnDb(const Carrier& carrier);  // by the carrier's thresholdRate
// The defined code rate of the system and modulation nearest to rate ("a/b"); empty when the
// rate is no fraction or the modulation has no rates at all.
std::string NearestDefinedRate(DvbSystem system, const std::string& modulation,
                               const std::string& rate);

}  // namespace quillox::sim
