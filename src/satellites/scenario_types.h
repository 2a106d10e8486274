#pragma once
// A satellite as the tables describe it: its carriers, the LNB in the feed and the DiSEqC switch
// port the dish hangs on, and the impairments of the installation. What the simulated dish
// receives and what the truth report judges a scan against. Read by satellites/scenario_loading.h;
// file formats and the carrier-to-noise rule: docs/device-and-simulated-dish.md, section 4.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillox::satellites {

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
// docs/device-and-simulated-dish.md, "Impairments and presets".
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
    // Read-back, capture range and lock time of a demodulator family (one of ReadBackCards());
    // the default card is the ideal model.
    std::string card;  // "" for the default card, else a driver family's name

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

// The demodulator families a table may name for its card's read-back, in the directive's words:
// stv0299, mt312, cx24123, s5h1420, stv090x, cx24116.
std::span<const std::string_view> ReadBackCards();

}  // namespace quillox::satellites
