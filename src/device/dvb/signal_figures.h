#pragma once
// Turns whatever statistics a driver offers into the program's readings: quality in percent,
// an SNR figure and a raw signal level. The rule (see docs/device-and-simulated-dish.md, section
// "Statistics and DeriveFigures"):
//   * DVBv5 statistics (DTV_STAT_CNR, DTV_STAT_SIGNAL_STRENGTH) first, legacy ioctls otherwise;
//     a statistic the driver lacks (len 0, 524, EAGAIN) is simply absent.
//   * SNR figure: CNR in dB when the driver reports dB; otherwise a relative SNR on a 0..20 scale
//     that is NOT dB (snrScale says which). Without lock and without any CNR (most current
//     drivers give none before lock), an estimate from the signal strength and the status bits
//     on the same 0..20 scale: the strength's rise above the quietest reading so far (at most
//     3, below the sweep's threshold of 3.6: energy alone is no carrier) plus 2 for
//     FE_HAS_SIGNAL and 2 for FE_HAS_CARRIER. Locked without any CNR: absent.
//   * Quality: 0 without lock. Locked: from CNR dB (15 dB = 100 %), else relative SNR, else
//     relative strength, clamped to 1..100; 100 when the lock is the only evidence.
#include <linux/dvb/frontend.h>

#include <cstdint>
#include <optional>

#include "device/dvb/driver_quirks.h"

namespace quillox::dvb {

// What one refresh collected; each member is absent when the driver could not deliver it.
struct RawStats {
    std::optional<int64_t> cnrMilliDb;         // DTV_STAT_CNR, FE_SCALE_DECIBEL
    std::optional<uint16_t> cnrRelative;       // DTV_STAT_CNR, FE_SCALE_RELATIVE
    std::optional<int64_t> strengthMilliDbm;   // DTV_STAT_SIGNAL_STRENGTH, FE_SCALE_DECIBEL
    std::optional<uint16_t> strengthRelative;  // DTV_STAT_SIGNAL_STRENGTH, FE_SCALE_RELATIVE
    std::optional<uint16_t> legacySnr;         // FE_READ_SNR
    std::optional<uint16_t> legacyStrength;    // FE_READ_SIGNAL_STRENGTH
    std::optional<uint32_t> ber;               // FE_READ_BER (locked only)
    fe_status_t status{};                      // FE_READ_STATUS
};

enum class SnrScale { None, Decibel, Relative, Estimate };

// The 0..20 figure a relative SNR of 0..65535 maps to, chosen so that the program's thresholds
// (a few units) sit in the lower fifth of the driver's range, roughly where dB thresholds sit.
constexpr float kRelativeSnrFullScale = 20.0f;
// CNR (dB) that counts as 100 % quality: the "good" CNR of the most demanding DVB-S rate, 7/8.
constexpr double kFullQualityCnrDb = 15.0;
// The estimate without CNR: strength rise (capped) plus a step per status bit.
constexpr double kEstimateRiseCap = 3.0;
constexpr double kEstimateStatusStep = 2.0;

struct SignalFigures {
    int32_t quality = 0;       // 0..100
    std::optional<float> snr;  // meaning given by snrScale
    SnrScale snrScale = SnrScale::None;
    std::optional<int32_t> level;  // relative 0..65535, or 0.001 dBm when only dB is known
};

// quietLevel: the lowest level (as SignalFigures::level) this frontend has reported so far.
SignalFigures DeriveFigures(const RawStats& raw, const DriverQuirks& quirks, bool locked,
                            std::optional<int32_t> quietLevel = std::nullopt);

}  // namespace quillox::dvb
