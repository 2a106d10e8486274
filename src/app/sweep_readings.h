#pragma once
// The latest sweep readings of each blind-scan method and polarity, with the transponders the
// method's jobs found, and the latest strength pass of each polarity, for the Spectrum picture.
//
// Threads: a job's worker writes, the GUI thread (or the headless runner) reads copies. Every
// call takes the one mutex; generation() lets a view poll for changes without copying.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "scan/scan_host.h"
#include "scan/strength_spectrum.h"

namespace quillox {

enum class SweepMethod {
    ProbableFrequency,  // first method: "1 - FIND", "3 - FIND", "Find (1,2,3,4)"; reads the SNR
    RateSearch,         // second method: "GO" of page rev. 2.3; reads the signal quality
};

struct SpectrumReading {
    int32_t mhz = 0;
    double value = 0;
};

// The latest sweep of one polarity: the range it was asked to cover (0..0 before any) and its
// readings in the order swept.
struct SpectrumTrace {
    int32_t startMhz = 0;
    int32_t endMhz = 0;
    std::vector<SpectrumReading> readings;
};

// The latest strength pass of one polarity: the range it was asked to cover (0..0 before any)
// and its points in the order read; a point without a level is a gap in the curve.
struct StrengthTrace {
    int32_t startMhz = 0;
    int32_t endMhz = 0;
    std::vector<StrengthPoint> points;
};

struct StrengthData {
    StrengthTrace vertical;
    StrengthTrace horizontal;
};

// One method's picture: a trace per polarity and the transponders found (polarity as the
// tuner reported it), with the band's strength behind them.
struct SpectrumData {
    SweepMethod method = SweepMethod::ProbableFrequency;
    SpectrumTrace vertical;
    SpectrumTrace horizontal;
    std::vector<FoundTransponder> found;
    StrengthData strength = {};
};

class SpectrumStore {
public:
    // A sweep of this method and polarity over startMhz..endMhz starts: the polarity's earlier
    // readings and marks (and those of no known polarity) are dropped.
    void BeginSweep(SweepMethod method, int32_t polarityCode, int32_t startMhz, int32_t endMhz);
    // A job that finds the transponders of this polarity starts: its earlier marks (and those
    // of no known polarity) are dropped.
    void BeginFinding(SweepMethod method, int32_t polarityCode);
    // Readings of a polarity other than vertical or horizontal, or no finite value, are not
    // kept.
    void AddReading(SweepMethod method, int32_t polarityCode, int32_t mhz, double value);
    void AddFound(SweepMethod method, const FoundTransponder& transponder);

    SpectrumData Snapshot(SweepMethod method) const;
    // The method written to last, none before the first sweep.
    std::optional<SweepMethod> latest() const;
    // Grows with every change.
    uint64_t generation() const { return generation_.load(); }

private:
    void Changed(SweepMethod method);

    mutable std::mutex mutex_;
    SpectrumData data_[2]{{SweepMethod::ProbableFrequency, {}, {}, {}},
                          {SweepMethod::RateSearch, {}, {}, {}}};
    std::optional<SweepMethod> latest_;
    std::atomic<uint64_t> generation_{0};
};

// The strength passes' points, with the same threading as SpectrumStore.
class StrengthStore {
public:
    // A pass of this polarity over startMhz..endMhz starts: the polarity's earlier points go.
    void BeginPass(int32_t polarityCode, int32_t startMhz, int32_t endMhz);
    // Points of a polarity other than vertical or horizontal are not kept.
    void AddPoint(const StrengthPoint& point);

    StrengthData Snapshot() const;
    // Grows with every change.
    uint64_t generation() const { return generation_.load(); }

private:
    mutable std::mutex mutex_;
    StrengthData data_;
    std::atomic<uint64_t> generation_{0};
};

}  // namespace quillox
