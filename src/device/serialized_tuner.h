#pragma once
// Wraps the device so that calls from the GUI thread (status and signal timers) and from a worker
// are serialised per call. Before each call it checks the calling worker's stop request, so a
// stopped job makes no further tuner call.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "device/tuner_device.h"

namespace quillox {

class SerializedTuner : public TunerDevice {
public:
    SerializedTuner() = default;
    void Attach(std::unique_ptr<TunerDevice> device);  // takes ownership; null detaches
    std::unique_ptr<TunerDevice> Detach();
    bool attached() const;
    TunerDevice* device() const;  // the wrapped device, for diagnostics only
    // A job begins: passed on to a device that is JobAware.
    void JobStarting();
    // What a device that has RateSearchTiming tells, else nullopt.
    std::optional<int32_t> QuickestRateSearchLockMs() const;
    // The frequency (MHz) staged at the last commit that reached the device, 0 before any: where
    // the tuner was sent last, for telling where a stopped job stood.
    int32_t committedMhz() const { return committedMhz_; }

    int TunerSetFrequency(int32_t mhz) override;
    int TunerSetSymbolRate(int32_t ksps) override;
    int TunerSetLnbFrequency(int32_t mhz) override;
    int TunerSetFec(int32_t fecCode) override;
    int TunerSetPolarity(int32_t polarityCode) override;
    int TunerSetLnbSelection(int32_t toneCode) override;
    int TunerSetDiseqc(int32_t diseqcCode) override;
    int TunerInitialize() override;
    int TunerRefreshStatus() override;
    int TunerCommit(int32_t value) override;
    int TunerGetFrequency(int32_t& mhz) override;
    int TunerGetSymbolRate(int32_t& ksps) override;
    int TunerGetSigtre(int32_t& level) override;
    int TunerGetSnr(float& snr) override;
    int TunerGetFec(int32_t& fecCode) override;
    int TunerGetPolarity(int32_t& polarityCode) override;
    int TunerGetDiseqc(int32_t& diseqcCode) override;
    int TunerGetLnbSelection(int32_t& toneCode) override;
    int TunerGetLnbFrequency(int32_t& mhz) override;
    int TunerGetSignalQuality(int32_t& percent) override;

private:
    template <typename Call>
    int Forward(Call call);

    mutable std::mutex mutex_;  // guards device_ and every call into it
    std::unique_ptr<TunerDevice> device_;
    std::atomic<int32_t> stagedMhz_{0};
    std::atomic<int32_t> committedMhz_{0};
};

}  // namespace quillox
