#pragma once
// The strength spectrum: a pass over a frequency range per polarity that only reads the signal
// level at each step. The tuner is set to a narrow symbol rate, so that its filter passes only
// the power near the tuned frequency; no lock is sought and nothing is found or recorded.
#include <cstdint>
#include <optional>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/lnb_tuning.h"

namespace quillox {

struct StrengthSpectrumParams {
    int32_t startMhz = 10700;
    int32_t endMhz = 12750;
    int32_t stepMhz = 1;            // less than 1 counts as 1
    int32_t symbolRateKsps = 1000;  // the width of the demodulator's filter, roughly
    int32_t settleMs = 20;          // after each tuning step, before the reading
    bool vertical = true;
    bool horizontal = true;
    LnbSettings lnb;
};

// One step's reading. A figure the device could not give is absent: a gap in the curve, not a
// zero.
struct StrengthPoint {
    int32_t polarityCode = 0;
    int32_t mhz = 0;
    std::optional<int32_t> level;  // TunerGetSigtre, in the device's own unit
    std::optional<float> snr;      // TunerGetSnr
};

class StrengthSpectrumHost {
public:
    virtual ~StrengthSpectrumHost() = default;
    virtual void Progress(int percent) = 0;  // 0..100 over every pass
    virtual void Point(const StrengthPoint& point) = 0;
};

// The number of readings a pass of params takes per polarity (0 for an empty range).
int64_t StrengthStepsPerPass(const StrengthSpectrumParams& params);

// Vertical first, then horizontal. Throws JobStopped when the job is stopped (from the clock's
// sleep or the tuner), ConversionError for an LNB field that is no integer.
void RunStrengthSpectrum(TunerDevice& tuner, Clock& clock, const StrengthSpectrumParams& params,
                         StrengthSpectrumHost& host);

}  // namespace quillox
