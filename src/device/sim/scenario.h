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

#include "device/demod_profiles.h"

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

// What makes a real installation harsher than the ideal dish. Every default is the ideal, so a
// scenario without impairment directives reads exactly as before. Figures and their sources:
// docs/simulated-dish.md, "Impairments".
struct SkyImpairments {
    // Error of the LNB's oscillators (actual minus nominal LO, MHz), low and high band (the
    // C-band LNB's one LO takes the low one). seededMaxMhz > 0: each is drawn from the dish's
    // seed instead, uniform within +-seededMaxMhz.
    double lnbOffsetLowMhz = 0, lnbOffsetHighMhz = 0;
    double lnbOffsetSeededMaxMhz = 0;
    double lnbDriftMhzPerHour = 0;  // rms of each oscillator's random walk after one hour

    // Symbol rate 0: the model's perfect search, or the Linux device's list of candidates.
    enum class RateSearch { Ideal, List };
    RateSearch rateSearch = RateSearch::Ideal;
    // Read-back, capture range and lock time of a demodulator family; nullopt: the ideal model.
    std::optional<DemodFamily> readBack;

    double noiseDb = 0;           // Gaussian on each SNR / quality reading, with rare outliers
    double scintillationDb = 0;   // common to all carriers, correlated over seconds
    double linkSpreadDb = 0;      // per carrier, wandering over tens of seconds
    std::optional<double> xpdDb;  // cross-polar discrimination; nullopt: none leaks through
    double ifTiltDb = 0;          // C/N change from 950 to 2150 MHz IF, linear in between

    static SkyImpairments Realistic();
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
    SkyImpairments sky;
};

struct ScenarioLoadResult {
    std::optional<Scenario> scenario;
    std::string error;                  // empty on success; else the reason, with the file and line
    std::vector<std::string> warnings;  // lines taken approximately, with the file and line
};

// Reads the satellite table CSV format or a transponder ini file ([SATTYPE] / [DVB]). The file's
// impairment directives apply on top of `sky` (a preset chosen outside the file).
ScenarioLoadResult LoadScenarioFile(const std::string& path, const SkyImpairments& sky = {});
// The same from text in memory; sourceName names it in error messages.
ScenarioLoadResult ParseScenarioText(std::string_view text, const std::string& sourceName,
                                     const SkyImpairments& sky = {});
// The impairments of a preset by name ("ideal", "realistic"); nullopt for an unknown name.
std::optional<SkyImpairments> SkyPreset(std::string_view name);
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
