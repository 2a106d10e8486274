#pragma once
// What the demodulators of the older DVB-S cards do, as facts both the Linux DVB device and the
// simulated dish build on: the family a driver belongs to, how long one tune attempt may take to
// lock, the candidate rates tried when the program asks for symbol rate 0, and what each family
// reads back after a lock (taken from the kernel drivers' get_frontend and get_tune_settings).
#include <cstdint>
#include <span>
#include <vector>

namespace quillox {

// Demodulator families that differ in lock time and read-back.
enum class DemodFamily { Stv0299, Zarlink, Cx24123, S5h1420, Other };

// Milliseconds one tune attempt (a candidate of the symbol-rate search, or one delivery system
// of a fixed-rate tune) may take to lock at 5000 kS/s and above; below that, twice as long.
// The drivers that zig-zag in software (stv0299, s5h1420) step the frequency every 50-200 ms
// and need seconds for a carrier a few MHz off; mt312 and cx24123 acquire in hardware.
struct LockTimeouts {
    int32_t stv0299 = 3000;
    int32_t zarlink = 800;
    int32_t cx24123 = 800;
    int32_t s5h1420 = 2000;
    int32_t other = 1000;  // the DVB-S2 demodulators and anything not recognised

    int32_t For(DemodFamily family) const;
    int32_t ForRate(DemodFamily family, int32_t ksps) const;  // doubled below 5000 kS/s
};

// The rates tried for symbol rate 0, most common first (kS/s): no driver of these cards
// searches the rate itself, so the device tunes each in turn, one attempt each.
std::span<const int32_t> SearchRatesKsps();

// What get_frontend reports after a lock. Frequency: the tuned one (mt312, cx24123) or the
// tuned one plus the derotator's offset, i.e. the carrier's (stv0299, s5h1420). Symbol rate: the
// requested one, or measured and rounded to 2 kS/s (stv0299_get_symbolrate).
enum class ReadBackFrequency { Requested, Carrier };
enum class ReadBackRate { Requested, MeasuredTo2k };

struct DemodProfile {
    DemodFamily family = DemodFamily::Other;
    ReadBackFrequency readFrequency = ReadBackFrequency::Requested;
    ReadBackRate readRate = ReadBackRate::Requested;
    uint32_t captureKhz = 5000;  // how far off the carrier the demodulator still locks
    int32_t lockMs = 300;        // acquisition on the right values (doubled below 5 MS/s)
    // Software zig-zag of the kernel's frontend thread (0: the chip acquires in hardware): it
    // retunes every zigzagDelayMs by a step of SR / zigzagStepDivisor kHz, alternating sides,
    // so a carrier n steps off locks about 2 n delays later.
    int32_t zigzagStepDivisor = 0;
    int32_t zigzagDelayMs = 0;
    // How far below the quasi-error-free C/N the chip still reports lock: carrier, timing and
    // Viterbi synchronisation hold while the output still has errors.
    double lockBelowQefDb = 0;
};

// stv0299, mt312 (Zarlink), cx24123, s5h1420; Other gives the defaults above.
const DemodProfile& DemodProfileOf(DemodFamily family);

// The order in which a symbol-rate search tries its candidates. A tune that lands inside the
// carrier the last search locked (the same LNB path, within half its rate in MHz of the frequency
// it read back)
// starts with that carrier's rate, so the centring walk around a detection locks at once; the
// rest follow by how often each locked so far, the table's order breaking ties. Not
// thread-safe: the device that owns it guards it.
class RateSearchOrder {
public:
    static int64_t PathOf(int32_t polarity, bool highBand, int32_t lofMhz) {
        return (int64_t{polarity} * 2 + (highBand ? 1 : 0)) * 1000000 + lofMhz;
    }
    explicit RateSearchOrder(std::span<const int32_t> candidates)
        : candidates_(candidates.begin(), candidates.end()),
          locks_(candidates_.size(), 0) {}

    // path: what the LNB was set to (polarisation, band, LOF), as the device keys it.
    std::vector<int32_t> For(int64_t path, int64_t ifKhz) const;
    // The rate of the carrier last locked when a tune to ifKhz lies inside it, else 0.
    int32_t KnownRate(int64_t path, int64_t ifKhz) const;
    void Locked(int64_t path, int32_t ksps, int64_t ifKhz);  // ksps: the candidate that locked
    void Forget() { last_ = {}; }

private:
    struct Last {
        int64_t path = 0;
        int32_t ksps = 0;
        int64_t ifKhz = 0;
    };
    std::vector<int32_t> candidates_;
    std::vector<int32_t> locks_;
    Last last_;
};

// The SNR the device reports: the median of the last three raw readings of one tune and lock
// state (fewer right after a commit or a change of lock), so that a single wild reading of the
// demodulator's estimator neither makes nor breaks a threshold. Not thread-safe.
class SnrMedian {
public:
    void Reset() { count_ = 0; }
    float Push(float raw, bool locked);

private:
    float last_[3] = {0, 0, 0};
    int count_ = 0;
    bool locked_ = false;
};

}  // namespace quillox
