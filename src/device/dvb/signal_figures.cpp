#include "device/dvb/signal_figures.h"

#include <algorithm>
#include <cmath>

namespace quillox::dvb {
namespace {

int32_t PercentOf(uint32_t relative) {
    return static_cast<int32_t>(relative * 100u / 65535u);
}

std::optional<uint16_t> RelativeSnr(const RawStats& raw) {
    return raw.cnrRelative ? raw.cnrRelative : raw.legacySnr;
}

std::optional<uint16_t> RelativeStrength(const RawStats& raw, const DriverQuirks& quirks) {
    if (raw.strengthRelative) return raw.strengthRelative;
    if (!raw.legacyStrength) return std::nullopt;
    uint32_t scaled = uint32_t{*raw.legacyStrength} << quirks.strengthShift;
    return static_cast<uint16_t>(std::min<uint32_t>(scaled, 0xFFFF));
}

int32_t LockedQuality(const RawStats& raw, const DriverQuirks& quirks) {
    int32_t percent = 100;  // lock without any statistic
    auto snr = RelativeSnr(raw);
    auto strength = RelativeStrength(raw, quirks);
    if (quirks.qualityFromStrength && strength) {
        percent = PercentOf(*strength);
    } else if (raw.cnrMilliDb) {
        percent =
            static_cast<int32_t>(std::lround(*raw.cnrMilliDb / 1000.0 * 100.0 / kFullQualityCnrDb));
    } else if (snr && quirks.snrForQuality) {
        percent = PercentOf(*snr);
    } else if (strength) {
        percent = PercentOf(*strength);
    } else if (snr) {
        percent = PercentOf(*snr);
    }
    return std::clamp(percent, 1, 100);
}

// Strength above the quietest level: in dB for a strength in dBm; a relative strength is
// mapped to 0..20 as the relative SNR is.
double StrengthRise(int32_t level, std::optional<int32_t> quietLevel, bool dbm) {
    if (!quietLevel || level <= *quietLevel) return 0.0;
    const double above = static_cast<double>(level) - *quietLevel;
    return dbm ? above / 1000.0 : above * kRelativeSnrFullScale / 65535.0;
}

float EstimatedFigure(fe_status_t status, double rise) {
    double figure = std::min(rise, kEstimateRiseCap);
    if (status & FE_HAS_SIGNAL) figure += kEstimateStatusStep;
    if (status & FE_HAS_CARRIER) figure += kEstimateStatusStep;
    return static_cast<float>(figure);
}

}  // namespace

SignalFigures DeriveFigures(const RawStats& raw, const DriverQuirks& quirks, bool locked,
                            std::optional<int32_t> quietLevel) {
    SignalFigures figures;
    if (raw.cnrMilliDb) {
        figures.snr = static_cast<float>(*raw.cnrMilliDb / 1000.0);
        figures.snrScale = SnrScale::Decibel;
    } else if (auto snr = RelativeSnr(raw)) {
        figures.snr = static_cast<float>(*snr * double{kRelativeSnrFullScale} / 65535.0);
        figures.snrScale = SnrScale::Relative;
    }
    bool levelInDbm = false;
    if (auto strength = RelativeStrength(raw, quirks)) {
        figures.level = *strength;
    } else if (raw.strengthMilliDbm) {
        figures.level = static_cast<int32_t>(*raw.strengthMilliDbm);
        levelInDbm = true;
    }
    if (figures.snrScale == SnrScale::None && !locked) {
        const double rise =
            figures.level ? StrengthRise(*figures.level, quietLevel, levelInDbm) : 0.0;
        figures.snr = EstimatedFigure(raw.status, rise);
        figures.snrScale = SnrScale::Estimate;
    }
    figures.quality = locked ? LockedQuality(raw, quirks) : 0;
    return figures;
}

}  // namespace quillox::dvb
