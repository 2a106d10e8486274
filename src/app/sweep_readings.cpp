#include "app/sweep_readings.h"

#include <cmath>

#include "base/tuning_code_values.h"

namespace quillox {
namespace {

SpectrumTrace* TraceOf(SpectrumData& data, int32_t polarityCode) {
    if (polarityCode == polarity::kVertical) return &data.vertical;
    if (polarityCode == polarity::kHorizontal) return &data.horizontal;
    return nullptr;
}

StrengthTrace* TraceOf(StrengthData& data, int32_t polarityCode) {
    if (polarityCode == polarity::kVertical) return &data.vertical;
    if (polarityCode == polarity::kHorizontal) return &data.horizontal;
    return nullptr;
}

// Marks whose polarity the tuner could not tell belong to no sweep that stays: they go too.
void DropFound(SpectrumData& data, int32_t polarityCode) {
    std::erase_if(data.found, [&data, polarityCode](const FoundTransponder& t) {
        return t.polarityCode == polarityCode || TraceOf(data, t.polarityCode) == nullptr;
    });
}

}  // namespace

void SpectrumStore::Changed(SweepMethod method) {
    latest_ = method;
    ++generation_;
}

void SpectrumStore::BeginSweep(SweepMethod method, int32_t polarityCode, int32_t startMhz,
                               int32_t endMhz) {
    std::lock_guard lock(mutex_);
    SpectrumData& data = data_[static_cast<int>(method)];
    if (auto* trace = TraceOf(data, polarityCode)) *trace = {startMhz, endMhz, {}};
    DropFound(data, polarityCode);
    Changed(method);
}

void SpectrumStore::BeginFinding(SweepMethod method, int32_t polarityCode) {
    std::lock_guard lock(mutex_);
    DropFound(data_[static_cast<int>(method)], polarityCode);
    Changed(method);
}

void SpectrumStore::AddReading(SweepMethod method, int32_t polarityCode, int32_t mhz,
                               double value) {
    std::lock_guard lock(mutex_);
    auto* trace = TraceOf(data_[static_cast<int>(method)], polarityCode);
    if (trace == nullptr || !std::isfinite(value)) return;  // a driver's figure may be NaN
    trace->readings.push_back({mhz, value});
    Changed(method);
}

void SpectrumStore::AddFound(SweepMethod method, const FoundTransponder& transponder) {
    std::lock_guard lock(mutex_);
    data_[static_cast<int>(method)].found.push_back(transponder);
    Changed(method);
}

SpectrumData SpectrumStore::Snapshot(SweepMethod method) const {
    std::lock_guard lock(mutex_);
    return data_[static_cast<int>(method)];
}

std::optional<SweepMethod> SpectrumStore::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void StrengthStore::BeginPass(int32_t polarityCode, int32_t startMhz, int32_t endMhz) {
    std::lock_guard lock(mutex_);
    if (auto* trace = TraceOf(data_, polarityCode)) *trace = {startMhz, endMhz, {}};
    ++generation_;
}

void StrengthStore::AddPoint(const StrengthPoint& point) {
    std::lock_guard lock(mutex_);
    auto* trace = TraceOf(data_, point.polarityCode);
    if (trace == nullptr) return;
    trace->points.push_back(point);
    ++generation_;
}

StrengthData StrengthStore::Snapshot() const {
    std::lock_guard lock(mutex_);
    return data_;
}

}  // namespace quillox
