#pragma once
// The probable-frequency sweep: one polarity at one symbol rate, a hit wherever the rounded SNR
// rises above 3.6; neighbouring hits then merge into one probable frequency per transponder.
#include <cstdint>
#include <vector>

#include "device/tuner_device.h"
#include "platform/clock.h"
#include "scan/scan_host.h"

namespace quillox {

struct ProbableFrequencyScanParams {
    int32_t symbolRateKsps = 35000;
    int32_t startMhz = 10700;
    int32_t endMhz = 12750;
    int32_t stepMhz = 5;
    int32_t delayMs = 750;        // per step, the 100 ms settle included
    int32_t readIntervalMs = 20;  // divides the dwell into readings; 0 or less counts as 20
};

class ProbableFrequencyScanHost : public ScanHost {
public:
    virtual void Hit(int32_t mhz) = 0;  // the frequency the tuner reported at a hit
    // Once per step that took readings: the step's frequency and the highest rounded SNR read
    // there (the hit's own when the step hit).
    virtual void Reading(int32_t mhz, double snr) = 0;
};

// Runs the sweep on the polarity the tuner holds. Progress goes from 0 to 100 with the
// frequency. Throws JobStopped when the job is stopped, ConversionError for an LNB field that is
// no integer.
void RunProbableFrequencyScan(TunerDevice& tuner, Clock& clock,
                              const ProbableFrequencyScanParams& params,
                              ProbableFrequencyScanHost& host);

// Readings per step: the dwell after the settle, in read intervals, rounded up.
int64_t ReadingsPerStep(int32_t delayMs, int32_t readIntervalMs);

// One probable frequency per cluster of hits (ascending): the middle of its first and last hit.
// A hit 20 MHz or more above the previous one starts a new cluster.
std::vector<int64_t> MergeHits(const std::vector<int64_t>& hits);

}  // namespace quillox
