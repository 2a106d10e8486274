#pragma once
// TunerDevice over a Linux DVB-S frontend (DVB API v5). Setters stage; TunerCommit applies:
// LNB control when it changed (voltage, tone off, DiSEqC command or burst between 15 ms guard
// times, tone on for 22 kHz), then the tune batch. TunerRefreshStatus reads status, statistics
// and, once locked, the values the demodulator found; the getters report that snapshot.
//
// Symbol rate 0 asks the device to find the rate. The kernel cannot, so the device tries a list
// of candidate rates, one short lock timeout each; TunerRefreshStatus advances the search, so no
// call ever blocks for it, and the next TunerCommit ends it.
//
// Threads: every member runs under mutex_, so calls from the GUI thread and a worker may
// interleave freely; a commit (about 30 ms of guard times at most) holds it throughout.
// Results: 0, or a negative errno (-ERANGE: IF out of range, -EOPNOTSUPP: 33/44 kHz tone,
// -ENODATA: a reading the driver cannot give, others from the failing ioctl).
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/dvb/frontend_io.h"
#include "device/dvb/lnb_plan.h"
#include "device/dvb/signal_figures.h"
#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::dvb {

struct DvbDeviceOptions {
    // Rates tried for symbol rate 0, most common first (kS/s).
    std::vector<int32_t> searchRatesKsps = {27500, 22000, 30000, 29900, 28000, 27000,
                                            26000, 24500, 23000, 20000, 15000, 11000,
                                            6111,  5632,  4340,  3000,  2000};
    int32_t searchTimeoutMs = 500;          // per candidate of 5000 kS/s and more
    int32_t searchLowRateTimeoutMs = 1500;  // below 5000 kS/s the demodulators take longer
    int32_t guardMs = 15;                   // before and after each DiSEqC message or burst
};

class DvbFrontendDevice : public TunerDevice {
public:
    // io: open read-write for the device's whole life; info: its FE_GET_INFO.
    DvbFrontendDevice(std::unique_ptr<FrontendIo> io, const dvb_frontend_info& info, Clock& clock,
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

    // Beyond the interface, for diagnostics and the signal window.
    std::string driverName() const;
    SnrScale snrScale() const;            // what TunerGetSnr's figure means
    std::optional<uint32_t> ber() const;  // last FE_READ_BER while locked
    bool searching() const;               // a symbol-rate search is running

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
    enum class TuneState { Idle, LnbOff, Tuned, Searching, SearchFailed };
    struct Tune {  // the accepted commit
        int32_t frequencyMhz = 0, lofMhz = 0, symbolRateKsps = 0, fec = 6;
        IfPlan plan{};
        std::vector<int32_t> candidates;  // symbol-rate search only
        size_t candidate = 0;
        int64_t deadlineMs = 0;
    };
    struct Readings {
        bool locked = false;
        std::optional<uint32_t> ifKhz, symbolRate, fecRate;  // read back after lock
        SignalFigures figures;
        std::optional<uint32_t> ber;
    };

    int ApplyLnb(const LnbState& target);
    int SendTune(uint32_t symbolRate);
    int StartSearch();
    void AdvanceSearch();
    void ReadBack(bool locked);
    RawStats ReadStats(bool locked, std::vector<dtv_property>& extra);
    int32_t SearchTimeoutMs(int32_t ksps) const;
    bool HaveTune() const;

    mutable std::mutex mutex_;
    std::unique_ptr<FrontendIo> io_;
    dvb_frontend_info info_;
    Clock& clock_;
    DvbDeviceOptions options_;
    DriverQuirks quirks_;

    Request staged_;
    LnbState lnb_;
    bool lnbKnown_ = false;  // false until sent, and after a failure or FE_REINIT
    TuneState state_ = TuneState::Idle;
    Tune tune_;
    Readings readings_;
    // Learnt once: statistics this driver does not have (524 or DVBv5 len 0).
    bool noV5Stats_ = false, noSnr_ = false, noStrength_ = false, noBer_ = false;
};

}  // namespace quillox::dvb
