#include "device/sim/simulated_frontend.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <utility>

#include "base/seeded_hash.h"
#include "base/tuning_code_values.h"
#include "device/dvb/lnb_plan.h"

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
    // The tables accept only the names FamilyNamed knows.
    card.family = FamilyNamed(scenario.sky.card);
    card.findsRate = scenario.sky.rateSearch == SkyImpairments::RateSearch::Ideal && !card.family;
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
        return std::string(HasS2(d.systems) ? "DVB-S2" : "DVB-S") + " card, " + d.name + " driver";
    }
    const std::string kind = card.model.dvbs2 ? "DVB-S2 card" : "DVB-S card";
    return kind + (card.findsRate ? " that finds symbol rates" : ", rates tried by the device");
}

SimulatedFrontend::SimulatedFrontend(Scenario scenario, Clock& clock, uint32_t seed,
                                     SimulatedCard card)
    : scenario_(std::move(scenario)),
      card_(std::move(card)),
      demod_(card_.family ? Demodulator(DemodProfileOf(*card_.family).driver,
                                        DemodProfileOf(*card_.family).lockBelowQefDb)
                          : Demodulator(card_.model, card_.findsRate)),
      path_(scenario_, card_.model),
      clock_(clock),
      seed_(seed),
      sky_(scenario_.sky, seed) {
    ++readingCount_;
}

const DriverFacts* SimulatedFrontend::Driver() const {
    return card_.family ? &DemodProfileOf(*card_.family).driver : nullptr;
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
    if (const DriverFacts* driver = Driver()) {
        systems = driver->systems;
        info.info.symbol_rate_min = driver->rateMin;
        info.info.symbol_rate_max = driver->rateMax;
        if (!driver->invertsItself)
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
    if (card_.family) return demod_.FactsAt(static_cast<uint32_t>(widest) * 1000).lockMs;
    return static_cast<int32_t>(AcquisitionMs(model, widest, 0, false));
}

// ---- the kernel's side of the calls ------------------------------------------------------------

int SimulatedFrontend::open(const std::string&, bool readWrite) {
    open_ = true;
    if (readWrite) oneShot_ = false;  // dvb_frontend_open: normal tune mode when opened R/W
    return 0;
}

int SimulatedFrontend::setTuneMode(uint32_t flags) {
    oneShot_ = (flags & FE_TUNE_MODE_ONESHOT) != 0;
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
    // The cache fields the model depends on; roll-off and pilot it does not.
    static constexpr std::pair<uint32_t, uint32_t KernelTune::*> kFields[] = {
        {DTV_DELIVERY_SYSTEM, &KernelTune::system}, {DTV_FREQUENCY, &KernelTune::frequencyKhz},
        {DTV_SYMBOL_RATE, &KernelTune::symbolRate}, {DTV_INNER_FEC, &KernelTune::fec},
        {DTV_MODULATION, &KernelTune::modulation},  {DTV_INVERSION, &KernelTune::inversion}};
    for (const dtv_property& p : props) {
        if (p.cmd == DTV_CLEAR) pending_ = KernelTune{SYS_DVBS, 0, 0, FEC_AUTO, QPSK};
        for (const auto& [cmd, field] : kFields)
            if (p.cmd == cmd) pending_.*field = p.u.data;
        if (p.cmd == DTV_TUNE) {
            if (int rc = Tune()) return rc;
        }
    }
    return 0;
}

// dvb_frontend_check_parameters: the frequency and the rate within the frontend's limits (no
// stock driver takes rate 0); the delivery system one the frontend lists.
int SimulatedFrontend::Tune() {
    const dvb::FrontendInfo info = Info();
    KernelTune c = pending_;
    c.oneShot = oneShot_;
    if (!info.Has(c.system)) return EINVAL;
    if (c.frequencyKhz < info.info.frequency_min || c.frequencyKhz > info.info.frequency_max)
        return EINVAL;
    if (int rc = demod_.Takes(c)) return rc;
    tuned_ = c;
    tunedAtMs_ = clock_.MonotonicMs();
    Measure();
    return 0;
}

void SimulatedFrontend::WaitWhileBusy() {
    // The frontend thread holds the frontend's semaphore inside set_frontend/search: every
    // call waits for it.
    if (!card_.family || !tuned_) return;
    const int32_t blockingMs = demod_.FactsAt(tuned_->symbolRate).blockingMs;
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
    const DriverFacts* driver = Driver();
    if (!driver) return dvb::kErrNotSupported;  // the default card has DVBv5 statistics
    const DriverFacts& d = *driver;
    const bool locked = readings_.lock.carrier != nullptr;
    if (d.snr == Statistic::Missing) return dvb::kErrNotSupported;
    if (d.snr == Statistic::LockedOnly && !locked) return 0;  // left as it was
    if (locked && d.snrMeaningful) {
        snr =
            Relative(readings_.lock.input.cnDb + card_.model.lockedSnrNoiseDb * NoiseAt(kSnrNoise),
                     kRelativeSnrSpanDb);
    } else {  // before lock (or a bogus register): the estimator's floor, nothing more
        snr = Relative((1 + NoiseAt(kSnrNoise)) * kUnlockedSnrFraction, 1.0);
    }
    return 0;
}

int SimulatedFrontend::readStrength(uint16_t& strength) {
    WaitWhileBusy();
    const DriverFacts* driver = Driver();
    if (!driver) return dvb::kErrNotSupported;
    const DriverFacts& d = *driver;
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

int SimulatedFrontend::getProps(std::span<dtv_property> props) {
    WaitWhileBusy();
    const Lock& lock = readings_.lock;
    const bool family = card_.family.has_value();
    // get_frontend runs only while locked; otherwise the cache as it was set.
    const bool readsFec = lock.carrier && demod_.ReadsFec();
    const bool readsSystem = demod_.ReadsSystem();
    const double crystalPpm = kCrystalPpm * SignedUnit(HashOf(seed_, kCrystalChannel));
    const KernelTune cache = tuned_.value_or(pending_);
    for (dtv_property& p : props) {
        std::memset(&p.u, 0, sizeof p.u);
        switch (p.cmd) {
            case DTV_ENUM_DELSYS: {
                const dvb::FrontendInfo info = Info();
                p.u.buffer.len = static_cast<uint32_t>(info.deliverySystems.size());
                for (size_t i = 0; i < info.deliverySystems.size(); ++i)
                    p.u.buffer.data[i] = static_cast<uint8_t>(info.deliverySystems[i]);
                break;
            }
            case DTV_FREQUENCY:
                p.u.data = lock.carrier ? demod_.ReadFrequencyKhz(cache, lock.input, lock.plan)
                                        : cache.frequencyKhz;
                break;
            case DTV_SYMBOL_RATE:
                p.u.data = lock.carrier ? demod_.ReadSymbolRate(cache, lock.input, crystalPpm)
                                        : cache.symbolRate;
                break;
            case DTV_INNER_FEC:
                p.u.data = readsFec ? lock.input.fec : cache.fec;
                break;
            case DTV_DELIVERY_SYSTEM:
                p.u.data =
                    lock.carrier && readsSystem
                        ? uint32_t{lock.carrier->system == DvbSystem::DvbS2 ? SYS_DVBS2 : SYS_DVBS}
                        : cache.system;
                break;
            case DTV_MODULATION:
                p.u.data = lock.carrier && readsSystem ? lock.input.modulation : cache.modulation;
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
    const DishModelParameters& model = card_.model;
    const int32_t stagedKsps = static_cast<int32_t>(tuned_->symbolRate / 1000);
    // The LO's error moves every carrier's IF: down when the LO lies below the carriers.
    const double loOffset = sky_.LoOffsetMhz(tuned.oscillator, nowMs);
    double power = 0;  // what the SNR estimator sees
    const double filterHalfMhz = FilterHalfWidthMhz(
        tuned_->symbolRate == 0 ? model.searchMaxKsps : tuned_->symbolRate / 1000.0);
    double inBand = 2.0 * filterHalfMhz;  // what the AGC sees: the noise, then the carriers
    Lock best;
    const auto closer = [&](const LockPlan& a, const LockPlan& b) {
        return card_.family ? std::abs(a.offsetMhz) < std::abs(b.offsetMhz)
                            : a.captureFraction < b.captureFraction;
    };
    if (tuned.ifInRange) {
        const double reach = tuned.reachMhz + std::abs(loOffset);
        auto first =
            std::lower_bound(tuned.carriers.begin(), tuned.carriers.end(), tuned.ifMhz - reach,
                             [](const IfEntry& e, double value) { return e.ifMhz < value; });
        for (auto it = first; it != tuned.carriers.end(); ++it) {
            if (it->ifMhz - tuned.ifMhz > reach) break;
            const Carrier& c = scenario_.carriers[it->carrier];
            InputCarrier in;
            in.ifMhz = it->ifMhz + (c.freqMhz > tuned.loMhz ? -loOffset : loOffset);
            in.symbolRateKsps = c.symbolRateKsps;
            in.dvbs2 = c.system == DvbSystem::DvbS2;
            in.modulation = KernelModulationOf(c);
            in.fec = KernelFecOf(c);
            in.cnDb = c.cnDb + sky_.CnChangeDb(it->carrier, in.ifMhz, nowMs);
            if (it->crossPolar) in.cnDb -= *sky.xpdDb;
            in.requiredCnDb = c.requiredCnDb;
            power += EstimatorPower(model, in.cnDb, c.symbolRateKsps, stagedKsps,
                                    in.ifMhz - tuned.ifMhz);
            inBand +=
                InBandPower(in.cnDb, c.symbolRateKsps, in.dvbs2 ? kDvbs2RollOff : kDvbsRollOff,
                            in.ifMhz - tuned.ifMhz, filterHalfMhz);
            // The nearest carrier the demodulator can take wins.
            auto plan = demod_.Acquire(*tuned_, in);
            if (plan && (!best.carrier || closer(*plan, best.plan))) best = {&c, in, *plan};
        }
    }
    const double noiseDb = sky_.ReadingNoiseDb(readingCount_);
    const bool locked = best.carrier && static_cast<double>(nowMs - tunedAtMs_) >= best.plan.lockMs;
    const double unlockedSnr = UnlockedSnrDb(model, power);
    if (locked) {
        r.lock = best;
        const double cnRead = best.input.cnDb + noiseDb;
        r.snrDb = cnRead + model.lockedSnrNoiseDb * NoiseAt(kSnrNoise);
        const double rateError = tuned_->symbolRate == 0
                                     ? 0.0
                                     : std::abs(stagedKsps - best.input.symbolRateKsps) /
                                           RateToleranceKsps(model, best.input.symbolRateKsps);
        const auto noiseStep =
            static_cast<int32_t>(std::lround(model.qualityNoise * NoiseAt(kQualityNoise)));
        r.quality = LockedQuality(model, cnRead, best.plan.captureFraction, rateError, noiseStep);
        r.status = static_cast<fe_status_t>(FE_HAS_SIGNAL | FE_HAS_CARRIER | FE_HAS_VITERBI |
                                            FE_HAS_SYNC | FE_HAS_LOCK);
    } else {
        const double snr = unlockedSnr + model.snrNoiseDb * NoiseAt(kSnrNoise) + noiseDb;
        r.snrDb = std::max(0.0, snr);
    }
    // The AGC's reading: its rise over the noise in the filter, the IF slope, reading noise.
    const double riseDb = 10.0 * std::log10(inBand / (2.0 * filterHalfMhz));
    r.levelPercent = model.levelBase +
                     model.levelPerDb * (riseDb + sky_.IfSlopeDb(tuned.ifMhz) + noiseDb) +
                     NoiseAt(kLevelNoise);
    if (!locked && r.levelPercent - model.levelBase >= kSignalLevelPercent)
        r.status = static_cast<fe_status_t>(r.status | FE_HAS_SIGNAL);
    if (!locked && best.carrier) r.status = static_cast<fe_status_t>(r.status | FE_HAS_CARRIER);
    readings_ = r;
}

}  // namespace quillox::sim
