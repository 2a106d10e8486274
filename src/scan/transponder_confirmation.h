#pragma once
// Centring a transponder the sweep has just detected: the tuner walks down and then up in
// 2 MHz steps from the detection until the lock is lost on each side, retunes to the
// quality-weighted mean of the frequencies it visited and records what it reports there.
#include <cstdint>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/scan_host.h"

namespace quillox {

struct ConfirmationParams {
    int32_t dwellMs = 2500;  // per visited frequency, see ConfirmationDwellMs
    int32_t stepMhz = 5;     // the sweep's step, which the resume value allows for
    // How long the signal may stay away at the detection frequency before the detection is
    // dropped. A carrier that fades must not hold an unattended sweep for ever.
    int32_t centreWaitLimitMs = 10000;
};

// The dwell per visited frequency: the custom delay when one is chosen (customDelayMs > 0),
// else 2.5 times the sweep's dwell, truncated, and at least 2500 ms.
int32_t ConfirmationDwellMs(int32_t sweepDwellMs, int32_t customDelayMs);

// What the tuner reports of the transponder it holds, for the list: a refresh, then frequency,
// polarity, symbol rate and FEC, each 0 when its getter fails.
FoundTransponder ReadTransponder(TunerDevice& tuner);

// Confirms the detection at `mhz` (the frequency the sweep tuned, not a reading), records one
// transponder through host.Found and returns the frequency the sweep goes on from (its step
// is then added): 10 MHz above the last frequency of the upward walk that still had a signal,
// less the step. When the signal does not come back at the centre within the limit, nothing
// is recorded and the sweep goes on from `mhz`. Throws JobStopped when the job is stopped.
int32_t ConfirmTransponder(TunerDevice& tuner, Clock& clock, const ConfirmationParams& params,
                           TransponderScanHost& host, int32_t mhz);

}  // namespace quillox
