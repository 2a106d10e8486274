#pragma once
// The one model of a demodulator behind a simulated kernel frontend: whether the core and the
// driver take a tune, whether and when the chip locks a carrier at its input, and what
// get_frontend then reads back. The simulated dish and the tests' fake frontend both ask it, each
// with its own input (a sky of carriers, or carriers placed at an IF).
//
// Two kinds:
//   * the default card (DishModelParameters): capture and acquisition time as the dish model
//     has them; it takes symbol rate 0 and finds the rate itself when findsRate is set;
//   * a driver (DriverFacts, demod_profiles.h): the driver's tolerance, the core's software
//     zig-zag (both inversions at every position where the driver cannot invert itself) or the
//     chip's own reach, the driver's lock time and read-back.
#include <linux/dvb/frontend.h>

#include <cstdint>
#include <optional>

#include "device/demod_profiles.h"
#include "device/sim/dish_model.h"

namespace quillox::sim {

// A tune as the core's property cache holds it (kernel units and enums).
struct KernelTune {
    uint32_t system = 0;
    uint32_t frequencyKhz = 0;
    uint32_t symbolRate = 0;  // S/s
    uint32_t fec = 0;         // fe_code_rate
    uint32_t modulation = 0;  // fe_modulation
    uint32_t inversion = INVERSION_AUTO;
    bool oneShot = false;  // FE_TUNE_MODE_ONESHOT: set_frontend once, no zig-zag
};

// A carrier as the demodulator's input has it.
struct InputCarrier {
    double ifMhz = 0;
    double symbolRateKsps = 0;
    bool dvbs2 = false;
    uint32_t modulation = 0;  // fe_modulation
    uint32_t fec = 0;         // fe_code_rate, FEC_AUTO when unknown
    double cnDb = 0;          // as it reaches the demodulator
    double requiredCnDb = 0;  // quasi-error-free threshold
};

// How a lock comes about, when it does.
struct LockPlan {
    double offsetMhz = 0;        // carrier minus tuned IF
    double captureFraction = 0;  // |offset| / capture half-width (default card), else 0
    double zigzagMhz = 0;        // where the core's zig-zag stood when the chip found it
    double lockMs = 0;           // from the tune to FE_HAS_LOCK
};

class Demodulator {
public:
    // The default card.
    Demodulator(const DishModelParameters& model, bool findsRate);
    // A driver: its facts, and how far below the error-free C/N its lock still holds. tune:
    // the acquisition facts for every rate instead of the driver's own (lock time doubled below
    // 5 MS/s), for a test's driver described by a few figures.
    Demodulator(const DriverFacts& driver, double lockBelowQefDb,
                std::optional<TuneFacts> tune = std::nullopt);

    bool isDriver() const { return driver_.has_value(); }
    TuneFacts FactsAt(uint32_t symbolRate) const;  // a driver's

    // dvb_frontend_check_parameters and the driver's set_frontend: 0 or EINVAL.
    int Takes(const KernelTune& tune) const;
    // When the carrier locks after the tune; nullopt: never with this tune.
    std::optional<LockPlan> Acquire(const KernelTune& tune, const InputCarrier& c) const;

    // What get_frontend reports once locked. crystalPpm: the card's master clock error, which a
    // measured rate carries.
    uint32_t ReadFrequencyKhz(const KernelTune& tune, const InputCarrier& c,
                              const LockPlan& a) const;
    uint32_t ReadSymbolRate(const KernelTune& tune, const InputCarrier& c, double crystalPpm) const;
    bool ReadsFec() const;     // the code rate found, else the cache's
    bool FindsSystem() const;  // demodulates DVB-S and S2 whatever the tune asked
    bool ReadsSystem() const;  // the system and modulation found, else the cache's

private:
    bool Demodulates(const KernelTune& tune, const InputCarrier& c) const;
    bool RateLocks(const KernelTune& tune, double carrierKsps) const;

    DishModelParameters model_;
    bool findsRate_ = false;
    std::optional<DriverFacts> driver_;
    std::optional<TuneFacts> tune_;
    double lockBelowQefDb_ = 0;
};

}  // namespace quillox::sim
