#pragma once
// The tuning step every job uses: choose the LNB band for a downlink frequency, then stage the
// tone, the oscillator frequency and the frequency, and commit.
#include <cstdint>
#include <string>

#include "device/tuner_device.h"

namespace quillox {

// The LNB fields as typed. They are read afresh at each tuning step and converted there, so a
// field that is no integer ends the job at that step (ConversionError), before any tuner call.
struct LnbSettings {
    std::string lofLow = "9750";
    std::string lofSwitch = "11700";
    std::string lofHigh = "10600";
    int32_t highBandTone = 1;  // tone code of the high band; the low band always has none
};

// Low band (no tone, low LOF) below the switch frequency or when there is no high band
// (switch 0), else the high band. Only the LOF of the chosen band is converted.
void TuneToFrequency(TunerDevice& tuner, const LnbSettings& lnb, int32_t mhz);

}  // namespace quillox
