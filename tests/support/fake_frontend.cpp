#include "support/fake_frontend.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/dvb/dvb_open.h"
#include "device/sim/dish_model.h"

namespace quillox::dvb {
namespace {

// How far from the tuned frequency a carrier's energy shows (FE_HAS_SIGNAL) beyond its half width.
constexpr int64_t kEnergyReachKhz = 5000;

constexpr uint32_t kSatCaps = FE_CAN_QPSK | FE_CAN_FEC_1_2 | FE_CAN_FEC_2_3 | FE_CAN_FEC_3_4 |
                              FE_CAN_FEC_5_6 | FE_CAN_FEC_7_8 | FE_CAN_FEC_AUTO |
                              FE_CAN_INVERSION_AUTO;

// The demodulator of a profile: its family's driver, or the few figures it gives.
sim::Demodulator DemodulatorOf(const DriverProfile& p) {
    if (p.family) return sim::Demodulator(DemodProfileOf(*p.family).driver, 0);
    DriverFacts d;
    for (uint8_t system : p.delsys) {
        if (system == SYS_DVBS) d.systems |= kSysDvbS;
        if (system == SYS_DVBS2) d.systems |= kSysDvbS2;
    }
    d.rateMin = p.rateMin, d.rateMax = p.rateMax;
    d.rateTolerancePpm = 2000;
    d.acquisition =
        p.s2 == S2Support::Detects ? Acquisition::CustomSearch : Acquisition::HardwareTune;
    d.invertsItself = true;
    d.readFec = true;
    d.readSystem = p.s2 == S2Support::Detects;
    return sim::Demodulator(d, 0, TuneFacts{.chipReachKhz = p.captureKhz, .lockMs = p.lockMs});
}

DriverProfile MakeStv0299() {
    DriverProfile p;
    p.name = "ST STV0299 DVB-S";
    p.caps = kSatCaps;
    p.family = DemodFamily::Stv0299;
    p.unlockedFec = FEC_AUTO;
    p.snr = RawLevels{0x1000, 0x4000, 0xC000};
    p.strength = RawLevels{0x2000, 0x8000, 0xA000};
    p.berLocked = 12;
    return p;
}

DriverProfile MakeMt312() {
    DriverProfile p;
    p.name = "Zarlink VP310 DVB-S";  // mt312_attach names the chip it found
    p.caps = kSatCaps | FE_CAN_RECOVER;
    p.rateMin = 703125;
    p.unlockedFec = FEC_AUTO;
    p.family = DemodFamily::Zarlink;
    p.snr = RawLevels{0x1000, 0x5000, 0xB000};
    p.strength = RawLevels{0x0400, 0x1800, 0x3000};  // raw 14-bit AGC
    p.berLocked = 64 * 3;
    p.burstAfterCommand = true;
    return p;
}

DriverProfile MakeCx24123() {
    DriverProfile p;
    p.name = "Conexant CX24123/CX24109";
    p.caps = kSatCaps | FE_CAN_RECOVER;
    p.unlockedFec = FEC_NONE;
    p.family = DemodFamily::Cx24123;
    p.snr = RawLevels{0xFF00, 0xFFA0, 0xFFF0};       // 65535 - raw Es/N0 count
    p.strength = RawLevels{0x3000, 0x7000, 0x9900};  // AGC byte x 256
    p.berLocked = 40;
    p.isl6421 = true;
    return p;
}

DriverProfile MakeS5h1420() {
    DriverProfile p;
    p.name = "Samsung S5H1420/PnpNetwork PN1010 DVB-S";
    p.caps = kSatCaps;
    p.family = DemodFamily::S5h1420;
    p.unlockedFec = FEC_NONE;
    p.snr = std::nullopt;                            // not implemented by the driver
    p.strength = RawLevels{0x2020, 0x6060, 0x8080};  // 8-bit value x 257
    p.berLocked = 7;
    p.isl6421 = true;
    return p;
}

DriverProfile MakeV5() {
    DriverProfile p;
    p.name = "Test DVB-S with DVBv5 statistics";
    p.delsys = {SYS_DVBS, SYS_DVBS2};
    p.caps = kSatCaps;
    p.captureKhz = 2000;
    p.lockMs = 100;
    p.v5Stats = true;
    return p;
}

DriverProfile MakeStv0910() {
    DriverProfile p;
    p.name = "ST STV0910";
    p.delsys = {SYS_DVBS, SYS_DVBS2, SYS_DSS};
    p.caps = kSatCaps | FE_CAN_2G_MODULATION;
    p.captureKhz = 5000;
    p.lockMs = 250;
    p.v5Stats = true;
    p.v5CnrLockedOnly = true;
    p.s2 = S2Support::Detects;
    return p;
}

DriverProfile MakeStv090x() {
    DriverProfile p;
    p.name = "STV090x Multistandard";
    p.delsys = {SYS_DVBS, SYS_DVBS2, SYS_DSS};
    p.caps = kSatCaps | FE_CAN_2G_MODULATION;
    p.family = DemodFamily::Stv090x;
    p.s2 = S2Support::Detects;
    p.snr = RawLevels{0, 0, 0x9000};  // stv090x_read_cnr: only with LOCK_DEFINITIF
    p.strength = RawLevels{0x3000, 0x6000, 0x8000};
    return p;
}

DriverProfile MakeTda10071() {
    DriverProfile p;
    p.name = "NXP TDA10071";
    p.delsys = {SYS_DVBS, SYS_DVBS2};
    p.caps = kSatCaps | FE_CAN_2G_MODULATION;
    p.captureKhz = 4000;
    p.lockMs = 300;
    p.v5Stats = true;
    p.v5CnrLockedOnly = true;
    p.s2 = S2Support::NeedsSystem;
    p.explicitS2Rolloff = true;
    return p;
}

DriverProfile MakeCombined() {
    DriverProfile p;
    p.name = "Test DVB-T/T2/C/S/S2 demodulator";
    p.type = FE_OFDM;
    p.delsys = {SYS_DVBT, SYS_DVBT2, SYS_DVBC_ANNEX_A, SYS_DVBS, SYS_DVBS2};
    p.caps = kSatCaps | FE_CAN_2G_MODULATION;
    p.freqMinKhz = 42000;  // one range for all systems; FE_GET_INFO gives it in Hz on DVB-T
    p.freqMaxKhz = 2150000;
    p.captureKhz = 5000;
    p.lockMs = 300;
    p.v5Stats = true;
    p.s2 = S2Support::NeedsSystem;
    p.explicitDvbs = true;
    return p;
}

DriverProfile MakeDvbt() {
    DriverProfile p;
    p.name = "Test DVB-T";
    p.type = FE_OFDM;
    p.delsys = {SYS_DVBT};
    p.freqMinKhz = 174000;
    p.freqMaxKhz = 862000;
    return p;
}

std::string Hex(uint8_t b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", b);
    return buf;
}

const char* VoltageText(fe_sec_voltage v) {
    return v == SEC_VOLTAGE_13 ? "13" : v == SEC_VOLTAGE_18 ? "18" : "off";
}

std::string PropText(const dtv_property& p) {
    switch (p.cmd) {
        case DTV_CLEAR:
            return "CLEAR";
        case DTV_TUNE:
            return "TUNE";
        case DTV_DELIVERY_SYSTEM:
            return "DELSYS=" + std::to_string(p.u.data);
        case DTV_FREQUENCY:
            return "FREQUENCY=" + std::to_string(p.u.data);
        case DTV_SYMBOL_RATE:
            return "SYMBOL_RATE=" + std::to_string(p.u.data);
        case DTV_INNER_FEC:
            return "INNER_FEC=" + std::to_string(p.u.data);
        case DTV_INVERSION:
            return "INVERSION=" + std::to_string(p.u.data);
        case DTV_MODULATION:
            return "MODULATION=" + std::to_string(p.u.data);
        case DTV_ROLLOFF:
            return "ROLLOFF=" + std::to_string(p.u.data);
        case DTV_PILOT:
            return "PILOT=" + std::to_string(p.u.data);
        case DTV_STAT_CNR:
            return "STAT_CNR";
        case DTV_STAT_SIGNAL_STRENGTH:
            return "STAT_STRENGTH";
        case DTV_ENUM_DELSYS:
            return "ENUM_DELSYS";
        default:
            return "CMD" + std::to_string(p.cmd);
    }
}

std::string PropsText(const char* verb, std::span<dtv_property> props) {
    std::string text = verb;
    for (const auto& p : props) text += " " + PropText(p);
    return text;
}

}  // namespace

const DriverProfile& Stv0299Profile() {
    static const DriverProfile p = MakeStv0299();
    return p;
}
const DriverProfile& Mt312Profile() {
    static const DriverProfile p = MakeMt312();
    return p;
}
const DriverProfile& Cx24123Profile() {
    static const DriverProfile p = MakeCx24123();
    return p;
}
const DriverProfile& S5h1420Profile() {
    static const DriverProfile p = MakeS5h1420();
    return p;
}
const DriverProfile& V5StatsProfile() {
    static const DriverProfile p = MakeV5();
    return p;
}
const DriverProfile& DvbtProfile() {
    static const DriverProfile p = MakeDvbt();
    return p;
}
const DriverProfile& Stv0910Profile() {
    static const DriverProfile p = MakeStv0910();
    return p;
}
const DriverProfile& Stv090xProfile() {
    static const DriverProfile p = MakeStv090x();
    return p;
}
const DriverProfile& Tda10071Profile() {
    static const DriverProfile p = MakeTda10071();
    return p;
}
const DriverProfile& CombinedProfile() {
    static const DriverProfile p = MakeCombined();
    return p;
}

std::vector<const DriverProfile*> Dvbs2Profiles() {
    return {&Stv0910Profile(), &Tda10071Profile(), &CombinedProfile()};
}

std::vector<const DriverProfile*> LegacyProfiles() {
    return {&Stv0299Profile(), &Mt312Profile(), &Cx24123Profile(), &S5h1420Profile()};
}

// One file descriptor on a fake: read-only or read-write, as the kernel tells them apart.
class FakeFrontendIo : public FrontendIo {
public:
    explicit FakeFrontendIo(std::function<FakeFrontend*(const std::string&)> resolve)
        : resolve_(std::move(resolve)) {}
    ~FakeFrontendIo() override { close(); }

    int open(const std::string& path, bool readWrite) override {
        FakeFrontend* fake = resolve_(path);
        if (!fake) return ENOENT;
        fake->Log(std::string("open ") + (readWrite ? "rw" : "ro"));
        if (int err = fake->Injected("open")) return err;
        if (readWrite && fake->rwOpen_) return EBUSY;
        if (readWrite) fake->rwOpen_ = true;
        fe_ = fake;
        rw_ = readWrite;
        return 0;
    }

    void close() override {
        if (!fe_) return;
        fe_->Log("close");
        if (rw_) {
            // dvb_powerdown_on_sleep: the last writer gone, LNB power goes off.
            fe_->rwOpen_ = false;
            fe_->voltage_ = SEC_VOLTAGE_OFF;
            fe_->toneOn_ = false;
            fe_->tuned_.reset();
        }
        fe_ = nullptr;
    }

    int getInfo(dvb_frontend_info& info) override {
        if (int err = Enter("info", false)) return err;
        const DriverProfile& p = fe_->profile_;
        info = dvb_frontend_info{};
        std::strncpy(info.name, p.name.c_str(), sizeof info.name - 1);
        info.type = p.type;
        info.frequency_min = fe_->reportedLimits_ ? fe_->reportedLimits_->first : p.freqMinKhz;
        info.frequency_max = fe_->reportedLimits_ ? fe_->reportedLimits_->second : p.freqMaxKhz;
        info.frequency_stepsize = 125;
        // The core reports kHz only while the cache is on a satellite system, Hz otherwise.
        const uint32_t system = fe_->cache_.delsys;
        if (system != SYS_DVBS && system != SYS_DVBS2) {
            info.frequency_min *= 1000;
            info.frequency_max *= 1000;
            info.frequency_stepsize *= 1000;
        }
        info.symbol_rate_min = p.rateMin;
        info.symbol_rate_max = p.rateMax;
        info.caps = static_cast<fe_caps>(p.caps);
        return 0;
    }

    int setProps(std::span<dtv_property> props) override {
        if (!fe_) return EBADF;
        fe_->Log(PropsText("props", props));
        if (int err = fe_->Injected("props")) return err;
        if (!rw_) return EPERM;
        if (props.empty() || props.size() > DTV_IOCTL_MAX_MSGS) return EINVAL;
        for (const auto& p : props) {  // in order; earlier entries stay applied
            if (int err = fe_->ApplyProp(p)) return err;
        }
        return 0;
    }

    int getProps(std::span<dtv_property> props) override {
        if (!fe_) return EBADF;
        fe_->Log(PropsText("get", props));
        if (int err = fe_->Injected("get")) return err;
        if (props.empty() || props.size() > DTV_IOCTL_MAX_MSGS) return EINVAL;
        for (auto& p : props) fe_->FillProp(p);
        return 0;
    }

    int setVoltage(fe_sec_voltage voltage) override {
        if (int err = Enter(std::string("voltage ") + VoltageText(voltage), true)) return err;
        if (fe_->overload_ && voltage != SEC_VOLTAGE_OFF) {
            fe_->clock_.Sleep(1000);  // the ISL6421 driver gives up after about a second
            fe_->voltage_ = SEC_VOLTAGE_OFF;
            return EINVAL;
        }
        fe_->voltage_ = voltage;
        return 0;
    }

    int setTone(fe_sec_tone_mode tone) override {
        if (int err = Enter(tone == SEC_TONE_ON ? "tone on" : "tone off", true)) return err;
        fe_->toneOn_ = tone == SEC_TONE_ON;
        return 0;
    }

    int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) override {
        std::string text = "diseqc";
        uint8_t len = std::min<uint8_t>(cmd.msg_len, 6);
        for (uint8_t i = 0; i < len; ++i) text += " " + Hex(cmd.msg[i]);
        if (int err = Enter(text, true)) return err;
        if (cmd.msg_len < 3 || cmd.msg_len > 6) return EINVAL;
        fe_->lastDiseqc_.assign(cmd.msg, cmd.msg + cmd.msg_len);
        fe_->lastDiseqc_[0] &= ~0x01;  // a repeat (E1) is the same command to the switch
        fe_->lastBurst_.reset();
        if (fe_->profile_.burstAfterCommand) {
            fe_->lastBurst_ = SEC_MINI_A;
            fe_->toneOn_ = false;
        }
        return 0;
    }

    int sendBurst(fe_sec_mini_cmd burst) override {
        if (int err = Enter(burst == SEC_MINI_A ? "burst A" : "burst B", true)) return err;
        fe_->lastBurst_ = burst;
        return 0;
    }

    int setTuneMode(uint32_t flags) override {
        const bool oneShot = (flags & FE_TUNE_MODE_ONESHOT) != 0;
        if (int err = Enter(oneShot ? "tune-mode oneshot" : "tune-mode normal", true)) return err;
        fe_->oneShot_ = oneShot;
        return 0;
    }

    int readStatus(fe_status_t& status) override {
        if (int err = Enter("status", false)) return err;
        status = fe_->Status();
        return 0;
    }

    int readSnr(uint16_t& snr) override {
        if (int err = Enter("snr", false)) return err;
        if (!fe_->profile_.snr) return kErrNotSupported;
        if (!fe_->tuned_) return EAGAIN;  // no kernel thread before the first tune
        snr = fe_->Level(*fe_->profile_.snr);
        return 0;
    }

    int readStrength(uint16_t& strength) override {
        if (int err = Enter("strength", false)) return err;
        if (!fe_->profile_.strength) return kErrNotSupported;
        if (!fe_->tuned_) return EAGAIN;
        strength = fe_->StrengthLevel(*fe_->profile_.strength);
        return 0;
    }

    int readBer(uint32_t& ber) override {
        if (int err = Enter("ber", false)) return err;
        if (fe_->profile_.v5Stats) return kErrNotSupported;
        if (!fe_->tuned_) return EAGAIN;
        ber = (fe_->Status() & FE_HAS_LOCK) ? fe_->profile_.berLocked : 0xFFFF;
        return 0;
    }

private:
    // Logs the call (its first word names it for FailNext), then the kernel's checks.
    int Enter(const std::string& text, bool writes) {
        if (!fe_) return EBADF;
        fe_->Log(text);
        if (int err = fe_->Injected(text.substr(0, text.find(' ')))) return err;
        if (writes && !rw_) return EPERM;
        return 0;
    }

    std::function<FakeFrontend*(const std::string&)> resolve_;
    FakeFrontend* fe_ = nullptr;
    bool rw_ = false;
};

FakeFrontend::FakeFrontend(const DriverProfile& profile, Clock& clock, std::string path)
    : profile_(profile), demod_(DemodulatorOf(profile)), clock_(clock), path_(std::move(path)) {
    cache_.delsys = profile_.delsys.front();
}

void FakeFrontend::AddTransponder(const FakeTransponder& t) {
    transponders_.push_back(t);
}
void FakeFrontend::DropLock() {
    lockDropped_ = true;
}
void FakeFrontend::SetOverload(bool overload) {
    overload_ = overload;
}

void FakeFrontend::FailNext(const std::string& op, int err, int times) {
    for (int i = 0; i < times; ++i) failures_[op].push_back(err);
}

void FakeFrontend::ReportLimits(uint32_t freqMinKhz, uint32_t freqMaxKhz) {
    reportedLimits_ = std::make_pair(freqMinKhz, freqMaxKhz);
}

std::unique_ptr<FrontendIo> FakeFrontend::NewIo() {
    return std::make_unique<FakeFrontendIo>([this](const std::string& path) {
        return path_.empty() || path == path_ ? this : nullptr;
    });
}

FrontendIoFactory FakeFrontend::Factory() {
    return [this] { return NewIo(); };
}

FrontendIoFactory FakeFrontend::Router(std::vector<FakeFrontend*> fakes) {
    return [fakes] {
        return std::make_unique<FakeFrontendIo>([fakes](const std::string& path) {
            for (FakeFrontend* f : fakes)
                if (f->path_ == path) return f;
            return static_cast<FakeFrontend*>(nullptr);
        });
    };
}

std::vector<std::string> FakeFrontend::Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : log_)
        if (c.text.compare(0, prefix.size(), prefix) == 0) out.push_back(c.text);
    return out;
}

void FakeFrontend::Log(const std::string& text) {
    log_.push_back({clock_.MonotonicMs(), text});
}

int FakeFrontend::Injected(const std::string& op) {
    auto it = failures_.find(op);
    if (it == failures_.end() || it->second.empty()) return 0;
    int err = it->second.front();
    it->second.pop_front();
    return err;
}

int FakeFrontend::ApplyProp(const dtv_property& p) {
    switch (p.cmd) {
        case DTV_CLEAR: {
            // dvb_frontend_clear_cache: QPSK and 0.35 only for the system the cache is on.
            const uint32_t system = cache_.delsys;
            const bool satellite = system == SYS_DVBS || system == SYS_DVBS2;
            cache_ = Cache{};
            cache_.delsys = system;
            cache_.modulation = satellite ? QPSK : QAM_AUTO;
            cache_.rolloff = satellite ? ROLLOFF_35 : ROLLOFF_AUTO;
            return 0;
        }
        case DTV_MODULATION:
            cache_.modulation = p.u.data;
            return 0;
        case DTV_ROLLOFF:
            cache_.rolloff = p.u.data;
            return 0;
        case DTV_PILOT:
            cache_.pilot = p.u.data;
            return 0;
        case DTV_DELIVERY_SYSTEM:
            if (std::find(profile_.delsys.begin(), profile_.delsys.end(), p.u.data) ==
                profile_.delsys.end())
                return EINVAL;
            cache_.delsys = p.u.data;
            return 0;
        case DTV_FREQUENCY:
            cache_.frequency = p.u.data;
            return 0;
        case DTV_SYMBOL_RATE:
            cache_.symbolRate = p.u.data;
            return 0;
        case DTV_INNER_FEC:
            cache_.fec = p.u.data;
            return 0;
        case DTV_INVERSION:
            cache_.inversion = p.u.data;
            return 0;
        case DTV_TUNE:
            return Tune();
        default:
            return EINVAL;
    }
}

int FakeFrontend::Tune() {
    // The core checks the driver's own limits, whatever FE_GET_INFO was made to tell; a limit
    // of 0 is none.
    const auto outside = [](uint32_t value, uint32_t low, uint32_t high) {
        return (low != 0 && value < low) || (high != 0 && value > high);
    };
    if (outside(cache_.frequency, profile_.freqMinKhz, profile_.freqMaxKhz) ||
        outside(cache_.symbolRate, profile_.rateMin, profile_.rateMax))
        return EINVAL;
    tuned_ = cache_;
    tuned_->oneShot = oneShot_;
    refused_ = Refuses(cache_);  // set_frontend runs in the kernel thread: DTV_TUNE still says 0
    tunedAtMs_ = clock_.MonotonicMs();
    lockDropped_ = false;
    ++tunes_;
    return 0;
}

bool FakeFrontend::Refuses(const Cache& c) const {
    if (c.delsys != SYS_DVBS && c.delsys != SYS_DVBS2) return true;
    if (c.delsys == SYS_DVBS)
        return profile_.explicitDvbs && (c.modulation != QPSK || c.rolloff != ROLLOFF_35);
    return profile_.explicitS2Rolloff && c.rolloff == ROLLOFF_AUTO;
}

sim::KernelTune FakeFrontend::TunedAs() const {
    return {tuned_->delsys,     tuned_->frequency, tuned_->symbolRate, tuned_->fec,
            tuned_->modulation, tuned_->inversion, tuned_->oneShot};
}

sim::InputCarrier FakeFrontend::InputOf(const FakeTransponder& t) {
    sim::InputCarrier c;
    c.ifMhz = t.ifKhz / 1000.0;
    c.symbolRateKsps = t.symbolRate / 1000.0;
    c.dvbs2 = t.system == SYS_DVBS2;
    c.modulation = t.modulation;
    c.fec = t.fec;
    c.cnDb = t.cnrMilliDb / 1000.0;
    c.requiredCnDb = -100;  // every carrier here is strong enough
    return c;
}

// The carrier the demodulator locks (needRate), or one whose energy reaches the tuner.
const FakeTransponder* FakeFrontend::Reachable(bool needRate) const {
    if (!tuned_ || voltage_ == SEC_VOLTAGE_OFF) return nullptr;
    for (const auto& t : transponders_) {
        if (t.voltage != voltage_ || t.toneOn != toneOn_) continue;
        if (!t.diseqc.empty() && t.diseqc != lastDiseqc_) continue;
        if (t.burst && t.burst != lastBurst_) continue;
        if (!needRate) {
            const int64_t offset = std::llabs(int64_t{tuned_->frequency} - t.ifKhz);
            if (offset <= kEnergyReachKhz + t.symbolRate / 2000) return &t;
            continue;
        }
        if (!refused_ && demod_.Acquire(TunedAs(), InputOf(t))) return &t;
    }
    return nullptr;
}

fe_status_t FakeFrontend::Status() const {
    if (!tuned_ || lockDropped_ || refused_) return fe_status_t{};
    int64_t since = clock_.MonotonicMs() - tunedAtMs_;
    if (since < 20) return fe_status_t{};  // the tuning thread has not run yet
    if (const FakeTransponder* exact = Reachable(true)) {
        if (static_cast<double>(since) >= demod_.Acquire(TunedAs(), InputOf(*exact))->lockMs)
            return static_cast<fe_status_t>(FE_HAS_SIGNAL | FE_HAS_CARRIER | FE_HAS_VITERBI |
                                            FE_HAS_SYNC | FE_HAS_LOCK);
    }
    if (Reachable(false)) return static_cast<fe_status_t>(FE_HAS_SIGNAL | FE_HAS_CARRIER);
    return fe_status_t{};
}

uint16_t FakeFrontend::Level(const RawLevels& levels) const {
    fe_status_t s = Status();
    if (s & FE_HAS_LOCK) return levels.locked;
    if (s & FE_HAS_SIGNAL) return levels.signal;
    return levels.idle;
}

// Unlocked, the AGC follows the power in the tuned filter: the carriers' spectra over the noise,
// 5 % of full scale per dB (the device's own default scale).
uint16_t FakeFrontend::StrengthLevel(const RawLevels& levels) const {
    if (Status() & FE_HAS_LOCK) return levels.locked;
    const uint32_t full =
        profile_.family ? DemodProfileOf(*profile_.family).driver.strengthFull : 65535;
    const double level = levels.idle + RiseDb() * full * 0.05;
    return static_cast<uint16_t>(std::clamp(level, 0.0, 65535.0));
}

double FakeFrontend::RiseDb() const {
    if (!tuned_ || voltage_ == SEC_VOLTAGE_OFF) return 0;
    const double filterHalfMhz = sim::FilterHalfWidthMhz(tuned_->symbolRate / 1000.0);
    double inBand = 2 * filterHalfMhz;
    for (const auto& t : transponders_) {
        if (t.voltage != voltage_ || t.toneOn != toneOn_) continue;
        if (!t.diseqc.empty() && t.diseqc != lastDiseqc_) continue;
        if (t.burst && t.burst != lastBurst_) continue;
        inBand += sim::InBandPower(t.cnrMilliDb / 1000.0, t.symbolRate / 1000.0, 0.35,
                                   (static_cast<double>(t.ifKhz) - tuned_->frequency) / 1000.0,
                                   filterHalfMhz);
    }
    return 10 * std::log10(inBand / (2 * filterHalfMhz));
}

void FakeFrontend::FillProp(dtv_property& p) const {
    const Cache& c = tuned_ ? *tuned_ : cache_;
    const FakeTransponder* locked = (Status() & FE_HAS_LOCK) ? Reachable(true) : nullptr;
    switch (p.cmd) {
        case DTV_FREQUENCY:
            p.u.data = locked
                           ? demod_.ReadFrequencyKhz(TunedAs(), InputOf(*locked),
                                                     *demod_.Acquire(TunedAs(), InputOf(*locked)))
                           : c.frequency;
            break;
        case DTV_SYMBOL_RATE:
            p.u.data =
                locked ? demod_.ReadSymbolRate(TunedAs(), InputOf(*locked), 0) : c.symbolRate;
            break;
        case DTV_INNER_FEC:
            p.u.data = locked && demod_.ReadsFec() ? locked->fec : profile_.unlockedFec;
            break;
        case DTV_DELIVERY_SYSTEM:
            p.u.data = c.delsys;  // no driver rewrites it
            break;
        case DTV_MODULATION:
            p.u.data = locked && demod_.ReadsSystem() ? locked->modulation : c.modulation;
            break;
        case DTV_ENUM_DELSYS:
            p.u.buffer.len = static_cast<uint32_t>(profile_.delsys.size());
            for (size_t i = 0; i < profile_.delsys.size(); ++i)
                p.u.buffer.data[i] = profile_.delsys[i];
            break;
        case DTV_STAT_CNR:
        case DTV_STAT_SIGNAL_STRENGTH: {
            p.u.st.len = 0;
            if (!profile_.v5Stats) break;
            p.u.st.len = 1;
            fe_status_t s = Status();
            int64_t value;
            if (p.cmd == DTV_STAT_CNR) {
                const FakeTransponder* near = Reachable(false);
                value = (s & FE_HAS_LOCK) ? locked->cnrMilliDb : near ? 4500 : 1000;
                if (profile_.v5CnrLockedOnly && !(s & FE_HAS_LOCK)) {
                    p.u.st.stat[0].scale = FE_SCALE_NOT_AVAILABLE;
                    break;
                }
            } else {
                value = (s & FE_HAS_LOCK) ? -40000 : -70000 + std::llround(RiseDb() * 1000);
            }
            p.u.st.stat[0].scale = FE_SCALE_DECIBEL;
            p.u.st.stat[0].svalue = value;
            break;
        }
        default:
            p.result = EINVAL;
            break;
    }
}

DvbRig::DvbRig(const DriverProfile& profile, DvbDeviceOptions options)
    : fake(profile, clock, "/dev/dvb/adapter0/frontend0") {
    auto opened = OpenDvbFrontend(fake.path(), clock, fake.Factory(), std::move(options));
    device.reset(static_cast<DvbFrontendDevice*>(opened.device.release()));
    if (device) device->TunerInitialize();
    fake.ClearLog();
}

int DvbRig::Tune(int32_t mhz, int32_t lofMhz, int32_t polarity, int32_t ksps, int32_t fec,
                 int32_t tone, int32_t diseqc) {
    device->TunerSetFrequency(mhz);
    device->TunerSetLnbFrequency(lofMhz);
    device->TunerSetPolarity(polarity);
    device->TunerSetSymbolRate(ksps);
    device->TunerSetFec(fec);
    device->TunerSetLnbSelection(tone);
    device->TunerSetDiseqc(diseqc);
    return device->TunerCommit(1);
}

bool DvbRig::WaitForLock(int32_t maxMs) {
    for (int32_t waited = 0; waited <= maxMs; waited += 50) {
        device->TunerRefreshStatus();
        if (Quality() > 0) return true;
        clock.Advance(50);
    }
    return false;
}

int32_t DvbRig::Quality() {
    int32_t q = -1;
    device->TunerGetSignalQuality(q);
    return q;
}

}  // namespace quillox::dvb
