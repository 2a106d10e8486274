#include "device/dvb/dvb_frontend_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/tuning_code_values.h"

namespace quillox::dvb {
namespace {

dtv_property Prop(uint32_t cmd, uint32_t data = 0) {
    dtv_property p{};
    p.cmd = cmd;
    p.u.data = data;
    return p;
}

// One DVBv5 statistic, copied out of the packed struct by value.
void ParseStat(const dtv_property& p, std::optional<int64_t>& decibel,
               std::optional<uint16_t>& relative) {
    if (p.u.st.len == 0) return;
    uint8_t scale = p.u.st.stat[0].scale;
    if (scale == FE_SCALE_DECIBEL) {
        int64_t value = p.u.st.stat[0].svalue;
        decibel = value;
    } else if (scale == FE_SCALE_RELATIVE) {
        uint64_t value = p.u.st.stat[0].uvalue;
        relative = static_cast<uint16_t>(std::min<uint64_t>(value, 0xFFFF));
    }
}

bool ValidCode(int32_t code, int32_t low, int32_t high) {
    return code >= low && code <= high;
}

std::string NameOf(const dvb_frontend_info& info) {
    return std::string(info.name, strnlen(info.name, sizeof info.name));
}

}  // namespace

DvbFrontendDevice::DvbFrontendDevice(std::unique_ptr<FrontendIo> io, const FrontendInfo& frontend,
                                     Clock& clock, DvbDeviceOptions options)
    : io_(std::move(io)),
      frontend_(frontend),
      clock_(clock),
      options_(std::move(options)),
      quirks_(QuirksOf(NameOf(frontend.info))),
      searchOrder_(options_.searchRatesKsps) {}

DvbFrontendDevice::~DvbFrontendDevice() {
    std::lock_guard lock(mutex_);
    // The kernel would power the LNB down on close anyway; say so explicitly.
    io_->setVoltage(SEC_VOLTAGE_OFF);
    io_->close();
}

int DvbFrontendDevice::TunerSetFrequency(int32_t mhz) {
    std::lock_guard lock(mutex_);
    staged_.frequencyMhz = mhz;
    return 0;
}

int DvbFrontendDevice::TunerSetSymbolRate(int32_t ksps) {
    std::lock_guard lock(mutex_);
    if (ksps < 0) return -EINVAL;
    staged_.symbolRateKsps = ksps;
    return 0;
}

int DvbFrontendDevice::TunerSetLnbFrequency(int32_t mhz) {
    std::lock_guard lock(mutex_);
    staged_.lofMhz = mhz;
    return 0;
}

int DvbFrontendDevice::TunerSetFec(int32_t fecCode) {
    std::lock_guard lock(mutex_);
    if (!KernelFecOf(fecCode)) return -EINVAL;
    staged_.fec = fecCode;
    return 0;
}

int DvbFrontendDevice::TunerSetPolarity(int32_t polarityCode) {
    std::lock_guard lock(mutex_);
    if (polarityCode != polarity::kHorizontal && polarityCode != polarity::kVertical &&
        polarityCode != polarity::kOff)
        return -EINVAL;
    staged_.polarity = polarityCode;
    return 0;
}

int DvbFrontendDevice::TunerSetLnbSelection(int32_t toneCode) {
    std::lock_guard lock(mutex_);
    if (!ValidCode(toneCode, tone::kNone, tone::k44kHz)) return -EINVAL;
    staged_.tone = toneCode;
    return 0;
}

int DvbFrontendDevice::TunerSetDiseqc(int32_t diseqcCode) {
    std::lock_guard lock(mutex_);
    if (!ValidCode(diseqcCode, diseqc::kNone, diseqc::kPosBOptB)) return -EINVAL;
    staged_.diseqc = diseqcCode;
    return 0;
}

int DvbFrontendDevice::TunerInitialize() {
    std::lock_guard lock(mutex_);
    // A known state: no LNB power, no tone (SEC_VOLTAGE_13 and SEC_TONE_ON are the zero values).
    state_ = TuneState::Idle;
    readings_ = {};
    snrMedian_.Reset();
    lnbKnown_ = false;
    lnbSupplyOn_ = false;
    if (int rc = io_->setVoltage(SEC_VOLTAGE_OFF)) return -rc;
    if (int rc = io_->setTone(SEC_TONE_OFF)) return -rc;
    lnb_ = LnbState{};
    lnbKnown_ = true;
    return 0;
}

void DvbFrontendDevice::JobStarting() {
    std::lock_guard lock(mutex_);
    lnbKnown_ = false;
}

int DvbFrontendDevice::TunerCommit(int32_t /*value*/) {
    std::lock_guard lock(mutex_);
    // Whatever happens below, the previous tune (and any search) is over: a refused commit must
    // not leave the old lock visible to the readings.
    state_ = TuneState::Idle;
    readings_ = {};
    snrMedian_.Reset();
    const Request req = staged_;
    Committing(req.frequencyMhz, req.lofMhz);
    const bool lnbOn = req.polarity != polarity::kOff;

    Tune tune;
    tune.frequencyMhz = req.frequencyMhz;
    tune.lofMhz = req.lofMhz;
    tune.symbolRateKsps = req.symbolRateKsps;
    tune.fec = req.fec;
    // A limit of 0 is no limit, as the kernel's own range check has it.
    const uint32_t minKhz = std::max<uint32_t>(kIfMinMhz * 1000u, frontend_.info.frequency_min);
    const uint32_t maxKhz =
        frontend_.info.frequency_max == 0
            ? kIfMaxMhz * 1000u
            : std::min<uint32_t>(kIfMaxMhz * 1000u, frontend_.info.frequency_max);
    if (lnbOn) {
        auto plan = PlanIf(req.frequencyMhz, req.lofMhz, minKhz, maxKhz);
        if (!plan) return -ERANGE;  // before any ioctl: the LNB is left as it was
        tune.plan = *plan;
    }

    // Only 22 kHz exists in the API; 33/44 kHz go out as "no tone" and the commit says so.
    LnbState target;
    target.polarity = req.polarity;
    target.toneOn = lnbOn && req.tone == tone::k22kHz;
    target.diseqc = lnbOn ? req.diseqc : diseqc::kNone;
    const bool lnbChanges = !lnbKnown_ || target != lnb_;
    if (lnbChanges) {
        if (int rc = ApplyLnb(target)) return -rc;
    }
    tune_ = tune;
    if (!lnbOn) {
        state_ = TuneState::LnbOff;
        return 0;
    }
    tune_.rateZero = req.symbolRateKsps == 0;
    tune_.search = tune_.rateZero && !quirks_.findsRate &&
                   searchOrder_.KnownRate(SearchPath(), tune_.plan.ifKhz) == 0;
    // Every commit is sent as asked: a search starts afresh where the program is, so the
    // frontend is never left somewhere other than the frequency the readings report.
    if (tune_.search) tune_.searchRates = searchOrder_.For(SearchPath(), tune_.plan.ifKhz);
    tune_.attempts = AttemptsFor(req);
    if (int rc = StartAttempts()) return -rc;
    const bool toneUnsupported = req.tone == tone::k33kHz || req.tone == tone::k44kHz;
    return toneUnsupported ? -EOPNOTSUPP : 0;
}

int DvbFrontendDevice::ApplyLnb(const LnbState& target) {
    lnbKnown_ = false;  // until the whole sequence went out (a stop may interrupt a guard time)
    const bool on = target.polarity != polarity::kOff;
    const bool wasOn = lnbSupplyOn_;
    if (int rc = io_->setVoltage(VoltageOf(target.polarity))) {
        lnb_ = LnbState{};  // e.g. an ISL6421 overload: the LNB power stays off
        lnbSupplyOn_ = false;
        return rc;
    }
    lnbSupplyOn_ = on;
    if (int rc = io_->setTone(SEC_TONE_OFF)) return rc;
    if (on && target.diseqc != diseqc::kNone) {
        // A freshly powered LNB and switch ignore what reaches them before they are up.
        clock_.Sleep(wasOn ? options_.guardMs : std::max(options_.guardMs, options_.lnbPowerUpMs));
        if (auto cmd = CommittedSwitchCommand(
                target.diseqc, target.polarity == polarity::kHorizontal, target.toneOn)) {
            if (int rc = io_->sendMasterCmd(*cmd)) return rc;
            // Once more with repeat framing: a switch that missed the first one (or a cascade
            // behind it) still gets the port.
            clock_.Sleep(options_.guardMs);
            cmd->msg[0] = kDiseqcRepeatFraming;
            if (int rc = io_->sendMasterCmd(*cmd)) return rc;
        } else {
            if (int rc = io_->sendBurst(BurstOf(target.diseqc))) return rc;
        }
        clock_.Sleep(options_.guardMs);
    }
    if (target.toneOn) {
        if (int rc = io_->setTone(SEC_TONE_ON)) return rc;
    }
    lnb_ = target;
    lnbKnown_ = true;
    return 0;
}

bool DvbFrontendDevice::RateWithinLimits(uint32_t symbolRate) const {
    const auto& info = frontend_.info;
    return (info.symbol_rate_min == 0 || symbolRate >= info.symbol_rate_min) &&
           (info.symbol_rate_max == 0 || symbolRate <= info.symbol_rate_max);
}

std::vector<DvbFrontendDevice::Attempt> DvbFrontendDevice::AttemptsFor(const Request& req) const {
    std::vector<Attempt> systems;
    if (frontend_.deliverySystems.empty() || frontend_.Has(SYS_DVBS))
        systems.push_back({0, SYS_DVBS, QPSK});
    // DVB-S2 has no 7/8: whoever asks for it means DVB-S.
    const bool s2 = frontend_.Has(SYS_DVBS2) && req.fec != fec::k7_8;
    if (s2 && quirks_.detectsS2) {
        systems = {{0, SYS_DVBS2, QPSK}};  // one attempt finds either system
    } else if (s2) {
        systems.push_back({0, SYS_DVBS2, QPSK});
        systems.push_back({0, SYS_DVBS2, PSK_8});
    }
    std::vector<int32_t> rates = {req.symbolRateKsps};
    if (req.symbolRateKsps == 0 && !quirks_.findsRate)
        rates = tune_.search
                    ? tune_.searchRates
                    : std::vector<int32_t>{searchOrder_.KnownRate(SearchPath(), tune_.plan.ifKhz)};
    std::vector<Attempt> attempts;
    for (int32_t ksps : rates) {
        const bool searchedByChip = ksps == 0 && quirks_.findsRate;
        if (!searchedByChip &&
            (ksps <= 0 || !RateWithinLimits(static_cast<uint32_t>(ksps) * 1000u)))
            continue;
        for (Attempt a : systems) {
            a.symbolRateKsps = ksps;
            attempts.push_back(a);
        }
    }
    return attempts;
}

// Modulation and roll-off always go out: DTV_CLEAR fills them by the system the frontend was on
// (QAM_AUTO after DVB-T), and cx24116 refuses DVB-S with anything but QPSK and 0.35.
int DvbFrontendDevice::SendTune(const Attempt& a) {
    std::vector<dtv_property> props = {Prop(DTV_CLEAR), Prop(DTV_DELIVERY_SYSTEM, a.system),
                                       Prop(DTV_MODULATION, a.modulation)};
    if (a.system == SYS_DVBS2) {
        props.push_back(Prop(DTV_ROLLOFF, quirks_.explicitS2Rolloff ? ROLLOFF_35 : ROLLOFF_AUTO));
        props.push_back(Prop(DTV_PILOT, PILOT_AUTO));
    } else {
        props.push_back(Prop(DTV_ROLLOFF, ROLLOFF_35));
    }
    props.push_back(Prop(DTV_FREQUENCY, tune_.plan.ifKhz));
    props.push_back(Prop(DTV_SYMBOL_RATE, static_cast<uint32_t>(a.symbolRateKsps) * 1000u));
    props.push_back(Prop(DTV_INNER_FEC, *KernelFecOf(tune_.fec)));
    props.push_back(Prop(DTV_INVERSION, INVERSION_AUTO));
    props.push_back(Prop(DTV_TUNE));
    return io_->setProps(props);
}

int32_t DvbFrontendDevice::TimeoutMs(int32_t ksps) const {
    return options_.lockTimeouts.ForRate(quirks_.family, ksps);
}

int DvbFrontendDevice::StartAttempts() {
    if (tune_.attempts.empty()) return EINVAL;  // no rate the demodulator takes
    tune_.attempt = 0;
    if (int rc = SendTune(tune_.attempts[0])) return rc;
    tune_.deadlineMs = clock_.MonotonicMs() + TimeoutMs(tune_.attempts[0].symbolRateKsps);
    state_ = TuneState::Trying;
    return 0;
}

void DvbFrontendDevice::NextAttempt() {
    const size_t count = tune_.attempts.size();
    if (count == 1 && !tune_.search) return;  // nothing else to try: the one tune stays
    for (size_t tried = 0; tried < count; ++tried) {
        if (++tune_.attempt == count) {
            if (tune_.search) break;  // one pass
            tune_.attempt = 0;
        }
        const Attempt& a = tune_.attempts[tune_.attempt];
        if (SendTune(a) == 0) {
            tune_.deadlineMs = clock_.MonotonicMs() + TimeoutMs(a.symbolRateKsps);
            return;
        }
    }
    state_ = TuneState::Failed;
}

int64_t DvbFrontendDevice::SearchPath() const {
    return RateSearchOrder::PathOf(lnb_.polarity, lnb_.toneOn, tune_.lofMhz);
}

bool DvbFrontendDevice::HaveTune() const {
    return state_ != TuneState::Idle;
}

int DvbFrontendDevice::TunerRefreshStatus() {
    std::lock_guard lock(mutex_);
    if (state_ == TuneState::Idle || state_ == TuneState::LnbOff) {
        readings_ = {};
        return 0;
    }
    fe_status_t status{};
    if (int rc = io_->readStatus(status)) {
        readings_ = {};
        return -rc;
    }
    if (status & FE_REINIT) {  // the kernel re-initialised: resend LNB control, supply unknown
        lnbKnown_ = false;
        lnbSupplyOn_ = false;
    }
    const bool locked = (status & FE_HAS_LOCK) && state_ != TuneState::Failed;
    bool searchLocked = false;
    if (state_ == TuneState::Trying) {
        if (locked) {
            tune_.symbolRateKsps = tune_.attempts[tune_.attempt].symbolRateKsps;
            state_ = TuneState::Locked;
            searchLocked = tune_.rateZero && !quirks_.findsRate;
        } else if (clock_.MonotonicMs() >= tune_.deadlineMs) {
            NextAttempt();
        }
    }
    ReadBack(locked, status);
    // The carrier's place as the demodulator reads it back (the tuned IF where it cannot).
    if (searchLocked)
        searchOrder_.Locked(SearchPath(), tune_.symbolRateKsps,
                            readings_.ifKhz.value_or(tune_.plan.ifKhz));
    return 0;
}

namespace {

bool OnlyInDvbs2(uint32_t rate) {
    switch (rate) {
        case FEC_2_5:
        case FEC_3_5:
        case FEC_4_5:
        case FEC_8_9:
        case FEC_9_10:
            return true;
        default:
            return false;
    }
}

}  // namespace

void DvbFrontendDevice::ReadBack(bool locked, fe_status_t status) {
    Readings r;
    r.locked = locked;
    std::vector<dtv_property> props;
    if (!noV5Stats_) {
        props.push_back(Prop(DTV_STAT_CNR));
        props.push_back(Prop(DTV_STAT_SIGNAL_STRENGTH));
    }
    if (locked) {
        for (uint32_t cmd :
             {DTV_FREQUENCY, DTV_SYMBOL_RATE, DTV_INNER_FEC, DTV_DELIVERY_SYSTEM, DTV_MODULATION})
            props.push_back(Prop(cmd));
    }
    RawStats raw;
    raw.status = status;
    if (!props.empty() && io_->getProps(props) == 0) {
        size_t next = 0;
        if (!noV5Stats_) {
            if (props[0].u.st.len == 0 && props[1].u.st.len == 0) noV5Stats_ = true;
            // A driver with DVBv5 statistics fills its legacy ioctls from them (m88ds3103,
            // tda10071): "not available" there is 0 in the legacy call, not a reading.
            v5Cnr_ = v5Cnr_ || props[0].u.st.len > 0;
            v5Strength_ = v5Strength_ || props[1].u.st.len > 0;
            ParseStat(props[0], raw.cnrMilliDb, raw.cnrRelative);
            ParseStat(props[1], raw.strengthMilliDbm, raw.strengthRelative);
            next = 2;
        }
        if (locked) {
            r.ifKhz = uint32_t{props[next].u.data};
            r.symbolRate = uint32_t{props[next + 1].u.data};
            LockedSignal signal;
            signal.fec = props[next + 2].u.data;
            signal.system = props[next + 3].u.data;
            signal.modulation = props[next + 4].u.data;
            // Demodulators that find DVB-S2 by themselves report its modulation and rate but
            // leave the system as it was asked for.
            if (signal.modulation != QPSK || OnlyInDvbs2(signal.fec)) signal.system = SYS_DVBS2;
            r.signal = signal;
        }
    }
    // Legacy ioctls for what DVBv5 did not give. 524: never there; EAGAIN: not yet.
    auto legacy = [](int rc, bool& never, auto value, auto& into) {
        if (rc == 0) into = value;
        if (rc == kErrNotSupported) never = true;
    };
    if (!raw.cnrMilliDb && !raw.cnrRelative && !noSnr_ && !v5Cnr_) {
        uint16_t v = 0;
        int rc = io_->readSnr(v);
        legacy(rc, noSnr_, v, raw.legacySnr);
    }
    if (!raw.strengthMilliDbm && !raw.strengthRelative && !noStrength_ && !v5Strength_) {
        uint16_t v = 0;
        int rc = io_->readStrength(v);
        legacy(rc, noStrength_, v, raw.legacyStrength);
    }
    if (locked && !noBer_) {
        uint32_t v = 0;
        int rc = io_->readBer(v);
        legacy(rc, noBer_, v, raw.ber);
    }
    r.figures = DeriveFigures(raw, quirks_, locked, quietLevel_);
    if (r.figures.snr) r.figures.snr = snrMedian_.Push(*r.figures.snr, locked);
    if (r.figures.level && (!quietLevel_ || *r.figures.level < *quietLevel_))
        quietLevel_ = r.figures.level;
    r.ber = raw.ber;
    readings_ = r;
}

int DvbFrontendDevice::TunerGetFrequency(int32_t& mhz) {
    std::lock_guard lock(mutex_);
    if (!HaveTune()) return -ENODATA;
    mhz = readings_.ifKhz ? DownlinkMhzOf(*readings_.ifKhz, tune_.lofMhz, tune_.plan.inverted)
                          : tune_.frequencyMhz;
    return 0;
}

int DvbFrontendDevice::TunerGetSymbolRate(int32_t& ksps) {
    std::lock_guard lock(mutex_);
    if (!HaveTune()) return -ENODATA;
    ksps = readings_.symbolRate ? static_cast<int32_t>((*readings_.symbolRate + 500) / 1000)
                                : tune_.symbolRateKsps;
    return 0;
}

int DvbFrontendDevice::TunerGetFec(int32_t& fecCode) {
    std::lock_guard lock(mutex_);
    if (!HaveTune()) return -ENODATA;
    // Unlocked: the request (the drivers' placeholders FEC_NONE or AUTO mean nothing). A rate
    // without a code (DVB-S2 3/5 ...) is reported as such: the transponder line leaves it empty.
    fecCode = readings_.signal ? FecCodeOfKernel(readings_.signal->fec) : tune_.fec;
    return 0;
}

int DvbFrontendDevice::TunerGetSigtre(int32_t& level) {
    std::lock_guard lock(mutex_);
    if (!readings_.figures.level) return -ENODATA;
    level = *readings_.figures.level;
    return 0;
}

int DvbFrontendDevice::TunerGetSnr(float& snr) {
    std::lock_guard lock(mutex_);
    if (!readings_.figures.snr) return -ENODATA;
    snr = *readings_.figures.snr;
    return 0;
}

int DvbFrontendDevice::TunerGetSignalQuality(int32_t& percent) {
    std::lock_guard lock(mutex_);
    percent = readings_.figures.quality;
    return 0;
}

int DvbFrontendDevice::TunerGetPolarity(int32_t& polarityCode) {
    std::lock_guard lock(mutex_);
    polarityCode = lnb_.polarity;
    return 0;
}

int DvbFrontendDevice::TunerGetDiseqc(int32_t& diseqcCode) {
    std::lock_guard lock(mutex_);
    diseqcCode = lnb_.diseqc;
    return 0;
}

int DvbFrontendDevice::TunerGetLnbSelection(int32_t& toneCode) {
    std::lock_guard lock(mutex_);
    toneCode = lnb_.toneOn ? tone::k22kHz : tone::kNone;
    return 0;
}

int DvbFrontendDevice::TunerGetLnbFrequency(int32_t& mhz) {
    std::lock_guard lock(mutex_);
    if (!HaveTune()) return -ENODATA;
    mhz = tune_.lofMhz;
    return 0;
}

std::string DvbFrontendDevice::driverName() const {
    std::lock_guard lock(mutex_);
    return NameOf(frontend_.info);
}

bool DvbFrontendDevice::dvbs2() const {
    std::lock_guard lock(mutex_);
    return frontend_.Has(SYS_DVBS2);
}

DemodFamily DvbFrontendDevice::family() const {
    std::lock_guard lock(mutex_);
    return quirks_.family;
}

std::optional<LockedSignal> DvbFrontendDevice::locked() const {
    std::lock_guard lock(mutex_);
    return readings_.signal;
}

SnrScale DvbFrontendDevice::snrScale() const {
    std::lock_guard lock(mutex_);
    return readings_.figures.snrScale;
}

std::optional<uint32_t> DvbFrontendDevice::ber() const {
    std::lock_guard lock(mutex_);
    return readings_.ber;
}

bool DvbFrontendDevice::searching() const {
    std::lock_guard lock(mutex_);
    return state_ == TuneState::Trying && tune_.search;
}

}  // namespace quillox::dvb
