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
    if (raw.cnrMilliDb) {
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

}  // namespace

DriverQuirks QuirksOf(const std::string& driverName) {
    DriverQuirks quirks;
    if (driverName.find("MT312") != std::string::npos) quirks.strengthShift = 2;
    if (driverName.find("CX24123") != std::string::npos) quirks.snrForQuality = false;
    return quirks;
}

SignalFigures DeriveFigures(const RawStats& raw, const DriverQuirks& quirks, bool locked) {
    SignalFigures figures;
    if (raw.cnrMilliDb) {
        figures.snr = static_cast<float>(*raw.cnrMilliDb / 1000.0);
        figures.snrScale = SnrScale::Decibel;
    } else if (auto snr = RelativeSnr(raw)) {
        figures.snr = static_cast<float>(*snr * double{kRelativeSnrFullScale} / 65535.0);
        figures.snrScale = SnrScale::Relative;
    }
    if (auto strength = RelativeStrength(raw, quirks)) {
        figures.level = *strength;
    } else if (raw.strengthMilliDbm) {
        figures.level = static_cast<int32_t>(*raw.strengthMilliDbm);
    }
    figures.quality = locked ? LockedQuality(raw, quirks) : 0;
    return figures;
}

}  // namespace quillox::dvb
