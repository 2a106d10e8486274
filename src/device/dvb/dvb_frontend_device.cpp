#include "device/dvb/dvb_frontend_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "device/tuning_codes.h"

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

DvbFrontendDevice::DvbFrontendDevice(std::unique_ptr<FrontendIo> io, const dvb_frontend_info& info,
                                     Clock& clock, DvbDeviceOptions options)
    : io_(std::move(io)),
      info_(info),
      clock_(clock),
      options_(std::move(options)),
      quirks_(QuirksOf(NameOf(info))) {}

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
    lnbKnown_ = false;
    if (int rc = io_->setVoltage(SEC_VOLTAGE_OFF)) return -rc;
    if (int rc = io_->setTone(SEC_TONE_OFF)) return -rc;
    lnb_ = LnbState{};
    lnbKnown_ = true;
    return 0;
}

int DvbFrontendDevice::TunerCommit(int32_t /*value*/) {
    std::lock_guard lock(mutex_);
    // Whatever happens below, the previous tune (and any search) is over: a refused commit must
    // not leave the old lock visible to the readings.
    state_ = TuneState::Idle;
    readings_ = {};
    const Request req = staged_;
    const bool lnbOn = req.polarity != polarity::kOff;

    Tune tune;
    tune.frequencyMhz = req.frequencyMhz;
    tune.lofMhz = req.lofMhz;
    tune.symbolRateKsps = req.symbolRateKsps;
    tune.fec = req.fec;
    if (lnbOn) {
        uint32_t minKhz = std::max<uint32_t>(kIfMinMhz * 1000u, info_.frequency_min);
        uint32_t maxKhz = std::min<uint32_t>(kIfMaxMhz * 1000u, info_.frequency_max);
        auto plan = PlanIf(req.frequencyMhz, req.lofMhz, minKhz, maxKhz);
        if (!plan) return -ERANGE;  // before any ioctl: the LNB is left as it was
        tune.plan = *plan;
    }

    // Only 22 kHz exists in the API; 33/44 kHz go out as "no tone" and the commit says so.
    LnbState target;
    target.polarity = req.polarity;
    target.toneOn = lnbOn && req.tone == tone::k22kHz;
    target.diseqc = lnbOn ? req.diseqc : diseqc::kNone;
    if (!lnbKnown_ || target != lnb_) {
        if (int rc = ApplyLnb(target)) return -rc;
    }
    tune_ = tune;
    if (!lnbOn) {
        state_ = TuneState::LnbOff;
        return 0;
    }
    int rc = req.symbolRateKsps == 0 ? StartSearch() : SendTune(req.symbolRateKsps * 1000u);
    if (rc) return -rc;
    if (state_ == TuneState::Idle) state_ = TuneState::Tuned;
    const bool toneUnsupported = req.tone == tone::k33kHz || req.tone == tone::k44kHz;
    return toneUnsupported ? -EOPNOTSUPP : 0;
}

int DvbFrontendDevice::ApplyLnb(const LnbState& target) {
    lnbKnown_ = false;  // until the whole sequence went out (a stop may interrupt a guard time)
    const bool on = target.polarity != polarity::kOff;
    if (int rc = io_->setVoltage(VoltageOf(target.polarity))) {
        lnb_ = LnbState{};  // e.g. an ISL6421 overload: the LNB power stays off
        return rc;
    }
    if (int rc = io_->setTone(SEC_TONE_OFF)) return rc;
    if (on && target.diseqc != diseqc::kNone) {
        clock_.Sleep(options_.guardMs);
        if (auto cmd = CommittedSwitchCommand(
                target.diseqc, target.polarity == polarity::kHorizontal, target.toneOn)) {
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

int DvbFrontendDevice::SendTune(uint32_t symbolRate) {
    if (symbolRate < info_.symbol_rate_min || symbolRate > info_.symbol_rate_max) return EINVAL;
    dtv_property props[] = {
        Prop(DTV_CLEAR),
        Prop(DTV_DELIVERY_SYSTEM, SYS_DVBS),
        Prop(DTV_FREQUENCY, tune_.plan.ifKhz),
        Prop(DTV_SYMBOL_RATE, symbolRate),
        Prop(DTV_INNER_FEC, *KernelFecOf(tune_.fec)),
        Prop(DTV_INVERSION, INVERSION_AUTO),
        Prop(DTV_TUNE),
    };
    return io_->setProps(props);
}

int32_t DvbFrontendDevice::SearchTimeoutMs(int32_t ksps) const {
    return ksps >= 5000 ? options_.searchTimeoutMs : options_.searchLowRateTimeoutMs;
}

int DvbFrontendDevice::StartSearch() {
    tune_.candidates.clear();
    for (int32_t ksps : options_.searchRatesKsps) {
        uint32_t sps = static_cast<uint32_t>(ksps) * 1000u;
        if (ksps > 0 && sps >= info_.symbol_rate_min && sps <= info_.symbol_rate_max)
            tune_.candidates.push_back(ksps);
    }
    if (tune_.candidates.empty()) return EINVAL;
    tune_.candidate = 0;
    if (int rc = SendTune(tune_.candidates[0] * 1000u)) return rc;
    tune_.deadlineMs = clock_.MonotonicMs() + SearchTimeoutMs(tune_.candidates[0]);
    state_ = TuneState::Searching;
    return 0;
}

void DvbFrontendDevice::AdvanceSearch() {
    while (++tune_.candidate < tune_.candidates.size()) {
        int32_t ksps = tune_.candidates[tune_.candidate];
        if (SendTune(ksps * 1000u) == 0) {
            tune_.deadlineMs = clock_.MonotonicMs() + SearchTimeoutMs(ksps);
            return;
        }
    }
    state_ = TuneState::SearchFailed;
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
    if (status & FE_REINIT) lnbKnown_ = false;  // the kernel re-initialised: resend LNB control
    bool locked = (status & FE_HAS_LOCK) && state_ != TuneState::SearchFailed;
    if (state_ == TuneState::Searching) {
        if (locked) {
            tune_.symbolRateKsps = tune_.candidates[tune_.candidate];
            state_ = TuneState::Tuned;
        } else if (clock_.MonotonicMs() >= tune_.deadlineMs) {
            AdvanceSearch();
        }
    }
    ReadBack(locked);
    return 0;
}

void DvbFrontendDevice::ReadBack(bool locked) {
    Readings r;
    r.locked = locked;
    std::vector<dtv_property> props;
    if (!noV5Stats_) {
        props.push_back(Prop(DTV_STAT_CNR));
        props.push_back(Prop(DTV_STAT_SIGNAL_STRENGTH));
    }
    if (locked) {
        props.push_back(Prop(DTV_FREQUENCY));
        props.push_back(Prop(DTV_SYMBOL_RATE));
        props.push_back(Prop(DTV_INNER_FEC));
    }
    RawStats raw;
    if (!props.empty() && io_->getProps(props) == 0) {
        size_t next = 0;
        if (!noV5Stats_) {
            if (props[0].u.st.len == 0 && props[1].u.st.len == 0) noV5Stats_ = true;
            ParseStat(props[0], raw.cnrMilliDb, raw.cnrRelative);
            ParseStat(props[1], raw.strengthMilliDbm, raw.strengthRelative);
            next = 2;
        }
        if (locked) {
            r.ifKhz = uint32_t{props[next].u.data};
            r.symbolRate = uint32_t{props[next + 1].u.data};
            r.fecRate = uint32_t{props[next + 2].u.data};
        }
    }
    // Legacy ioctls for what DVBv5 did not give. 524: never there; EAGAIN: not yet.
    auto legacy = [](int rc, bool& never, auto value, auto& into) {
        if (rc == 0) into = value;
        if (rc == kErrNotSupported) never = true;
    };
    if (!raw.cnrMilliDb && !raw.cnrRelative && !noSnr_) {
        uint16_t v = 0;
        int rc = io_->readSnr(v);
        legacy(rc, noSnr_, v, raw.legacySnr);
    }
    if (!raw.strengthMilliDbm && !raw.strengthRelative && !noStrength_) {
        uint16_t v = 0;
        int rc = io_->readStrength(v);
        legacy(rc, noStrength_, v, raw.legacyStrength);
    }
    if (locked && !noBer_) {
        uint32_t v = 0;
        int rc = io_->readBer(v);
        legacy(rc, noBer_, v, raw.ber);
    }
    r.figures = DeriveFigures(raw, quirks_, locked);
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
    if (!readings_.fecRate) {
        fecCode = tune_.fec;
        return 0;
    }
    auto code = FecCodeOfKernel(*readings_.fecRate);
    if (!code) return -ENODATA;  // a rate the program has no code for: leave the caller's value
    fecCode = *code;
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
    return NameOf(info_);
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
    return state_ == TuneState::Searching;
}

}  // namespace quillox::dvb
