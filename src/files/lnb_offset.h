#pragma once
// How far the LNB's oscillators are off, estimated from transponders found by a scan and matched
// with a reference list (the satellite's table or an earlier scan).
//
// The program sends the nominal LOF; a carrier at f reaches the tuner at the IF of the actual
// oscillator, and the card reports LOF sent +- IF. An oscillator that runs d MHz high therefore
// makes every transponder of its band read d MHz low, in the Ku bands and in the inverted C band
// alike, and typing LOF + d into its field corrects it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillox {

struct MatchedFrequency {
    double foundMhz = 0;      // as the scan reported it
    double referenceMhz = 0;  // the same transponder in the reference list
};

// The LOF fields as numbers. Switch 0 (C band): a single oscillator, the LOF Low one.
struct LnbOscillators {
    int32_t lofLowMhz = 9750;
    int32_t lofSwitchMhz = 11700;
    int32_t lofHighMhz = 10600;
};

enum class OscillatorBand { Single, Low, High };

struct OscillatorOffset {
    OscillatorBand band = OscillatorBand::Single;
    int32_t lofMhz = 0;      // the LOF field of this oscillator as it is
    double offsetMhz = 0;    // actual minus nominal; positive: the oscillator runs high
    size_t transponders = 0;  // matches it rests on
};

// The band a tuning to `mhz` uses: below the switch (or without one) the low oscillator.
OscillatorBand BandOf(const LnbOscillators& lnb, double mhz);

// One estimate per band that has matches, low band first: the mean of the middle half of the
// band's reference-minus-found differences, so a wrong match or two does not pull it.
std::vector<OscillatorOffset> EstimateLnbOffsets(const std::vector<MatchedFrequency>& matches,
                                                 const LnbOscillators& lnb);

// The estimate for the band of a found frequency; 0 when that band has none.
double OffsetAt(const std::vector<OscillatorOffset>& offsets, const LnbOscillators& lnb,
                double foundMhz);

// Fewer matches than this say nothing about the oscillator.
inline constexpr size_t kMinTranspondersForOffset = 3;
// Below this the LOF fields, which take whole MHz, cannot do better.
inline constexpr double kNegligibleOffsetMhz = 0.5;

// One sentence per band, e.g. "The LNB's high-band oscillator reads 2.1 MHz high (18
// transponders): type 10602 into LOF High." or "... reads true within 0.5 MHz ...".
std::vector<std::string> DescribeLnbOffsets(const std::vector<OscillatorOffset>& offsets);

}  // namespace quillox
