#pragma once
// The impairments of a real installation as functions of the dish's seed and virtual time:
// oscillator error and drift, noise on the readings, scintillation, the spread of the carriers'
// links, the IF slope. All values are drawn from the seeded hash (base/seeded_hash.h), so the same
// seed and clock give the same sky. Not thread-safe: the dish calls it under its mutex.
#include <array>
#include <cstdint>
#include <vector>

#include "satellites/scenario_types.h"

namespace quillox::sim {

class SkyModel {
public:
    SkyModel(const satellites::SkyImpairments& sky, uint32_t seed);

    // Actual minus nominal LO of an oscillator (SignalPath's TunedPath::oscillator) at time ms.
    double LoOffsetMhz(int oscillator, int64_t ms);
    // What the link adds to a carrier's C/N at time ms: its spread, the common scintillation and
    // the IF slope at the IF it reaches the tuner on.
    double CnChangeDb(uint32_t carrier, double ifMhz, int64_t ms) const;
    // The IF slope alone (LNB and cable lose more at the top of the IF band): what it adds to
    // a carrier's C/N, and to the power the tuner's AGC sees, at this IF.
    double IfSlopeDb(double ifMhz) const;
    // Noise of one reading, in dB (0 without noise-db): Gaussian with a rare outlier.
    double ReadingNoiseDb(uint64_t readingCount) const;

private:
    const satellites::SkyImpairments sky_;
    const uint32_t seed_;
    std::array<double, 4> baseOffsetMhz_{};
    std::array<std::vector<double>, 4> walkMhz_;  // the drift's value at each whole minute
};

// Standard normal from one hash (Box-Muller).
double Gaussian(uint64_t hash);

}  // namespace quillox::sim
