#include "device/sim/simulated_frontend.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "device/dvb/lnb_plan.h"
#include "device/sim/noise.h"
#include "device/tuning_codes.h"

namespace quillox::sim {
namespace {

// Noise channels, so that each reading of one measurement draws its own value.
enum Channel : uint64_t { kSnrNoise = 1, kQualityNoise = 2, kLevelNoise = 3 };
constexpr uint64_t kCrystalChannel = 0xC4;
constexpr double kCrystalPpm = 50;

// The statistics of a driver family before lock: an SNR register with nothing to measure reads
// near its floor, give or take this much of full scale.
constexpr double kUnlockedSnrFraction = 0.05;
// A relative SNR of 0..65535 spans this many dB (the device shows it on the same scale).
constexpr double kRelativeSnrSpanDb = 20;
// FE_HAS_SIGNAL once the AGC sees this much above the empty band (percent of full scale).
constexpr double kSignalLevelPercent = 3;

const uint8_t kDelsysS[] = {SYS_DVBS};
const uint8_t kDelsysS2[] = {SYS_DVBS, SYS_DVBS2};

uint32_t KernelFecOfText(const std::string& text) {
    static const std::map<std::string, uint32_t> rates = {
        {"1/2", FEC_1_2},   {"2/3", FEC_2_3}, {"3/4", FEC_3_4}, {"5/6", FEC_5_6},
        {"7/8", FEC_7_8},   {"3/5", FEC_3_5}, {"4/5", FEC_4_5}, {"8/9", FEC_8_9},
        {"9/10", FEC_9_10}, {"2/5", FEC_2_5}, {"6/7", FEC_6_7}};
    auto it = rates.find(text);
    return it == rates.end() ? uint32_t{FEC_AUTO} : it->second;
}

// The carrier's code rate as the kernel names it: by its code, or by its text for a rate the
// program has no code for (3/5, 9/10 ...).
uint32_t KernelFecOf(const Carrier& c) {
    if (auto rate = dvb::KernelFecOf(c.fecCode); rate && c.fecCode != fec::kAuto) return *rate;
    return c.fecCode == fec::kNoCode ? KernelFecOfText(c.fecText) : uint32_t{FEC_AUTO};
}

uint32_t KernelModulationOf(const Carrier& c) {
    if (c.modulation == "8PSK") return PSK_8;
    if (c.modulation == "16APSK") return APSK_16;
    if (c.modulation == "32APSK") return APSK_32;
    return QPSK;
}

bool HasS2(uint8_t systems) {
    return (systems & kSysDvbS2) != 0;
}

dtv_property& Stat(dtv_property& p, uint8_t scale, int64_t value) {
    p.u.st.len = 1;
    p.u.st.stat[0].scale = scale;
    p.u.st.stat[0].svalue = value;
    return p;
}

}  // namespace

SimulatedCard SimulatedCard::Of(const Scenario& scenario, const DishModelParameters& model) {
    SimulatedCard card;
    card.model = model;
    card.findsRate =
        scenario.sky.rateSearch == SkyImpairments::RateSearch::Ideal && !scenario.sky.readBack;
    card.family = scenario.sky.readBack;
    return card;
}

std::string SimulatedFrontendName(const SimulatedCard& card) {
    if (card.family) return DemodProfileOf(*card.family).driver.frontendName;
    std::string name = card.model.dvbs2 ? "Simulated DVB-S/S2" : "Simulated DVB-S";
    return name + (card.findsRate ? ", finds the symbol rate" : "");
}

std::string SimulatedCardText(const SimulatedCard& card) {
    if (card.family) {
        const DriverFacts& d = DemodProfileOf(*card.family).driver;
        return std::string(HasS2(d.systems) ? "DVB-S2" : "DVB-S") + " card with the " + d.name +
               " driver";
    }
    const std::string kind = card.model.dvbs2 ? "DVB-S2 card" : "DVB-S card";
    return kind + (card.findsRate ? " whose demodulator finds the symbol rate"
                                  : ", the symbol rate searched by the device");
}

SimulatedFrontend::SimulatedFrontend(Scenario scenario, Clock& clock, uint32_t seed,
                                     SimulatedCard card)
    : scenario_(std::move(scenario)),
      card_(std::move(card)),
      path_(scenario_, card_.model),
      clock_(clock),
      seed_(seed),
      sky_(scenario_.sky, seed) {
    ++readingCount_;
}

const DemodProfile* SimulatedFrontend::Family() const {
    return card_.family ? &DemodProfileOf(*card_.family) : nullptr;
}

dvb::FrontendInfo SimulatedFrontend::Info() const {
    dvb::FrontendInfo info;
    const std::string name = SimulatedFrontendName(card_);
    std::strncpy(info.info.name, name.c_str(), sizeof info.info.name - 1);
    info.info.type = FE_QPSK;
    info.info.frequency_min = static_cast<uint32_t>(card_.model.ifMinMhz * 1000);
    info.info.frequency_max = static_cast<uint32_t>(card_.model.ifMaxMhz * 1000);
    info.info.caps = static_cast<fe_caps>(FE_CAN_INVERSION_AUTO | FE_CAN_FEC_AUTO | FE_CAN_QPSK);
    uint8_t systems = card_.model.dvbs2 ? kSysDvbS | kSysDvbS2 : kSysDvbS;
    if (const DemodProfile* family = Family()) {
        systems = family->driver.systems;
        info.info.symbol_rate_min = family->driver.rateMin;
        info.info.symbol_rate_max = family->driver.rateMax;
        if (!family->driver.invertsItself)
            info.info.caps = static_cast<fe_caps>(info.info.caps & ~FE_CAN_INVERSION_AUTO);
    } else {
        info.info.symbol_rate_min = card_.findsRate ? 0 : 1000000;
        info.info.symbol_rate_max = 45000000;
    }
    if (HasS2(systems))
        info.info.caps = static_cast<fe_caps>(info.info.caps | FE_CAN_2G_MODULATION);
    const auto* list = HasS2(systems) ? std::begin(kDelsysS2) : std::begin(kDelsysS);
    const auto* end = HasS2(systems) ? std::end(kDelsysS2) : std::end(kDelsysS);
    info.deliverySystems.assign(list, end);
    return info;
}

void SimulatedFrontend::AssumeLnb(int32_t lofMhz, int32_t downlinkMhz) {
    cFeed_ = lofMhz > downlinkMhz;
}

int32_t SimulatedFrontend::QuickestRateSearchLockMs() const {
    const DishModelParameters& model = card_.model;
    if (card_.findsRate)
        return static_cast<int32_t>(AcquisitionMs(model, model.searchMaxKsps, 0, true));
    const int32_t widest = *std::max_element(SearchRatesKsps().begin(), SearchRatesKsps().end());
    if (const DemodProfile* family = Family())
        return family->driver.at(static_cast<uint32_t>(widest) * 1000).lockMs;
    return static_cast<int32_t>(AcquisitionMs(model, widest, 0, false));
}

// ---- the kernel's side of the calls ------------------------------------------------------------

int SimulatedFrontend::open(const std::string&, bool) {
    open_ = true;
    return 0;
}

void SimulatedFrontend::close() {
    open_ = false;
    voltage_ = SEC_VOLTAGE_OFF;  // the core powers the LNB down on the last close
    toneOn_ = false;
}

int SimulatedFrontend::getInfo(dvb_frontend_info& info) {
    info = Info().info;
    return 0;
}

int SimulatedFrontend::setVoltage(fe_sec_voltage voltage) {
    voltage_ = voltage;
    if (voltage == SEC_VOLTAGE_OFF) switch_ = DiseqcSwitch{};  // unpowered, it forgets its port
    return 0;
}

int SimulatedFrontend::setTone(fe_sec_tone_mode tone) {
    toneOn_ = tone == SEC_TONE_ON;
    return 0;
}

int SimulatedFrontend::sendMasterCmd(const dvb_diseqc_master_cmd& cmd) {
    // A committed switch (DiSEqC 1.0 "write N0": E0/E1 10 38 Fx) hears it only while powered.
    const bool committed = cmd.msg_len >= 4 && (cmd.msg[0] == 0xE0 || cmd.msg[0] == 0xE1) &&
                           cmd.msg[2] == 0x38 && (cmd.msg[3] & 0xF0) == 0xF0;
    if (committed && voltage_ != SEC_VOLTAGE_OFF)
        switch_.Select((cmd.msg[3] & 0x04) ? 1 : 0, (cmd.msg[3] & 0x08) ? 1 : 0);
    return 0;
}

int SimulatedFrontend::sendBurst(fe_sec_mini_cmd burst) {
    if (voltage_ != SEC_VOLTAGE_OFF) switch_.Burst(burst == SEC_MINI_B ? 1 : 0);
    return 0;
}

int SimulatedFrontend::setProps(std::span<dtv_property> props) {
    for (const dtv_property& p : props) {
        switch (p.cmd) {
            case DTV_CLEAR:
                pending_ = Cache{};
                break;
            case DTV_DELIVERY_SYSTEM:
                pending_.system = p.u.data;
                break;
            case DTV_FREQUENCY:
                pending_.frequencyKhz = p.u.data;
                break;
            case DTV_SYMBOL_RATE:
                pending_.symbolRate = p.u.data;
                break;
            case DTV_INNER_FEC:
                pending_.fec = p.u.data;
                break;
            case DTV_MODULATION:
                pending_.modulation = p.u.data;
                break;
            case DTV_INVERSION:
                pending_.inversion = p.u.data;
                break;
            case DTV_TUNE:
                if (int rc = Tune()) return rc;
                break;
            default:
                break;  // roll-off, pilot: the model does not depend on them
        }
    }
    return 0;
}

// dvb_frontend_check_parameters: the frequency and the rate within the frontend's limits (no
// stock driver takes rate 0); the delivery system one the frontend lists.
int SimulatedFrontend::Tune() {
    const dvb::FrontendInfo info = Info();
    const Cache& c = pending_;
    if (!info.Has(c.system)) return EINVAL;
    if (c.frequencyKhz < info.info.frequency_min || c.frequencyKhz > info.info.frequency_max)
        return EINVAL;
    const bool rateZero = c.symbolRate == 0;
    if (rateZero
            ? !card_.findsRate
            : c.symbolRate < info.info.symbol_rate_min || c.symbolRate > info.info.symbol_rate_max)
        return EINVAL;
    tuned_ = c;
    tunedAtMs_ = clock_.MonotonicMs();
    Measure();
    return 0;
}

void SimulatedFrontend::WaitWhileBusy() {
    // The frontend thread holds the frontend's semaphore inside set_frontend/search: every
    // call waits for it.
    const DemodProfile* family = Family();
    if (!family || !tuned_) return;
    const int32_t blockingMs = family->driver.at(tuned_->symbolRate).blockingMs;
    const int64_t busyUntil = tunedAtMs_ + blockingMs;
    const int64_t now = clock_.MonotonicMs();
    if (now < busyUntil) clock_.Sleep(static_cast<int32_t>(busyUntil - now));
}

int SimulatedFrontend::readStatus(fe_status_t& status) {
    WaitWhileBusy();
    Measure();
    status = readings_.status;
    return 0;
}

uint16_t SimulatedFrontend::Relative(double value, double fullScale) const {
    return static_cast<uint16_t>(std::clamp(value / fullScale, 0.0, 1.0) * 65535.0);
}

int SimulatedFrontend::readSnr(uint16_t& snr) {
    WaitWhileBusy();
    const DemodProfile* family = Family();
    if (!family) return dvb::kErrNotSupported;  // the default card has DVBv5 statistics
    const DriverFacts& d = family->driver;
    const bool locked = readings_.lock.carrier != nullptr;
    if (d.snr == Statistic::Missing) return dvb::kErrNotSupported;
    if (d.snr == Statistic::LockedOnly && !locked) return 0;  // left as it was
    if (locked && d.snrMeaningful) {
        snr = Relative(readings_.lock.cnDb + card_.model.lockedSnrNoiseDb * NoiseAt(kSnrNoise),
                       kRelativeSnrSpanDb);
    } else {  // before lock (or a bogus register): the estimator's floor, nothing more
        snr = Relative((1 + NoiseAt(kSnrNoise)) * kUnlockedSnrFraction, 1.0);
    }
    return 0;
}

int SimulatedFrontend::readStrength(uint16_t& strength) {
    WaitWhileBusy();
    const DemodProfile* family = Family();
    if (!family) return dvb::kErrNotSupported;
    const DriverFacts& d = family->driver;
    if (d.strength == Statistic::Missing) return dvb::kErrNotSupported;
    if (d.strength == Statistic::LockedOnly && !readings_.lock.carrier) return 0;
    strength = static_cast<uint16_t>(
        std::lround(std::clamp(readings_.levelPercent, 0.0, 100.0) / 100.0 * d.strengthFull));
    return 0;
}

int SimulatedFrontend::readBer(uint32_t& ber) {
    WaitWhileBusy();
    ber = 0;  // a carrier above its threshold decodes without errors
    return 0;
}

uint32_t SimulatedFrontend::ReadFrequencyKhz() const {
    const Lock& lock = readings_.lock;
    const auto khz = [](double mhz) { return static_cast<uint32_t>(std::llround(mhz * 1000)); };
    const DemodProfile* family = Family();
    if (!family) return khz(lock.ifMhz);
    // The derotator measures the carrier from where the zig-zag left the tuner.
    const double requested = tuned_->frequencyKhz / 1000.0;
    const double derotator = lock.ifMhz - requested - lock.zigzagMhz;
    switch (family->driver.readFrequency) {
        case KernelReadFrequency::Requested:
            return tuned_->frequencyKhz;
        case KernelReadFrequency::RequestedPlusOffset:
            return khz(requested + derotator);
        case KernelReadFrequency::RequestedPlusTwiceOffset:
            return khz(requested + 2 * derotator);
    }
    return tuned_->frequencyKhz;
}

uint32_t SimulatedFrontend::ReadRate() const {
    const Carrier& c = *readings_.lock.carrier;
    const DemodProfile* family = Family();
    if (!family) return static_cast<uint32_t>(std::llround(c.symbolRateKsps * 1000));
    if (family->driver.readRate == ReadBackRate::Requested) return tuned_->symbolRate;
    // stv0299_get_symbolrate: measured against the card's master clock, whose crystal is off by
    // up to +-50 ppm, rounded to 2 kS/s.
    const double ppm = kCrystalPpm * SignedUnit(HashOf(seed_, kCrystalChannel));
    const int64_t sps = std::llround(c.symbolRateKsps * 1000 * (1 + ppm * 1e-6));
    return static_cast<uint32_t>((sps + 1000) / 2000 * 2000);
}

int SimulatedFrontend::getProps(std::span<dtv_property> props) {
    WaitWhileBusy();
    const Lock& lock = readings_.lock;
    const DemodProfile* family = Family();
    // get_frontend runs only while locked; otherwise the cache as it was set.
    const bool readsCarrier = lock.carrier && (!family || family->driver.readFec);
    const bool findsSystem = !family || family->driver.acquisition == Acquisition::CustomSearch;
    for (dtv_property& p : props) {
        std::memset(&p.u, 0, sizeof p.u);
        const Cache cache = tuned_.value_or(pending_);
        switch (p.cmd) {
            case DTV_ENUM_DELSYS: {
                const dvb::FrontendInfo info = Info();
                p.u.buffer.len = static_cast<uint32_t>(info.deliverySystems.size());
                for (size_t i = 0; i < info.deliverySystems.size(); ++i)
                    p.u.buffer.data[i] = static_cast<uint8_t>(info.deliverySystems[i]);
                break;
            }
            case DTV_FREQUENCY:
                p.u.data = lock.carrier ? ReadFrequencyKhz() : cache.frequencyKhz;
                break;
            case DTV_SYMBOL_RATE:
                p.u.data = lock.carrier ? ReadRate() : cache.symbolRate;
                break;
            case DTV_INNER_FEC:
                p.u.data = readsCarrier ? KernelFecOf(*lock.carrier) : cache.fec;
                break;
            case DTV_DELIVERY_SYSTEM:
                p.u.data =
                    lock.carrier && findsSystem
                        ? uint32_t{lock.carrier->system == DvbSystem::DvbS2 ? SYS_DVBS2 : SYS_DVBS}
                        : cache.system;
                break;
            case DTV_MODULATION:
                p.u.data = lock.carrier && findsSystem ? KernelModulationOf(*lock.carrier)
                                                       : cache.modulation;
                break;
            case DTV_STAT_CNR:
                if (!family) Stat(p, FE_SCALE_DECIBEL, std::llround(readings_.snrDb * 1000));
                break;
            case DTV_STAT_SIGNAL_STRENGTH:
                // The default card's strength carries the lock's quality while locked.
                if (!family) {
                    const double percent =
                        lock.carrier ? readings_.quality : readings_.levelPercent;
                    Stat(p, FE_SCALE_RELATIVE,
                         static_cast<int64_t>(
                             std::ceil(std::clamp(percent, 0.0, 100.0) * 65535.0 / 100.0)));
                }
                break;
            default:
                break;
        }
    }
    return 0;
}

// ---- the demodulator ---------------------------------------------------------------------------

double SimulatedFrontend::NoiseAt(uint64_t channel) const {
    return SignedUnit(HashOf(seed_, readingCount_, channel));
}

TunedPath SimulatedFrontend::Path() const {
    LnbInput in;
    in.powered = voltage_ != SEC_VOLTAGE_OFF;
    in.vertical = voltage_ == SEC_VOLTAGE_13;
    in.highBand = toneOn_;
    in.cFeed = cFeed_;
    in.ifMhz = tuned_ ? tuned_->frequencyKhz / 1000.0 : 0;
    return path_.Tune(in, switch_.port());
}

bool SimulatedFrontend::RateLocks(double carrierKsps) const {
    const uint32_t rate = tuned_->symbolRate;
    if (rate == 0)
        return carrierKsps >= card_.model.searchMinKsps && carrierKsps <= card_.model.searchMaxKsps;
    if (const DemodProfile* family = Family()) {
        const double toleranceKsps = carrierKsps * family->driver.rateTolerancePpm * 1e-6;
        return std::abs(rate / 1000.0 - carrierKsps) <= toleranceKsps;
    }
    return RateAccepted(card_.model, static_cast<int32_t>(rate / 1000), carrierKsps);
}

bool SimulatedFrontend::Demodulates(const Carrier& c, double cnDb) const {
    const DemodProfile* family = Family();
    const bool s2Carrier = c.system == DvbSystem::DvbS2;
    if (family) {
        // The chip must know the system: stv090x searches both, the others demodulate what the
        // tune asked for.
        const uint8_t systems = family->driver.systems;
        if (s2Carrier && !HasS2(systems)) return false;
        if (family->driver.acquisition != Acquisition::CustomSearch) {
            const bool askedS2 = tuned_->system == SYS_DVBS2;
            if (askedS2 != s2Carrier) return false;
            if (askedS2 && tuned_->modulation != KernelModulationOf(c)) return false;
        }
    } else if (s2Carrier && !card_.model.dvbs2) {
        return false;  // on a DVB-S card DVB-S2 puts energy on the input, no more
    }
    if (cnDb < c.requiredCnDb - (family ? family->lockBelowQefDb : 0.0)) return false;
    const uint32_t carrierFec = KernelFecOf(c);
    const bool fecMatches =
        tuned_->fec == FEC_AUTO || carrierFec == FEC_AUTO || tuned_->fec == carrierFec;
    return fecMatches && RateLocks(c.symbolRateKsps);
}

// When the carrier at ifMhz locks after the tune, if at all.
std::optional<SimulatedFrontend::Lock> SimulatedFrontend::LockOn(const Carrier& c, double ifMhz,
                                                                 double cnDb) const {
    Lock lock;
    lock.carrier = &c;
    lock.ifMhz = ifMhz;
    lock.offsetMhz = ifMhz - tuned_->frequencyKhz / 1000.0;
    lock.cnDb = cnDb;
    const double distance = std::abs(lock.offsetMhz);
    const bool s2 = c.system == DvbSystem::DvbS2;
    const DemodProfile* family = Family();
    if (!family) {
        lock.captureFraction = distance / CaptureHalfWidthMhz(card_.model, c.symbolRateKsps);
        if (lock.captureFraction > 1.0) return std::nullopt;
        lock.ms = AcquisitionMs(card_.model, c.symbolRateKsps, lock.captureFraction,
                                tuned_->symbolRate == 0, s2);
        return lock;
    }
    const TuneFacts facts = family->driver.at(tuned_->symbolRate);
    const double reachMhz = facts.chipReachKhz / 1000.0;
    const double stepMhz = facts.stepKhz / 1000.0;
    int64_t retunes = 0;  // of the frontend thread before the chip sits close enough
    if (distance > reachMhz) {
        if (family->driver.acquisition != Acquisition::SoftwareZigzag || stepMhz <= 0)
            return std::nullopt;
        // dvb_frontend_swzigzag_autotune: +1, -1, +2, -2 ... steps out to max_drift; without
        // FE_CAN_INVERSION_AUTO each position is tried with both inversions.
        const double k = std::round(distance / stepMhz);
        if (k * stepMhz > facts.maxDriftKhz / 1000.0 || distance - k * stepMhz > reachMhz)
            return std::nullopt;
        const bool plusSide = lock.offsetMhz > 0;
        const auto n = static_cast<int64_t>(k);
        retunes = family->driver.invertsItself ? (plusSide ? 2 * n - 1 : 2 * n)
                                               : (plusSide ? 4 * n - 2 : 4 * n + 1);
        lock.zigzagMhz = plusSide ? k * stepMhz : -k * stepMhz;
    }
    lock.ms = static_cast<double>(retunes * facts.pollMs + facts.lockMs);
    return lock;
}

void SimulatedFrontend::Measure() {
    ++readingCount_;
    Readings r;
    const TunedPath tuned = Path();
    if (!tuned_ || !tuned.input) {  // no tune yet, LNB off or the switch elsewhere: nothing
        readings_ = r;
        return;
    }
    const int64_t nowMs = clock_.MonotonicMs();
    const SkyImpairments& sky = scenario_.sky;
    const int32_t stagedKsps = static_cast<int32_t>(tuned_->symbolRate / 1000);
    // The LO's error moves every carrier's IF: down when the LO lies below the carriers.
    const double loOffset = sky_.LoOffsetMhz(tuned.oscillator, nowMs);
    double power = 0;
    std::optional<Lock> best;
    if (tuned.ifInRange) {
        const double reach = tuned.reachMhz + std::abs(loOffset);
        auto first =
            std::lower_bound(tuned.carriers.begin(), tuned.carriers.end(), tuned.ifMhz - reach,
                             [](const IfEntry& e, double value) { return e.ifMhz < value; });
        for (auto it = first; it != tuned.carriers.end(); ++it) {
            if (it->ifMhz - tuned.ifMhz > reach) break;
            const Carrier& c = scenario_.carriers[it->carrier];
            const double ifMhz = it->ifMhz + (c.freqMhz > tuned.loMhz ? -loOffset : loOffset);
            double cn = c.cnDb + sky_.CnChangeDb(it->carrier, ifMhz, nowMs);
            if (it->crossPolar) cn -= *sky.xpdDb;
            power +=
                EstimatorPower(card_.model, cn, c.symbolRateKsps, stagedKsps, ifMhz - tuned.ifMhz);
            if (!Demodulates(c, cn)) continue;
            auto lock = LockOn(c, ifMhz, cn);
            // The nearest carrier wins; a quicker one only where the chip finds it first.
            if (lock && (!best || std::abs(lock->offsetMhz) < std::abs(best->offsetMhz)))
                best = lock;
        }
    }
    const double noiseDb = sky_.ReadingNoiseDb(readingCount_);
    const bool locked = best && static_cast<double>(nowMs - tunedAtMs_) >= best->ms;
    const double unlockedSnr = UnlockedSnrDb(card_.model, power);
    if (locked) {
        const Lock& lock = *best;
        r.lock = lock;
        const double cnRead = lock.cnDb + noiseDb;
        r.snrDb = cnRead + card_.model.lockedSnrNoiseDb * NoiseAt(kSnrNoise);
        const double rateError =
            tuned_->symbolRate == 0
                ? 0.0
                : std::abs(stagedKsps - lock.carrier->symbolRateKsps) /
                      RateToleranceKsps(card_.model, lock.carrier->symbolRateKsps);
        const auto noiseStep =
            static_cast<int32_t>(std::lround(card_.model.qualityNoise * NoiseAt(kQualityNoise)));
        r.quality = LockedQuality(card_.model, cnRead, lock.captureFraction, rateError, noiseStep);
        r.status = static_cast<fe_status_t>(FE_HAS_SIGNAL | FE_HAS_CARRIER | FE_HAS_VITERBI |
                                            FE_HAS_SYNC | FE_HAS_LOCK);
    } else {
        const double snr = unlockedSnr + card_.model.snrNoiseDb * NoiseAt(kSnrNoise) + noiseDb;
        r.snrDb = std::max(0.0, snr);
    }
    const double above = std::max(0.0, (locked ? r.snrDb : unlockedSnr) - card_.model.snrFloorDb);
    r.levelPercent = card_.model.levelBase + card_.model.levelPerDb * above + NoiseAt(kLevelNoise);
    if (!locked && r.levelPercent - card_.model.levelBase >= kSignalLevelPercent)
        r.status = static_cast<fe_status_t>(r.status | FE_HAS_SIGNAL);
    if (!locked && best) r.status = static_cast<fe_status_t>(r.status | FE_HAS_CARRIER);
    readings_ = r;
}

}  // namespace quillox::sim
