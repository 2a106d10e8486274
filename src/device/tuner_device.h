#pragma once
// The tuner as every job sees it: setters stage a value, TunerCommit(1) applies what is staged,
// TunerRefreshStatus precedes every reading. Units: frequencies and LOF in whole MHz (downlink),
// symbol rates in whole kS/s. Codes: base/tuning_code_values.h. Every call returns 0 on success;
// callers ignore the result. A getter that fails leaves the caller's variable untouched.
#include <cstdint>

namespace quillox {

class TunerDevice {
public:
    virtual ~TunerDevice() = default;

    virtual int TunerSetFrequency(int32_t mhz) = 0;
    virtual int TunerSetSymbolRate(int32_t ksps) = 0;
    virtual int TunerSetLnbFrequency(int32_t mhz) = 0;
    virtual int TunerSetFec(int32_t fecCode) = 0;
    virtual int TunerSetPolarity(int32_t polarityCode) = 0;
    virtual int TunerSetLnbSelection(int32_t toneCode) = 0;
    virtual int TunerSetDiseqc(int32_t diseqcCode) = 0;
    virtual int TunerInitialize() = 0;
    virtual int TunerRefreshStatus() = 0;
    virtual int TunerCommit(int32_t value) = 0;

    virtual int TunerGetFrequency(int32_t& mhz) = 0;
    virtual int TunerGetSymbolRate(int32_t& ksps) = 0;
    virtual int TunerGetSigtre(int32_t& level) = 0;
    virtual int TunerGetSnr(float& snr) = 0;
    virtual int TunerGetFec(int32_t& fecCode) = 0;
    virtual int TunerGetPolarity(int32_t& polarityCode) = 0;
    virtual int TunerGetDiseqc(int32_t& diseqcCode) = 0;
    virtual int TunerGetLnbSelection(int32_t& toneCode) = 0;
    virtual int TunerGetLnbFrequency(int32_t& mhz) = 0;
    virtual int TunerGetSignalQuality(int32_t& percent) = 0;
};

// Optional beside TunerDevice: a device that wants to know when one of the window's jobs begins
// (a real card then addresses its DiSEqC switch afresh).
class JobAware {
public:
    virtual ~JobAware() = default;
    virtual void JobStarting() = 0;
};

// Optional beside TunerDevice: a device that knows the shortest time after a commit in which
// it can report a lock while it searches the symbol rate itself (symbol rate 0), on a carrier
// right where it was tuned. A sweep that polls each step for less than that can find nothing.
class RateSearchTiming {
public:
    virtual ~RateSearchTiming() = default;
    virtual int32_t QuickestRateSearchLockMs() const = 0;
};

}  // namespace quillox
