#pragma once
// What the demodulators of DVB-S cards do, as facts both the Linux DVB device and the simulated
// dish build on: the family a driver belongs to, how long one tune attempt may take to lock, the
// candidate rates tried when the program asks for symbol rate 0, what each family reads back
// after a lock, and (DriverFacts) what its kernel driver does, read from the driver sources of
// Linux 6.1 (drivers/media/dvb-frontends/, drivers/media/dvb-core/dvb_frontend.c).
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quillox {

// Demodulator families that differ in lock time and read-back. Stv090x and Cx24116 are the
// DVB-S2 families described from their drivers; the device and the simulated dish treat them as
// Other for now (lock time, read-back).
enum class DemodFamily { Stv0299, Zarlink, Cx24123, S5h1420, Other, Stv090x, Cx24116 };

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

// What get_frontend reports as the symbol rate after a lock: the requested one, or measured and
// rounded to 2 kS/s (stv0299_get_symbolrate).
enum class ReadBackRate { Requested, MeasuredTo2k };

// Delivery systems a driver lists (dvb_frontend_ops.delsys), as bits.
enum DeliverySystemBit : uint8_t { kSysDvbS = 1, kSysDvbS2 = 2, kSysDss = 4 };

// How the kernel's frontend thread acquires with a driver (get_frontend_algo in the driver,
// dvb_frontend_thread in dvb_frontend.c).
enum class Acquisition {
    SoftwareZigzag,  // no get_frontend_algo: the core retunes around the frequency itself
    HardwareTune,    // DVBFE_ALGO_HW: the driver's tune() every *delay, no zig-zag
    CustomSearch,    // DVBFE_ALGO_CUSTOM: the driver's search() runs the whole acquisition
};

// What the frequency read back after a lock holds (get_frontend, run by the core on its own
// cache at each status event with FE_HAS_LOCK and on a copy of it for every FE_GET_PROPERTY).
enum class KernelReadFrequency {
    Requested,            // get_frontend leaves it, or writes back what set_frontend was given
    RequestedPlusOffset,  // the frequency first tuned plus the measured carrier offset: an offset
                          // the core's zig-zag tuned to is lost
    RequestedPlusTwiceOffset,  // get_frontend adds the offset to the cache itself: the cache
                               // holds requested + offset after the lock event, and a property
                               // read adds it again; the zig-zag offset is lost too
};

// Whether a legacy statistic call (FE_READ_SNR, FE_READ_SIGNAL_STRENGTH) gives a figure.
enum class Statistic {
    Missing,     // no callback: the ioctl fails with 524 (dvb_frontend_handle_ioctl)
    Always,      // the register is read whatever the lock state
    LockedOnly,  // written only once the demodulator has locked, else left as it was
};

// The facts of one driver that depend on the symbol rate.
struct TuneFacts {
    // The frontend thread's period: min_delay_ms of the software zig-zag (get_tune_settings, or
    // the core's default of 50 ms), the *delay a hardware tune() asks for, or the wait before a
    // failed custom search is repeated.
    int32_t pollMs = 50;
    // The core's software zig-zag: retunes stepKhz further out per step, both sides, until
    // maxDriftKhz (0: none).
    uint32_t stepKhz = 0;
    uint32_t maxDriftKhz = 0;
    // How far from the tuned frequency the chip itself finds the carrier, zig-zag aside.
    uint32_t chipReachKhz = 0;
    bool chipReachFromDriver = false;  // false: no figure in the driver, a conservative pick
    // From set_frontend (or search) to FE_HAS_LOCK on the right values.
    int32_t lockMs = 0;
    bool lockFromDriver = false;  // false: no figure in the driver, a conservative pick
    // The longest the driver holds the frontend's semaphore in one set_frontend, tune() or
    // search() (every ioctl of the frontend, FE_READ_STATUS too, waits meanwhile).
    int32_t blockingMs = 0;
};

struct DriverFacts {
    const char* name = "";          // as texts name the family
    const char* source = "";        // the driver file, below drivers/media/dvb-frontends/
    const char* frontendName = "";  // what FE_GET_INFO reports (dvb_frontend_ops.info.name)
    uint8_t systems = kSysDvbS;
    uint32_t rateMin = 0, rateMax = 0;  // S/s, dvb_frontend_ops.info.symbol_rate_min/max
    // How far a staged rate may be off the carrier's and still lock.
    uint32_t rateTolerancePpm = 0;
    bool toleranceFromDriver = false;  // false: no figure in the driver, a conservative pick
    Acquisition acquisition = Acquisition::SoftwareZigzag;
    // FE_CAN_INVERSION_AUTO: the driver takes INVERSION_AUTO. Without it set_frontend refuses
    // INVERSION_AUTO, and the core's zig-zag (dvb_frontend_swzigzag_autotune) tries both
    // inversions at every position instead.
    bool invertsItself = false;
    KernelReadFrequency readFrequency = KernelReadFrequency::Requested;
    ReadBackRate readRate = ReadBackRate::Requested;
    bool readFec = false;     // get_frontend reads the code rate found (else the cache's)
    bool readSystem = false;  // get_frontend reads the system and modulation found
    Statistic snr = Statistic::Always;
    Statistic strength = Statistic::Always;
    bool snrMeaningful = true;      // false: the driver itself calls its SNR bogus
    bool v5Stats = false;           // fills the DVBv5 statistics (DTV_STAT_*)
    uint32_t strengthFull = 65535;  // the largest FE_READ_SIGNAL_STRENGTH value
    TuneFacts (*at)(uint32_t symbolRate) = nullptr;
};

struct DemodProfile {
    DemodFamily family = DemodFamily::Other;
    // How far below the quasi-error-free C/N the chip still reports lock: carrier, timing and
    // Viterbi synchronisation hold while the output still has errors.
    double lockBelowQefDb = 0;
    // The driver as the kernel runs it: what the simulated frontends model.
    DriverFacts driver;
};

// stv0299, mt312 (Zarlink), cx24123, s5h1420, stv090x, cx24116; Other gives the defaults above
// and no driver.
const DemodProfile& DemodProfileOf(DemodFamily family);
// The family of a driver by its module's name ("stv0299", "mt312", "cx24123", "s5h1420",
// "stv090x", "cx24116"), as a satellite table names its card; nullopt for any other name.
std::optional<DemodFamily> FamilyNamed(std::string_view name);

// Every family described from its driver, in the order of DemodFamily.
std::span<const DemodFamily> DriverFamilies();

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
        : candidates_(candidates.begin(), candidates.end()), locks_(candidates_.size(), 0) {}

    // path: what the LNB was set to (polarisation, band, LOF), as the device keys it.
    std::vector<int32_t> For(int64_t path, int64_t ifKhz) const;
    // The rate of the carrier last locked when a tune to ifKhz lies inside it, else 0.
    int32_t KnownRate(int64_t path, int64_t ifKhz) const;
    // Where that carrier was read back (IF, kHz), when the tune lies inside it; else 0.
    int64_t KnownCentreKhz(int64_t path, int64_t ifKhz) const {
        return KnownRate(path, ifKhz) != 0 ? last_.ifKhz : 0;
    }
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
