#pragma once
// TunerDevice over a Linux DVB-S/S2 frontend (DVB API v5). Setters stage; TunerCommit applies:
// LNB control when it changed (voltage, tone off, DiSEqC command and its repeat or burst between
// guard times, tone on for 22 kHz), then the tune. TunerRefreshStatus reads status, statistics
// and, once locked, the values the demodulator found; the getters report that snapshot.
//
// A tune is a list of attempts, each one short lock timeout long: on a DVB-S2 frontend a fixed
// rate is tried as DVB-S, then DVB-S2 QPSK, then DVB-S2 8PSK, round and round until one locks.
//
// Symbol rate 0 asks the device to find the rate, which no driver can. Inside the carrier it last
// locked, the device tries that carrier's rate alone, round and round, as a fixed rate is.
// Elsewhere it acquires blind:
//   1. a strength spectrum around the frequency (strength_survey.h): one-shot tunes at a narrow
//      rate, one reading per IF point, kept per LNB path so that a sweep measures each point once;
//   2. the carrier under the frequency, its centre and its -3 dB width, which is its rate;
//   3. one pass over the rates that fit that width (the common ones first, a grid where the
//      demodulator's tolerance is wide), tuned at the carrier's centre; rates that failed on that
//      carrier come last when a later tune lands on it again.
// Nothing under the frequency: no attempt at all. Where the spectrum cannot be had (no strength
// reading, or a driver whose every tune blocks for a search), the device tries the common rates
// at the frequency instead, those that locked most often first (RateSearchOrder).
// TunerRefreshStatus takes the next reading or moves on to the next attempt, so no call ever
// blocks for either, and the next TunerCommit ends them.
//
// The SNR reported is the median of the last three readings of one tune and lock state.
//
// Threads: every member runs under mutex_, so calls from the GUI thread and a worker may
// interleave freely; a commit holds it through its guard times (the LNB's power-up wait at most).
// Results: 0, or a negative errno (-ERANGE: IF out of range, -EOPNOTSUPP: 33/44 kHz tone,
// -ENODATA: a reading the driver cannot give, others from the failing ioctl).
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/dvb/driver_quirks.h"
#include "device/dvb/frontend_io.h"
#include "device/dvb/lnb_plan.h"
#include "device/dvb/signal_figures.h"
#include "device/dvb/strength_survey.h"
#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::dvb {

struct DvbDeviceOptions {
    // Rates tried for symbol rate 0, most common first (kS/s): the shared candidate table.
    std::vector<int32_t> searchRatesKsps{SearchRatesKsps().begin(), SearchRatesKsps().end()};
    LockTimeouts lockTimeouts;  // per demodulator family
    int32_t guardMs = 15;  // before and after each DiSEqC message or burst, and between repeats
    // From LNB power on to the first DiSEqC command: the LNB and the switch behind it must be up.
    int32_t lnbPowerUpMs = 200;
    // Blind acquisition: the spectrum's grid and reach, the settling time of each one-shot tune
    // before its reading, and the strength scale of drivers that report a relative figure
    // (FE_SCALE_RELATIVE or FE_READ_SIGNAL_STRENGTH) where DVBv5 gives no dBm: units per dB.
    SurveyPlan survey;
    int32_t surveySettleMs = 20;
    double strengthUnitsPerDb = 65535 * 0.05;
};

// What the demodulator locked: delivery system, modulation and code rate (kernel enums).
struct LockedSignal {
    uint32_t system = SYS_DVBS;
    uint32_t modulation = QPSK;
    uint32_t fec = FEC_AUTO;
};

class DvbFrontendDevice : public TunerDevice, public JobAware {
public:
    // io: open read-write for the device's whole life; frontend: what it reported when opened.
    DvbFrontendDevice(std::unique_ptr<FrontendIo> io, const FrontendInfo& frontend, Clock& clock,
                      DvbDeviceOptions options = {});
    ~DvbFrontendDevice() override;  // LNB power off, then close
    DvbFrontendDevice(const DvbFrontendDevice&) = delete;
    DvbFrontendDevice& operator=(const DvbFrontendDevice&) = delete;

    int TunerSetFrequency(int32_t mhz) override;
    int TunerSetSymbolRate(int32_t ksps) override;
    int TunerSetLnbFrequency(int32_t mhz) override;
    int TunerSetFec(int32_t fecCode) override;
    int TunerSetPolarity(int32_t polarityCode) override;
    int TunerSetLnbSelection(int32_t toneCode) override;
    int TunerSetDiseqc(int32_t diseqcCode) override;
    int TunerInitialize() override;
    int TunerRefreshStatus() override;
    int TunerCommit(int32_t value) override;

    int TunerGetFrequency(int32_t& mhz) override;
    int TunerGetSymbolRate(int32_t& ksps) override;
    int TunerGetSigtre(int32_t& level) override;
    int TunerGetSnr(float& snr) override;
    int TunerGetFec(int32_t& fecCode) override;
    int TunerGetPolarity(int32_t& polarityCode) override;
    int TunerGetDiseqc(int32_t& diseqcCode) override;
    int TunerGetLnbSelection(int32_t& toneCode) override;
    int TunerGetLnbFrequency(int32_t& mhz) override;
    int TunerGetSignalQuality(int32_t& percent) override;

    // A job begins: the switch may have been reset or addressed by someone else meanwhile, so
    // the next commit sends the LNB control (and the DiSEqC command) afresh.
    void JobStarting() override;

    // Beyond the interface, for diagnostics and the signal window.
    std::string driverName() const;
    bool dvbs2() const;  // the frontend lists SYS_DVBS2
    DemodFamily family() const;
    SnrScale snrScale() const;                   // what TunerGetSnr's figure means
    std::optional<uint32_t> ber() const;         // last FE_READ_BER while locked
    std::optional<LockedSignal> locked() const;  // what the present lock is
    bool searching() const;  // a symbol-rate search (or its spectrum) is running

protected:
    // Called by TunerCommit, under the device's lock, before anything goes to the frontend.
    virtual void Committing(int32_t /*frequencyMhz*/, int32_t /*lofMhz*/) {}

private:
    struct Request {  // what the program staged
        int32_t frequencyMhz = 0, symbolRateKsps = 0, lofMhz = 0;
        int32_t fec = 6, polarity = 1, tone = 0, diseqc = 0;
    };
    struct LnbState {  // what the LNB and switch were last sent
        int32_t polarity = 10;
        bool toneOn = false;
        int32_t diseqc = 0;
        bool operator==(const LnbState&) const = default;
    };
    struct Attempt {  // one tune as the kernel gets it
        int32_t symbolRateKsps;
        uint32_t system;
        uint32_t modulation;
        uint32_t ifKhz = 0;  // 0: the tune's own IF; else a carrier's centre
    };
    enum class TuneState { Idle, LnbOff, Surveying, Trying, Locked, Failed };
    struct Tune {  // the accepted commit
        int32_t frequencyMhz = 0, lofMhz = 0, symbolRateKsps = 0, fec = 6;
        IfPlan plan{};
        std::vector<Attempt> attempts;
        size_t attempt = 0;
        bool search = false;    // symbol rate 0: one pass; a fixed rate: round and round
        bool rateZero = false;  // asked for rate 0 (a search, or the known rate of the carrier)
        std::vector<int32_t> searchRates;  // a search's candidates, in searchOrder_'s order
        int64_t deadlineMs = 0;
        // Blind acquisition: the spectrum's present reach, the point being read and when.
        int32_t surveyReachKhz = 0;
        std::optional<int64_t> surveyPointKhz;
        int64_t surveyReadAtMs = 0;
        // Where the rates tried failed: a carrier's centre as the spectrum showed it (another
        // measure of it may centre a MHz apart), or, without a spectrum, the tuned IF (the same
        // place as far as the demodulator reaches by itself).
        std::optional<int64_t> carrierKhz;
        int64_t failedSpanMhz = 1;
    };
    struct Readings {
        bool locked = false;
        std::optional<uint32_t> ifKhz, symbolRate;  // read back after lock
        std::optional<LockedSignal> signal;
        SignalFigures figures;
        std::optional<uint32_t> ber;
    };

    int ApplyLnb(const LnbState& target);
    int SendTune(const Attempt& attempt, uint32_t inversion = INVERSION_AUTO);
    std::vector<Attempt> AttemptsFor(const Request& req) const;
    int StartAttempts();
    void NextAttempt();
    void ReadBack(bool locked, fe_status_t status);
    int32_t TimeoutMs(int32_t ksps) const;
    int32_t AttemptTimeoutMs(const Attempt& attempt) const;
    std::pair<uint32_t, uint32_t> IfLimitsKhz() const;  // the LNB's and the frontend's
    bool RateWithinLimits(uint32_t symbolRate) const;
    bool HaveTune() const;
    int64_t SearchPath() const;  // the LNB path of the present tune, for searchOrder_
    // Blind acquisition (see the head of this file).
    bool SurveyWorthwhile() const;
    int32_t SurveyRateKsps() const;
    void SurveyStep();
    void EndSurvey(const SpectrumVerdict& verdict);
    void FallBackToCommonRates();
    int SetTuneMode(uint32_t flags);
    std::optional<double> ReadStrengthDb();
    int32_t CentredTimeoutMs(int32_t ksps) const;
    uint32_t RateTolerancePpm() const;
    std::vector<int32_t>& FailedRatesAt(int64_t centreKhz);
    void PlanCommonRates();
    int64_t ReachMhz() const;    // how far from a tune the demodulator finds a carrier itself
    void NoteFailedRate();       // the present attempt's rate did not lock on its carrier
    void NoteCutShortAttempt();  // ... nor in most of its time, before a commit ended it

    mutable std::mutex mutex_;
    std::unique_ptr<FrontendIo> io_;
    FrontendInfo frontend_;
    Clock& clock_;
    DvbDeviceOptions options_;
    DriverQuirks quirks_;

    Request staged_;
    LnbState lnb_;
    bool lnbKnown_ = false;     // false until sent, after a failure, FE_REINIT or a new job
    bool lnbSupplyOn_ = false;  // known to be on: no power-up wait before the next DiSEqC
    bool v5Cnr_ = false, v5Strength_ = false;  // DVBv5 statistics exist (len > 0), if not yet
    TuneState state_ = TuneState::Idle;
    Tune tune_;
    RateSearchOrder searchOrder_;  // symbol rate 0: which candidate first
    SpectrumSurvey survey_;        // symbol rate 0: the strength spectrum per LNB path
    // Rates that failed on a carrier, by its LNB path and centre (MHz).
    std::map<std::pair<int64_t, int64_t>, std::vector<int32_t>> failedRates_;
    uint32_t tuneMode_ = 0;                // as last set (the node opens in normal mode)
    bool noUsableStrength_ = false;        // learnt: no reading a spectrum can be made of
    bool lastLockSeenInSpectrum_ = false;  // the carrier searchOrder_ knows was tuned at its centre
    SnrMedian snrMedian_;                  // what TunerGetSnr reports of the raw readings
    Readings readings_;
    std::optional<int32_t> quietLevel_;  // lowest signal level seen, for the unlocked estimate
    // Learnt once: statistics this driver does not have (524 or DVBv5 len 0).
    bool noV5Stats_ = false, noSnr_ = false, noStrength_ = false, noBer_ = false;
};

}  // namespace quillox::dvb
