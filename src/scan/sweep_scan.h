#pragma once
// The sweep of the second blind-scan method: the tuner searches the symbol rate itself, the
// scan steps the frequency once per chosen polarity and takes the first poll that shows a
// signal with a symbol rate in the chosen range as a transponder, either as the tuner reports
// it or centred first by the confirmation.
#include <cstdint>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/scan_host.h"
#include "scan/transponder_confirmation.h"

namespace quillox {

struct SweepScanParams {
    int32_t startMhz = 10700;
    int32_t endMhz = 12750;
    int32_t stepMhz = 5;
    int32_t dwellMs = 750;       // per frequency, the 100 ms settle included
    int32_t pollDivisor = 20;    // divides the dwell into polls; 0 or less counts as 20
    int32_t symbolRateKsps = 0;  // staged for the sweep: 0 lets the tuner search
    // A reported symbol rate is in range when minKsps <= rate <= maxKsps.
    int32_t minKsps = 0;
    int32_t maxKsps = 45000;
    bool vertical = true;
    bool horizontal = true;
    int32_t customDelayMs = 0;  // the confirmation's dwell when above 0
    int32_t centreWaitLimitMs = 10000;
};

class SweepScanHost : public TransponderScanHost {
public:
    // Asked at each detection: confirm and centre it (true) or take the tuner's readings.
    virtual bool FineTuning() = 0;
    // Once per step: the polarity of the pass, the step's frequency and the highest signal
    // quality polled there (up to the detection, when the step detected one).
    virtual void Reading(int32_t polarityCode, int32_t mhz, int32_t quality) = 0;
};

// How long after each step's commit the sweep polls at most (its last poll), in ms.
int64_t SweepListenMs(const SweepScanParams& params);

// Runs both passes (vertical first). Progress ends at 100, half per pass when there are two.
// Throws JobStopped when the job is stopped, ConversionError for an LNB field that is no
// integer.
void RunSweepScan(TunerDevice& tuner, Clock& clock, const SweepScanParams& params,
                  SweepScanHost& host);

}  // namespace quillox
