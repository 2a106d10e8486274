#include "device/dvb/dvb_frontend_device.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
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
      searchOrder_(options_.searchRatesKsps),
      survey_(options_.survey) {}

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
    if (state_ == TuneState::Trying) NoteCutShortAttempt();
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
    const auto [minKhz, maxKhz] = IfLimitsKhz();
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
    const bool toneUnsupported = req.tone == tone::k33kHz || req.tone == tone::k44kHz;
    tune_.rateZero = req.symbolRateKsps == 0;
    const bool blind = tune_.rateZero && !quirks_.findsRate &&
                       searchOrder_.KnownRate(SearchPath(), tune_.plan.ifKhz) == 0;
    if (blind && SurveyWorthwhile()) {
        tune_.surveyReachKhz = options_.survey.firstReachKhz;
        state_ = TuneState::Surveying;
        SurveyStep();
        return toneUnsupported ? -EOPNOTSUPP : 0;
    }
    tune_.search = blind;
    // Every commit is sent as asked: a search starts afresh where the program is, so the
    // frontend is never left somewhere other than the frequency the readings report.
    if (tune_.search) PlanCommonRates();
    tune_.attempts = AttemptsFor(req);
    // Inside a carrier the spectrum showed and that locked: its rate at its centre, where no
    // zig-zag is needed. (A carrier the common rates found may be no wider than a point, as on
    // vidtv: that one is tuned where asked.)
    if (tune_.rateZero && !tune_.search && !quirks_.findsRate && lastLockSeenInSpectrum_) {
        const int64_t centre = searchOrder_.KnownCentreKhz(SearchPath(), tune_.plan.ifKhz);
        for (Attempt& a : tune_.attempts) a.ifKhz = static_cast<uint32_t>(centre);
    }
    if (int rc = StartAttempts()) return -rc;
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
int DvbFrontendDevice::SendTune(const Attempt& a, uint32_t inversion) {
    std::vector<dtv_property> props = {Prop(DTV_CLEAR), Prop(DTV_DELIVERY_SYSTEM, a.system),
                                       Prop(DTV_MODULATION, a.modulation)};
    if (a.system == SYS_DVBS2) {
        props.push_back(Prop(DTV_ROLLOFF, quirks_.explicitS2Rolloff ? ROLLOFF_35 : ROLLOFF_AUTO));
        props.push_back(Prop(DTV_PILOT, PILOT_AUTO));
    } else {
        props.push_back(Prop(DTV_ROLLOFF, ROLLOFF_35));
    }
    props.push_back(Prop(DTV_FREQUENCY, a.ifKhz != 0 ? a.ifKhz : tune_.plan.ifKhz));
    props.push_back(Prop(DTV_SYMBOL_RATE, static_cast<uint32_t>(a.symbolRateKsps) * 1000u));
    props.push_back(Prop(DTV_INNER_FEC, *KernelFecOf(tune_.fec)));
    props.push_back(Prop(DTV_INVERSION, inversion));
    props.push_back(Prop(DTV_TUNE));
    return io_->setProps(props);
}

int32_t DvbFrontendDevice::TimeoutMs(int32_t ksps) const {
    return options_.lockTimeouts.ForRate(quirks_.family, ksps);
}

int32_t DvbFrontendDevice::AttemptTimeoutMs(const Attempt& a) const {
    return a.ifKhz != 0 ? CentredTimeoutMs(a.symbolRateKsps) : TimeoutMs(a.symbolRateKsps);
}

int DvbFrontendDevice::StartAttempts() {
    if (tune_.attempts.empty()) return EINVAL;  // no rate the demodulator takes
    tune_.attempt = 0;
    if (int rc = SetTuneMode(0)) return rc;  // the zig-zag back, after a spectrum
    if (int rc = SendTune(tune_.attempts[0])) return rc;
    tune_.deadlineMs = clock_.MonotonicMs() + AttemptTimeoutMs(tune_.attempts[0]);
    state_ = TuneState::Trying;
    return 0;
}

void DvbFrontendDevice::NextAttempt() {
    const size_t count = tune_.attempts.size();
    if (count == 1 && !tune_.search) return;  // nothing else to try: the one tune stays
    NoteFailedRate();
    for (size_t tried = 0; tried < count; ++tried) {
        if (++tune_.attempt == count) {
            if (tune_.search) break;  // one pass
            tune_.attempt = 0;
        }
        const Attempt& a = tune_.attempts[tune_.attempt];
        if (SendTune(a) == 0) {
            tune_.deadlineMs = clock_.MonotonicMs() + AttemptTimeoutMs(a);
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
    if (state_ == TuneState::Surveying) SurveyStep();
    // While the spectrum is read the tuner is elsewhere: its readings describe no tune.
    if (state_ == TuneState::Idle || state_ == TuneState::LnbOff ||
        state_ == TuneState::Surveying) {
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
    if (searchLocked) {
        searchOrder_.Locked(SearchPath(), tune_.symbolRateKsps,
                            readings_.ifKhz.value_or(tune_.plan.ifKhz));
        lastLockSeenInSpectrum_ = tune_.attempts[tune_.attempt].ifKhz != 0;
    }
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
    return state_ == TuneState::Surveying || (state_ == TuneState::Trying && tune_.search);
}

}  // namespace quillox::dvb

// ---- blind acquisition -------------------------------------------------------------------------

namespace quillox::dvb {
namespace {

void OrderFailedLast(std::vector<int32_t>& rates, const std::vector<int32_t>& failed) {
    std::stable_partition(rates.begin(), rates.end(), [&](int32_t r) {
        return std::find(failed.begin(), failed.end(), r) == failed.end();
    });
}

// A spectrum point costs at least one tune: a driver that holds the frontend longer than this
// in every tune (a search, or PLL writes with long waits) would take minutes over a band.
constexpr int32_t kMaxSurveyTuneMs = 100;
// What a tuner's input can plausibly read, in dBm.
constexpr int64_t kLowestDbm = -150, kHighestDbm = 30;

}  // namespace

std::pair<uint32_t, uint32_t> DvbFrontendDevice::IfLimitsKhz() const {
    // A limit of 0 is no limit, as the kernel's own range check has it.
    const uint32_t minKhz = std::max<uint32_t>(kIfMinMhz * 1000u, frontend_.info.frequency_min);
    const uint32_t maxKhz =
        frontend_.info.frequency_max == 0
            ? kIfMaxMhz * 1000u
            : std::min<uint32_t>(kIfMaxMhz * 1000u, frontend_.info.frequency_max);
    return {minKhz, maxKhz};
}

int32_t DvbFrontendDevice::SurveyRateKsps() const {
    // Narrow, so that the filter and the AGC see the power near the point alone.
    return std::max<int32_t>(1000, static_cast<int32_t>(frontend_.info.symbol_rate_min / 1000));
}

bool DvbFrontendDevice::SurveyWorthwhile() const {
    if (noUsableStrength_ || (noStrength_ && (noV5Stats_ || !v5Strength_))) return false;
    const DriverFacts& driver = DemodProfileOf(quirks_.family).driver;
    if (driver.at == nullptr) return true;
    const TuneFacts facts = driver.at(static_cast<uint32_t>(SurveyRateKsps()) * 1000u);
    return driver.acquisition != Acquisition::CustomSearch && facts.blockingMs <= kMaxSurveyTuneMs;
}

uint32_t DvbFrontendDevice::RateTolerancePpm() const {
    if (frontend_.info.symbol_rate_tolerance != 0) return frontend_.info.symbol_rate_tolerance;
    const uint32_t fact = DemodProfileOf(quirks_.family).driver.rateTolerancePpm;
    return fact != 0 ? fact : 500;
}

// Tuned at a carrier's centre as the spectrum shows it, the zig-zag need only cover how far that
// centre may be off: far less than the family's timeout for a tune anywhere in the carrier.
int32_t DvbFrontendDevice::CentredTimeoutMs(int32_t ksps) const {
    const DriverFacts& driver = DemodProfileOf(quirks_.family).driver;
    if (driver.at == nullptr) return TimeoutMs(ksps);
    const TuneFacts facts = driver.at(static_cast<uint32_t>(ksps) * 1000u);
    const double offKhz = CentreUncertaintyKhz(ksps);
    int64_t retunes = 0;
    if (offKhz > facts.chipReachKhz && driver.acquisition == Acquisition::SoftwareZigzag &&
        facts.stepKhz > 0) {
        const auto k = static_cast<int64_t>(std::ceil(offKhz / facts.stepKhz));
        retunes = driver.invertsItself ? 2 * k : 4 * k + 1;
    }
    const int64_t ms = facts.lockMs + (retunes + 1) * int64_t{facts.pollMs};
    return static_cast<int32_t>(std::min<int64_t>(ms, TimeoutMs(ksps)));
}

int DvbFrontendDevice::SetTuneMode(uint32_t flags) {
    if (flags == tuneMode_) return 0;
    if (int rc = io_->setTuneMode(flags)) return rc;
    tuneMode_ = flags;
    return 0;
}

std::optional<double> DvbFrontendDevice::ReadStrengthDb() {
    fe_status_t status{};
    io_->readStatus(status);  // where a driver refreshes its statistics
    if (!noV5Stats_) {
        std::vector<dtv_property> props = {Prop(DTV_STAT_SIGNAL_STRENGTH)};
        if (io_->getProps(props) == 0 && props[0].u.st.len > 0) {
            v5Strength_ = true;
            const uint8_t scale = props[0].u.st.stat[0].scale;
            if (scale == FE_SCALE_DECIBEL) {
                // vidtv fills it from an unset tuner figure away from its carriers: billions of
                // dBm below nothing, no reading.
                const int64_t milliDbm = props[0].u.st.stat[0].svalue;
                if (milliDbm < kLowestDbm * 1000 || milliDbm > kHighestDbm * 1000)
                    return std::nullopt;
                return static_cast<double>(milliDbm) / 1000.0;
            }
            if (scale == FE_SCALE_RELATIVE) {
                const uint64_t value = props[0].u.st.stat[0].uvalue;
                return static_cast<double>(value) / options_.strengthUnitsPerDb;
            }
            return std::nullopt;  // not available now
        }
    }
    if (noStrength_ || v5Strength_) return std::nullopt;
    uint16_t value = 0;
    const int rc = io_->readStrength(value);
    if (rc == kErrNotSupported) noStrength_ = true;
    if (rc != 0) return std::nullopt;
    return static_cast<double>(uint32_t{value} << quirks_.strengthShift) /
           options_.strengthUnitsPerDb;
}

void DvbFrontendDevice::SurveyStep() {
    const int64_t now = clock_.MonotonicMs();
    const int64_t path = SearchPath();
    const int64_t ifKhz = tune_.plan.ifKhz;
    if (tune_.surveyPointKhz) {
        if (now < tune_.surveyReadAtMs) return;  // the AGC is still settling
        const std::optional<double> level = ReadStrengthDb();
        if (!level) {
            noUsableStrength_ = true;
            return FallBackToCommonRates();
        }
        survey_.Record(path, *tune_.surveyPointKhz, *level, now);
        tune_.surveyPointKhz.reset();
    }
    const auto [lowKhz, highKhz] = IfLimitsKhz();
    std::vector<int64_t> missing;
    // The spectrum may grow over points already read: look again until a point is missing.
    while (missing.empty()) {
        const int32_t reach = tune_.surveyReachKhz;
        const SpectrumVerdict verdict =
            survey_.Examine(path, ifKhz, tune_.surveyReachKhz, lowKhz, highKhz, now);
        if (verdict.kind != SpectrumVerdict::Incomplete) return EndSurvey(verdict);
        missing = survey_.Missing(path, ifKhz, tune_.surveyReachKhz, lowKhz, highKhz, now);
        if (missing.empty() && tune_.surveyReachKhz == reach)
            return EndSurvey({SpectrumVerdict::NoCarrier, {}});  // cannot happen: no growth
    }
    // One-shot: the core tunes once, no zig-zag moves the point. stv0299 and mt312 refuse
    // INVERSION_AUTO there; the strength does not depend on it.
    const uint32_t system = frontend_.Has(SYS_DVBS) || frontend_.deliverySystems.empty()
                                ? uint32_t{SYS_DVBS}
                                : uint32_t{SYS_DVBS2};
    const Attempt point{SurveyRateKsps(), system, QPSK, static_cast<uint32_t>(missing.front())};
    if (SetTuneMode(FE_TUNE_MODE_ONESHOT) != 0 || SendTune(point, INVERSION_OFF) != 0) {
        noUsableStrength_ = true;
        return FallBackToCommonRates();
    }
    tune_.surveyPointKhz = missing.front();
    tune_.surveyReadAtMs = now + options_.surveySettleMs;
}

void DvbFrontendDevice::EndSurvey(const SpectrumVerdict& verdict) {
    if (verdict.kind == SpectrumVerdict::NoCarrier) {
        // Nothing to acquire: the tuner goes back to the frequency the readings report.
        state_ = TuneState::Failed;
        SetTuneMode(0);
        SendTune({SurveyRateKsps(), SYS_DVBS, QPSK});
        return;
    }
    const CarrierEstimate& carrier = verdict.estimate;
    const auto& info = frontend_.info;
    std::vector<int32_t> rates =
        RatesForWidth(carrier.widthKhz, options_.searchRatesKsps, RateTolerancePpm(),
                      static_cast<int32_t>(info.symbol_rate_min / 1000),
                      static_cast<int32_t>(info.symbol_rate_max / 1000));
    if (rates.empty()) {
        // Narrower than any rate the demodulator takes: nothing it could lock. Wider (neighbours
        // whose skirts merge): the spectrum cannot tell, the common rates can.
        if (carrier.widthKhz < static_cast<int32_t>(info.symbol_rate_min / 1000))
            return EndSurvey({SpectrumVerdict::NoCarrier, {}});
        return FallBackToCommonRates();
    }
    OrderFailedLast(rates, FailedRatesAt(carrier.centreKhz));
    tune_.carrierKhz = carrier.centreKhz;
    tune_.search = true;
    tune_.searchRates = std::move(rates);
    Request req;
    req.fec = tune_.fec;
    tune_.attempts = AttemptsFor(req);
    for (Attempt& a : tune_.attempts) a.ifKhz = static_cast<uint32_t>(carrier.centreKhz);
    if (StartAttempts() != 0) state_ = TuneState::Failed;
}

void DvbFrontendDevice::FallBackToCommonRates() {
    tune_.surveyPointKhz.reset();
    tune_.search = true;
    PlanCommonRates();
    Request req;
    req.fec = tune_.fec;
    tune_.attempts = AttemptsFor(req);
    if (StartAttempts() != 0) state_ = TuneState::Failed;
}

int64_t DvbFrontendDevice::ReachMhz() const {
    const DriverFacts& driver = DemodProfileOf(quirks_.family).driver;
    if (driver.at == nullptr) return 1;
    return std::max<int64_t>(1, driver.at(27500000).chipReachKhz / 1000);
}

// The common rates at the tuned IF, most locked first, none its tolerance covers twice, and
// those that failed within the demodulator's reach of here last.
void DvbFrontendDevice::PlanCommonRates() {
    tune_.searchRates = DistinctWithinTolerance(searchOrder_.For(SearchPath(), tune_.plan.ifKhz),
                                                RateTolerancePpm());
    tune_.carrierKhz = tune_.plan.ifKhz;
    tune_.failedSpanMhz = ReachMhz();
    OrderFailedLast(tune_.searchRates, FailedRatesAt(tune_.plan.ifKhz));
}

void DvbFrontendDevice::NoteFailedRate() {
    if (!tune_.carrierKhz) return;  // that rate is no rate of this carrier
    std::vector<int32_t>& failed = FailedRatesAt(*tune_.carrierKhz);
    const int32_t rate = tune_.attempts[tune_.attempt].symbolRateKsps;
    if (std::find(failed.begin(), failed.end(), rate) == failed.end()) failed.push_back(rate);
}

// A sweep commits again within a second: an attempt at a carrier's centre that ran most of its
// time without a lock has failed as surely as one that timed out.
void DvbFrontendDevice::NoteCutShortAttempt() {
    if (!tune_.carrierKhz) return;
    const int64_t timeout = AttemptTimeoutMs(tune_.attempts[tune_.attempt]);
    const int64_t ran = clock_.MonotonicMs() - (tune_.deadlineMs - timeout);
    if (ran * 4 >= timeout * 3) NoteFailedRate();
}

std::vector<int32_t>& DvbFrontendDevice::FailedRatesAt(int64_t centreKhz) {
    const int64_t path = SearchPath(), mhz = (centreKhz + 500) / 1000;
    for (int64_t d = 0; d <= tune_.failedSpanMhz; ++d) {
        for (int64_t near : {mhz - d, mhz + d}) {
            auto it = failedRates_.find({path, near});
            if (it != failedRates_.end()) return it->second;
        }
    }
    return failedRates_[{path, mhz}];
}

}  // namespace quillox::dvb
