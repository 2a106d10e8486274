#include "device/serialized_tuner.h"

#include "platform/stop_signal.h"

namespace quillox {

namespace {
constexpr int kNoDevice = -1;
}

void SerializedTuner::Attach(std::unique_ptr<TunerDevice> device) {
    std::lock_guard lock(mutex_);
    device_ = std::move(device);
}

std::unique_ptr<TunerDevice> SerializedTuner::Detach() {
    std::lock_guard lock(mutex_);
    return std::move(device_);
}

bool SerializedTuner::attached() const {
    std::lock_guard lock(mutex_);
    return device_ != nullptr;
}

TunerDevice* SerializedTuner::device() const {
    std::lock_guard lock(mutex_);
    return device_.get();
}

void SerializedTuner::JobStarting() {
    std::lock_guard lock(mutex_);
    if (auto* aware = dynamic_cast<JobAware*>(device_.get())) aware->JobStarting();
}

std::optional<int32_t> SerializedTuner::QuickestRateSearchLockMs() const {
    std::lock_guard lock(mutex_);
    if (const auto* timing = dynamic_cast<const RateSearchTiming*>(device_.get()))
        return timing->QuickestRateSearchLockMs();
    return std::nullopt;
}

template <typename Call>
int SerializedTuner::Forward(Call call) {
    ThrowIfStopRequested();
    std::lock_guard lock(mutex_);
    if (!device_) return kNoDevice;
    return call(*device_);
}

int SerializedTuner::TunerSetFrequency(int32_t v) {
    const int result = Forward([&](TunerDevice& d) { return d.TunerSetFrequency(v); });
    stagedMhz_ = v;
    return result;
}
int SerializedTuner::TunerSetSymbolRate(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetSymbolRate(v); });
}
int SerializedTuner::TunerSetLnbFrequency(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetLnbFrequency(v); });
}
int SerializedTuner::TunerSetFec(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetFec(v); });
}
int SerializedTuner::TunerSetPolarity(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetPolarity(v); });
}
int SerializedTuner::TunerSetLnbSelection(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetLnbSelection(v); });
}
int SerializedTuner::TunerSetDiseqc(int32_t v) {
    return Forward([&](TunerDevice& d) { return d.TunerSetDiseqc(v); });
}
int SerializedTuner::TunerInitialize() {
    return Forward([&](TunerDevice& d) { return d.TunerInitialize(); });
}
int SerializedTuner::TunerRefreshStatus() {
    return Forward([&](TunerDevice& d) { return d.TunerRefreshStatus(); });
}
int SerializedTuner::TunerCommit(int32_t v) {
    const int result = Forward([&](TunerDevice& d) { return d.TunerCommit(v); });
    committedMhz_ = stagedMhz_.load();
    return result;
}
int SerializedTuner::TunerGetFrequency(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetFrequency(v); });
}
int SerializedTuner::TunerGetSymbolRate(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetSymbolRate(v); });
}
int SerializedTuner::TunerGetSigtre(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetSigtre(v); });
}
int SerializedTuner::TunerGetSnr(float& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetSnr(v); });
}
int SerializedTuner::TunerGetFec(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetFec(v); });
}
int SerializedTuner::TunerGetPolarity(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetPolarity(v); });
}
int SerializedTuner::TunerGetDiseqc(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetDiseqc(v); });
}
int SerializedTuner::TunerGetLnbSelection(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetLnbSelection(v); });
}
int SerializedTuner::TunerGetLnbFrequency(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetLnbFrequency(v); });
}
int SerializedTuner::TunerGetSignalQuality(int32_t& v) {
    return Forward([&](TunerDevice& d) { return d.TunerGetSignalQuality(v); });
}

}  // namespace quillox
