#pragma once
// Where a symbol-rate search tunes while a sweep steps across a carrier.
//
// The older demodulators need their lock time (hundreds of ms) for each candidate rate, and a
// sweep gives each step about as long, so a search started afresh at every step tries the first
// candidate only, and only the step nearest the carrier's centre can lock at all. The carrier's
// energy shows a step or two before and after that centre. So the device remembers the run of
// steps that showed energy: while the energy rises it tunes where the program asks, with the
// first candidate; once it falls, the centre lies behind, and the device tunes back to the step
// of the highest energy with the next candidate, as long as that place is within the
// derotator's reach of where the program now is. The carrier is then reported where it is (or,
// on a chip that reads back the tuned frequency, where the device tuned).
// Not thread-safe: the device that owns it guards it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/demod_profiles.h"

namespace quillox {

class SearchPlace {
public:
    struct Plan {
        int32_t tuneMhz = 0;        // where to tune (the program's frequency, or the best step's)
        size_t firstCandidate = 0;  // index into the search's candidate order
        bool keep = false;          // the device is there with that candidate: let it run on
    };

    // A new symbol-rate-0 tune to mhz on path (see RateSearchOrder::PathOf); order: the
    // candidates the search would try, in order. present: the candidate the device is trying
    // now, and whether it is still within its time.
    Plan Next(int64_t path, int32_t mhz, const std::vector<int32_t>& order, size_t present,
              bool presentTrying);
    // A reading of the present tune: its SNR, and whether it shows a carrier's energy. The
    // mean SNR of the tune's readings measures how near the carrier's centre it lies.
    void Reading(double snr, bool energy);
    void Locked() { run_ = {}; tune_ = {}; }
    void Forget() { Locked(); }

    // Steps further apart than this are not one run (a sweep's step, with room to spare).
    static constexpr int32_t kRunGapMhz = 12;
    // How far behind the program the device still tunes back to a peak: the derotator's reach
    // for the candidate (half its rate in MHz), and at least this.
    static constexpr int32_t kMinReachMhz = 20;
    static double ReachMhz(int32_t ksps);

private:
    struct Tune {
        bool valid = false;
        int64_t path = 0;
        int32_t mhz = 0;        // as the program asked
        int32_t tunedMhz = 0;   // where the device tuned
        size_t candidate = 0;
        double snrSum = 0;      // of the readings after the first, which may be a raw outlier
        int readings = 0;
        bool sawEnergy = false;
        double Energy() const { return readings > 1 ? snrSum / (readings - 1) : 0; }
    };
    struct Run {
        bool active = false;
        int64_t path = 0;
        int32_t lastMhz = 0;   // the program's last frequency in the run
        int32_t bestMhz = 0;   // the step of the highest energy
        double bestEnergy = 0;
        bool falling = false;  // the energy has fallen since the best step
        size_t next = 0;       // the next candidate to try at the best step
        bool nextRunning = false;  // ... which the device is trying there now
    };
    void Close(size_t present, bool presentTrying);  // folds the present tune into the run

    Tune tune_;
    Run run_;
};

// How long a candidate tried at the energy's peak is given: the family's lock time plus its
// zig-zag over half a sweep step (the carrier's centre lies that close), at most its timeout.
int32_t PeakCandidateMs(DemodFamily family, int32_t ksps);
inline constexpr double kPeakOffsetMhz = 2.5;

// Whether a reported SNR (dB) shows a carrier's energy rather than the estimator's noise floor.
inline constexpr double kCarrierEnergySnrDb = 3.0;

}  // namespace quillox
