#include "device/sim/demodulator.h"

#include <linux/dvb/frontend.h>

#include <cerrno>
#include <cmath>

namespace quillox::sim {

Demodulator::Demodulator(const DishModelParameters& model, bool findsRate)
    : model_(model), findsRate_(findsRate) {}

Demodulator::Demodulator(const DriverFacts& driver, double lockBelowQefDb,
                         std::optional<TuneFacts> tune)
    : driver_(driver), tune_(tune), lockBelowQefDb_(lockBelowQefDb) {}

TuneFacts Demodulator::FactsAt(uint32_t symbolRate) const {
    if (!tune_) return driver_->at(symbolRate);
    TuneFacts facts = *tune_;
    if (symbolRate < 5000000) facts.lockMs *= 2;
    return facts;
}

int Demodulator::Takes(const KernelTune& tune) const {
    if (tune.symbolRate == 0) return !driver_ && findsRate_ ? 0 : EINVAL;  // no driver searches
    if (!driver_) return 0;
    // Without the core's zig-zag to pick one, a driver that cannot invert itself refuses AUTO.
    if (tune.oneShot && !driver_->invertsItself && tune.inversion == INVERSION_AUTO) return EINVAL;
    const auto outside = [](uint32_t value, uint32_t low, uint32_t high) {
        return (low != 0 && value < low) || (high != 0 && value > high);
    };
    return outside(tune.symbolRate, driver_->rateMin, driver_->rateMax) ? EINVAL : 0;
}

bool Demodulator::RateLocks(const KernelTune& tune, double carrierKsps) const {
    if (tune.symbolRate == 0)
        return carrierKsps >= model_.searchMinKsps && carrierKsps <= model_.searchMaxKsps;
    if (driver_) {
        const double toleranceKsps = carrierKsps * driver_->rateTolerancePpm * 1e-6;
        return std::abs(tune.symbolRate / 1000.0 - carrierKsps) <= toleranceKsps;
    }
    return RateAccepted(model_, static_cast<int32_t>(tune.symbolRate / 1000), carrierKsps);
}

bool Demodulator::Demodulates(const KernelTune& tune, const InputCarrier& c) const {
    if (driver_) {
        // The chip must be told the system, unless it searches both (stv090x).
        if (c.dvbs2 && !(driver_->systems & kSysDvbS2)) return false;
        if (!FindsSystem()) {
            const bool askedS2 = tune.system == SYS_DVBS2;
            if (askedS2 != c.dvbs2) return false;
            if (askedS2 && tune.modulation != c.modulation) return false;
        }
    } else if (c.dvbs2 && !model_.dvbs2) {
        return false;  // on a DVB-S card DVB-S2 puts energy on the input, no more
    }
    if (c.cnDb < c.requiredCnDb - lockBelowQefDb_) return false;
    const bool fecMatches = tune.fec == FEC_AUTO || c.fec == FEC_AUTO || tune.fec == c.fec;
    return fecMatches && RateLocks(tune, c.symbolRateKsps);
}

std::optional<LockPlan> Demodulator::Acquire(const KernelTune& tune, const InputCarrier& c) const {
    if (Takes(tune) != 0 || !Demodulates(tune, c)) return std::nullopt;
    LockPlan a;
    a.offsetMhz = c.ifMhz - tune.frequencyKhz / 1000.0;
    const double distance = std::abs(a.offsetMhz);
    if (!driver_) {
        a.captureFraction = distance / CaptureHalfWidthMhz(model_, c.symbolRateKsps);
        if (a.captureFraction > 1.0) return std::nullopt;
        a.lockMs = AcquisitionMs(model_, c.symbolRateKsps, a.captureFraction, tune.symbolRate == 0,
                                 c.dvbs2);
        return a;
    }
    const TuneFacts facts = FactsAt(tune.symbolRate);
    const double reachMhz = facts.chipReachKhz / 1000.0;
    const double stepMhz = facts.stepKhz / 1000.0;
    int64_t retunes = 0;  // by the frontend thread before the chip sits close enough
    if (distance > reachMhz) {
        if (driver_->acquisition != Acquisition::SoftwareZigzag || stepMhz <= 0 || tune.oneShot)
            return std::nullopt;
        // dvb_frontend_swzigzag_autotune: +1, -1, +2, -2 ... steps out to max_drift; without
        // FE_CAN_INVERSION_AUTO each position is tried with both inversions.
        const double k = std::round(distance / stepMhz);
        if (k * stepMhz > facts.maxDriftKhz / 1000.0 || distance - k * stepMhz > reachMhz)
            return std::nullopt;
        const bool plusSide = a.offsetMhz > 0;
        const auto n = static_cast<int64_t>(k);
        retunes = driver_->invertsItself ? (plusSide ? 2 * n - 1 : 2 * n)
                                         : (plusSide ? 4 * n - 2 : 4 * n + 1);
        a.zigzagMhz = plusSide ? k * stepMhz : -k * stepMhz;
    }
    a.lockMs = static_cast<double>(retunes * facts.pollMs + facts.lockMs);
    return a;
}

uint32_t Demodulator::ReadFrequencyKhz(const KernelTune& tune, const InputCarrier& c,
                                       const LockPlan& a) const {
    const auto khz = [](double mhz) { return static_cast<uint32_t>(std::llround(mhz * 1000)); };
    if (!driver_) return khz(c.ifMhz);
    // The derotator measures the carrier from where the zig-zag left the tuner; the cache keeps
    // the frequency first asked for.
    const double requested = tune.frequencyKhz / 1000.0;
    const double derotator = c.ifMhz - requested - a.zigzagMhz;
    switch (driver_->readFrequency) {
        case KernelReadFrequency::Requested:
            break;
        case KernelReadFrequency::RequestedPlusOffset:
            return khz(requested + derotator);
        case KernelReadFrequency::RequestedPlusTwiceOffset:
            return khz(requested + 2 * derotator);
    }
    return tune.frequencyKhz;
}

uint32_t Demodulator::ReadSymbolRate(const KernelTune& tune, const InputCarrier& c,
                                     double crystalPpm) const {
    if (!driver_) return static_cast<uint32_t>(std::llround(c.symbolRateKsps * 1000));
    if (driver_->readRate == ReadBackRate::Requested) return tune.symbolRate;
    // stv0299_get_symbolrate: measured against the card's master clock, rounded to 2 kS/s.
    const int64_t sps = std::llround(c.symbolRateKsps * 1000 * (1 + crystalPpm * 1e-6));
    return static_cast<uint32_t>((sps + 1000) / 2000 * 2000);
}

bool Demodulator::ReadsFec() const {
    return !driver_ || driver_->readFec;
}

bool Demodulator::ReadsSystem() const {
    return !driver_ || driver_->readSystem;
}

bool Demodulator::FindsSystem() const {
    return !driver_ || driver_->acquisition == Acquisition::CustomSearch;
}

}  // namespace quillox::sim
