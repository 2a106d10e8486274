#pragma once
// The simulated dish as the kernel presents a DVB-S frontend: a FrontendIo over the sky (carriers,
// LNB, DiSEqC switch, impairments) and a demodulator, so that the one DVB device drives it exactly
// as it drives /dev/dvb. It keeps the kernel's side of the seam: LNB voltage and tone, the switch
// port, the property cache, the tune and the time it started.
//
// Two kinds of demodulator:
//   * the default card, whose demodulator finds the symbol rate itself (it takes symbol rate 0,
//     which no stock driver does) and locks where the dish model says; its statistics are the
//     model's readings: DVBv5 CNR in dB before and after lock, and a relative strength that
//     carries the lock's quality (see DriverQuirks::qualityFromStrength);
//   * a driver family (demod_profiles.h): the core refuses symbol rate 0, a fixed rate locks
//     within the driver's tolerance, the core's software zig-zag (or the chip's own reach) and
//     its timing decide when, the read-back and the statistics are the driver's.
// Not thread-safe: the device that owns it calls it under its own mutex.
#include <cstdint>
#include <optional>
#include <string>

#include "device/demod_profiles.h"
#include "device/dvb/frontend_io.h"
#include "device/sim/demodulator.h"
#include "device/sim/dish_model.h"
#include "device/sim/signal_path.h"
#include "device/sim/sky_model.h"
#include "platform/clock.h"

namespace quillox::sim {

// Which demodulator sits behind the simulated frontend.
struct SimulatedCard {
    DishModelParameters model;          // the physics; model.dvbs2: a DVB-S2 card
    bool findsRate = true;              // the default card: takes symbol rate 0
    std::optional<DemodFamily> family;  // a driver family instead of the default demodulator

    static SimulatedCard Of(const Scenario& scenario, const DishModelParameters& model);
};

// The names the simulated frontends report through FE_GET_INFO: the device recognises its
// quirks by them (dvb/driver_quirks.h), as it recognises the drivers'.
std::string SimulatedFrontendName(const SimulatedCard& card);
// The card as the device line tells it, e.g. "DVB-S card that finds symbol rates".
std::string SimulatedCardText(const SimulatedCard& card);

class SimulatedFrontend : public dvb::FrontendIo {
public:
    SimulatedFrontend(Scenario scenario, Clock& clock, uint32_t seed, SimulatedCard card);

    // What FE_GET_INFO and DTV_ENUM_DELSYS tell.
    dvb::FrontendInfo Info() const;
    // A dish with two feeds (no LNB given by the scenario) has the LNB the program assumes: the
    // C-band one when its oscillator lies above the downlink.
    void AssumeLnb(int32_t lofMhz, int32_t downlinkMhz);
    // The shortest time from a tune with symbol rate 0 (or the first candidate of the device's
    // search) to a lock on a carrier right at the tuned frequency.
    int32_t QuickestRateSearchLockMs() const;

    const Scenario& scenario() const { return scenario_; }
    const SimulatedCard& card() const { return card_; }

    // The node: always there, any number of openers.
    int open(const std::string& path, bool readWrite) override;
    void close() override;  // the last close powers the LNB down, as the core does
    int getInfo(dvb_frontend_info& info) override;
    // LNB power, tone and the switch's commands (heard only while the LNB is powered).
    int setVoltage(fe_sec_voltage voltage) override;
    int setTone(fe_sec_tone_mode tone) override;
    int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) override;
    int sendBurst(fe_sec_mini_cmd burst) override;
    int setTuneMode(uint32_t flags) override;
    // The property cache; DTV_TUNE starts an acquisition, statistics come from the last reading.
    int setProps(std::span<dtv_property> props) override;
    int getProps(std::span<dtv_property> props) override;
    // A status read takes a reading; the legacy statistics only where the driver has them.
    int readStatus(fe_status_t& status) override;
    int readSnr(uint16_t& snr) override;
    int readStrength(uint16_t& strength) override;
    int readBer(uint32_t& ber) override;

private:
    struct Lock {  // what the demodulator holds
        const Carrier* carrier = nullptr;
        InputCarrier input;  // where it is now (LO error included) and how strong
        LockPlan plan;
    };
    struct Readings {  // one measurement, at a status read or a tune
        fe_status_t status{};
        Lock lock;
        double snrDb = 0;         // the default card's reading, locked or not
        int32_t quality = 0;      // the default card's, while locked
        double levelPercent = 0;  // signal level 0..100
    };

    const DriverFacts* Driver() const;
    int Tune();
    void Measure();
    TunedPath Path() const;
    double NoiseAt(uint64_t channel) const;
    void WaitWhileBusy();
    uint16_t Relative(double value, double fullScale) const;

    const Scenario scenario_;
    const SimulatedCard card_;
    const Demodulator demod_;
    const SignalPath path_;
    Clock& clock_;
    const uint32_t seed_;
    SkyModel sky_;

    bool open_ = false;
    fe_sec_voltage voltage_ = SEC_VOLTAGE_OFF;
    bool toneOn_ = false;
    DiseqcSwitch switch_;
    bool cFeed_ = false;
    KernelTune pending_{SYS_DVBS, 0, 0, FEC_AUTO, QPSK};  // set since the last tune
    std::optional<KernelTune> tuned_;                     // the last tune the driver took
    bool oneShot_ = false;                                // FE_TUNE_MODE_ONESHOT
    int64_t tunedAtMs_ = 0;
    uint64_t readingCount_ = 0;
    Readings readings_;
};

}  // namespace quillox::sim
