#include "files/lnb_offset.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quillox {
namespace {

double MiddleHalfMean(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const size_t cut = n >= 4 ? n / 4 : 0;
    double sum = 0;
    for (size_t i = cut; i < n - cut; ++i) sum += values[i];
    return sum / static_cast<double>(n - 2 * cut);
}

const char* OscillatorName(OscillatorBand band) {
    switch (band) {
        case OscillatorBand::Low: return "low-band oscillator";
        case OscillatorBand::High: return "high-band oscillator";
        case OscillatorBand::Single: break;
    }
    return "oscillator";
}

const char* FieldName(OscillatorBand band) {
    return band == OscillatorBand::High ? "LOF High" : "LOF Low";
}

}  // namespace

OscillatorBand BandOf(const LnbOscillators& lnb, double mhz) {
    if (lnb.lofSwitchMhz == 0) return OscillatorBand::Single;
    return mhz < lnb.lofSwitchMhz ? OscillatorBand::Low : OscillatorBand::High;
}

std::vector<OscillatorOffset> EstimateLnbOffsets(const std::vector<MatchedFrequency>& matches,
                                                 const LnbOscillators& lnb) {
    std::vector<OscillatorOffset> offsets;
    for (OscillatorBand band : {OscillatorBand::Single, OscillatorBand::Low, OscillatorBand::High}) {
        std::vector<double> differences;
        for (const MatchedFrequency& m : matches)
            if (BandOf(lnb, m.foundMhz) == band) differences.push_back(m.referenceMhz - m.foundMhz);
        if (differences.empty()) continue;
        offsets.push_back({band, band == OscillatorBand::High ? lnb.lofHighMhz : lnb.lofLowMhz,
                           MiddleHalfMean(differences), differences.size()});
    }
    return offsets;
}

double OffsetAt(const std::vector<OscillatorOffset>& offsets, const LnbOscillators& lnb,
                double foundMhz) {
    const OscillatorBand band = BandOf(lnb, foundMhz);
    for (const OscillatorOffset& o : offsets)
        if (o.band == band) return o.offsetMhz;
    return 0;
}

std::vector<std::string> DescribeLnbOffsets(const std::vector<OscillatorOffset>& offsets) {
    std::vector<std::string> sentences;
    char text[200];
    for (const OscillatorOffset& o : offsets) {
        const char* name = OscillatorName(o.band);
        if (o.transponders < kMinTranspondersForOffset) {
            std::snprintf(text, sizeof text,
                          "The LNB's %s cannot be judged: %zu transponder%s matched, %zu needed.",
                          name, o.transponders, o.transponders == 1 ? "" : "s",
                          kMinTranspondersForOffset);
        } else if (std::abs(o.offsetMhz) < kNegligibleOffsetMhz) {
            std::snprintf(text, sizeof text,
                          "The LNB's %s reads true within %.1f MHz (%zu transponders): keep %d in "
                          "%s.",
                          name, kNegligibleOffsetMhz, o.transponders, o.lofMhz, FieldName(o.band));
        } else {
            std::snprintf(text, sizeof text,
                          "The LNB's %s reads %.1f MHz %s (%zu transponders): type %ld into %s.",
                          name, std::abs(o.offsetMhz), o.offsetMhz > 0 ? "high" : "low",
                          o.transponders, std::lround(o.lofMhz + o.offsetMhz), FieldName(o.band));
        }
        sentences.emplace_back(text);
    }
    return sentences;
}

}  // namespace quillox
