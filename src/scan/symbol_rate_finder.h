#pragma once
// The symbol-rate finder: on a transponder already tuned (frequency, polarity, FEC), try symbol
// rates from start to end until the tuner reports a signal; the rate it then reports is the
// coarse result. A fine mode may refine it by trying rates around it and taking the
// quality-weighted mean.
#include <cstdint>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/scan_host.h"

namespace quillox {

enum class FineTuning { None, Normal, Best };

struct SymbolRateFinderParams {
    int32_t startKsps = 1;
    int32_t endKsps = 45000;
    int32_t stepKsps = 20;
    int32_t dwellMs = 300;        // per try
    int32_t extraDwellMs = 2000;  // added when the SNR is above the threshold
    FineTuning mode = FineTuning::Normal;
    // NORMAL waits for the signal to come back at the centre before its downward walk; a
    // carrier that has faded meanwhile must not hold the job for ever.
    int32_t centreWaitLimitMs = 10000;
};

// The finder never tunes the frequency, so Lnb() is not asked.
class SymbolRateFinderHost : public ScanHost {
public:
    virtual int32_t SnrThresholdCode() = 0;  // asked at every try: 23, 39 or another code
};

struct SymbolRateFinderResult {
    bool found = false;  // false: no try gave a signal ("Not Found")
    int32_t ksps = 0;    // the result, set on the tuner at the end of a fine search
    int32_t coarseKsps = 0;
    bool centreLost = false;  // NORMAL gave up waiting at the centre and kept the coarse result
};

// Runs the search on the transponder the tuner holds. Progress runs to 100 with NONE, to 95 and
// then through the fine search otherwise; the caller sets 100 when it has shown the result.
// Throws JobStopped when the job is stopped.
SymbolRateFinderResult RunSymbolRateFinder(TunerDevice& tuner, Clock& clock,
                                           const SymbolRateFinderParams& params,
                                           SymbolRateFinderHost& host);

}  // namespace quillox
