#pragma once
// Turns whatever statistics a driver offers into the program's readings: quality in percent,
// an SNR figure and a raw signal level. The rule (see docs/linux-dvb-device.md):
//   * DVBv5 statistics (DTV_STAT_CNR, DTV_STAT_SIGNAL_STRENGTH) first, legacy ioctls otherwise;
//     a statistic the driver lacks (len 0, 524, EAGAIN) is simply absent.
//   * SNR figure: CNR in dB when the driver reports dB; otherwise a relative SNR on a 0..20 scale
//     that is NOT dB (snrScale says which); absent when the driver has no SNR at all.
//   * Quality: 0 without lock. Locked: from CNR dB (15 dB = 100 %), else relative SNR, else
//     relative strength, clamped to 1..100; 100 when the lock is the only evidence.
#include <cstdint>
#include <optional>
#include <string>

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
};

// What the legacy drivers' numbers really are, by the driver's name from FE_GET_INFO.
struct DriverQuirks {
    int strengthShift = 0;      // mt312 reports a 14-bit AGC value: scale it up to 16 bits
    bool snrForQuality = true;  // cx24123's own source calls its SNR bogus: use strength
};
DriverQuirks QuirksOf(const std::string& driverName);

enum class SnrScale { None, Decibel, Relative };

// The 0..20 figure a relative SNR of 0..65535 maps to, chosen so that the program's thresholds
// (a few units) sit in the lower fifth of the driver's range, roughly where dB thresholds sit.
constexpr float kRelativeSnrFullScale = 20.0f;
// CNR (dB) that counts as 100 % quality: the "good" CNR of the most demanding DVB-S rate, 7/8.
constexpr double kFullQualityCnrDb = 15.0;

struct SignalFigures {
    int32_t quality = 0;       // 0..100
    std::optional<float> snr;  // meaning given by snrScale
    SnrScale snrScale = SnrScale::None;
    std::optional<int32_t> level;  // relative 0..65535, or 0.001 dBm when only dB is known
};

SignalFigures DeriveFigures(const RawStats& raw, const DriverQuirks& quirks, bool locked);

}  // namespace quillox::dvb
