#pragma once
// A fake DVB frontend modelled on the kernel's dvb_frontend core and the drivers of the old
// PCI DVB-S cards (stv0299, mt312, cx24123, s5h1420) and of some DVB-S2 ones (cx24116, stv0910,
// tda10071, a combined S/T/C demodulator), described as data. It keeps the kernel-side
// state (LNB voltage and tone, the switch port last addressed, the property cache, the tune),
// answers the FrontendIo calls as the kernel would, and logs each call with its virtual time.
// Whether and when a carrier locks, and what is read back, is the simulated dish's demodulator
// model (device/sim/demodulator.h): the old cards' drivers as their families describe them, the
// others by a few figures.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/dvb/dvb_frontend_device.h"
#include "device/dvb/frontend_io.h"
#include "device/sim/demodulator.h"
#include "platform/clock.h"

namespace quillox::dvb {

// DVB-S2: not at all; only when the tune asks for SYS_DVBS2 and the carrier's modulation
// (tda10071, cx24116, m88ds3103); or found by the demodulator whatever was asked (stv090x,
// stv0910), which then reads back the modulation and rate found.
enum class S2Support { None, NeedsSystem, Detects };

// Three levels of a raw reading: no energy, energy without lock, locked.
struct RawLevels {
    uint16_t idle, signal, locked;
};

struct DriverProfile {
    std::string name;
    fe_type type = FE_QPSK;
    std::vector<uint8_t> delsys = {SYS_DVBS};  // the first is where the frontend starts
    uint32_t caps = 0;
    uint32_t freqMinKhz = 950000, freqMaxKhz = 2150000;
    uint32_t rateMin = 1000000, rateMax = 45000000;
    // The driver family, whose facts decide lock and read-back; without one, a driver that
    // locks within captureKhz of a carrier (and 2 per mille of its rate) after lockMs (doubled
    // below 5 MS/s) and reads back what it was given.
    std::optional<DemodFamily> family;
    uint32_t captureKhz = 5000;
    int32_t lockMs = 300;
    uint32_t unlockedFec = FEC_AUTO;    // what INNER_FEC reads before lock
    std::optional<RawLevels> snr;       // FE_READ_SNR; nullopt: 524
    std::optional<RawLevels> strength;  // FE_READ_SIGNAL_STRENGTH; nullopt: 524
    uint32_t berLocked = 0;
    bool v5Stats = false;  // DVBv5 CNR/strength in dB (as vidtv); legacy drivers leave len 0
    bool v5CnrLockedOnly = false;  // CNR "not available" before lock (tda10071, stv0910)
    S2Support s2 = S2Support::None;
    // What set_frontend refuses (the tune then never locks): DVB-S other than with modulation
    // QPSK and roll-off 0.35 (cx24116 and combined frontends); DVB-S2 with ROLLOFF_AUTO
    // (cx24116, tda10071).
    bool explicitDvbs = false;
    bool explicitS2Rolloff = false;
    bool isl6421 = false;            // LNB power by an ISL6421 (overload possible)
    bool burstAfterCommand = false;  // rev 2.3 bit-banging: A burst after every command, tone off
};

const DriverProfile& Stv0299Profile();
const DriverProfile& Mt312Profile();  // "Zarlink VP310 DVB-S", as on the rev 2.3 card
const DriverProfile& Cx24123Profile();
const DriverProfile& S5h1420Profile();
const DriverProfile& V5StatsProfile();   // a newer driver with DVBv5 statistics in dB
const DriverProfile& DvbtProfile();      // not satellite at all
const DriverProfile& Stv0910Profile();   // finds DVB-S2 itself, CNR only while locked
const DriverProfile& Stv090xProfile();   // searches DVB-S and DVB-S2 in one go
const DriverProfile& Tda10071Profile();  // DVB-S2 when asked for; no CNR before lock
const DriverProfile& CombinedProfile();  // DVB-T/T2/C/S/S2, starts on DVB-T
std::vector<const DriverProfile*> Dvbs2Profiles();
std::vector<const DriverProfile*> LegacyProfiles();  // the four old ones

// A carrier as the card's input sees it: where it is and what it takes to reach it.
struct FakeTransponder {
    uint32_t ifKhz = 0;
    fe_sec_voltage voltage = SEC_VOLTAGE_13;
    bool toneOn = false;
    std::vector<uint8_t> diseqc;  // last DiSEqC message the switch must have had; empty: any
    std::optional<fe_sec_mini_cmd> burst;  // last burst the switch must have had
    uint32_t symbolRate = 27500000;
    uint32_t fec = FEC_3_4;
    uint32_t system = SYS_DVBS;
    uint32_t modulation = QPSK;
    int64_t cnrMilliDb = 12000;  // for the DVBv5 profile
};

struct CallRecord {
    int64_t ms;
    std::string text;  // e.g. "voltage 18", "diseqc e0 10 38 f2", "props CLEAR ... TUNE"
};

class FakeFrontend {
public:
    FakeFrontend(const DriverProfile& profile, Clock& clock, std::string path = {});

    void AddTransponder(const FakeTransponder& t);
    void DropLock();                  // the carrier is lost until the next tune
    void SetOverload(bool overload);  // ISL6421 overcurrent: voltage requests fail after ~1 s
    void FailNext(const std::string& op, int err, int times = 1);  // op as in the log's first word
    void ReportLimits(uint32_t freqMinKhz, uint32_t freqMaxKhz);   // FE_GET_INFO tells these

    std::unique_ptr<FrontendIo> NewIo();
    FrontendIoFactory Factory();
    // A factory whose FrontendIo opens whichever fake owns the path (ENOENT for none).
    static FrontendIoFactory Router(std::vector<FakeFrontend*> fakes);

    const std::vector<CallRecord>& log() const { return log_; }
    std::vector<std::string> Calls(const std::string& prefix = {}) const;  // texts, filtered
    void ClearLog() { log_.clear(); }

    fe_sec_voltage voltage() const { return voltage_; }
    bool toneOn() const { return toneOn_; }
    bool openForWriting() const { return rwOpen_; }
    int tunes() const { return tunes_; }
    const std::string& path() const { return path_; }

private:
    friend class FakeFrontendIo;
    struct Cache {
        uint32_t delsys = SYS_DVBS, frequency = 0, symbolRate = 0, fec = FEC_AUTO, inversion = 0;
        uint32_t modulation = QPSK, rolloff = ROLLOFF_35, pilot = PILOT_AUTO;
        bool oneShot = false;
    };

    void Log(const std::string& text);
    int Injected(const std::string& op);
    const FakeTransponder* Reachable(bool needRate) const;
    sim::KernelTune TunedAs() const;
    static sim::InputCarrier InputOf(const FakeTransponder& t);
    int ApplyProp(const dtv_property& p);
    int Tune();
    fe_status_t Status() const;
    uint16_t Level(const RawLevels& levels) const;
    uint16_t StrengthLevel(const RawLevels& levels) const;
    double RiseDb() const;  // the power in the tuned filter over the noise's alone
    void FillProp(dtv_property& p) const;
    bool Refuses(const Cache& c) const;

    DriverProfile profile_;
    sim::Demodulator demod_;
    Clock& clock_;
    std::string path_;
    std::vector<FakeTransponder> transponders_;
    std::map<std::string, std::deque<int>> failures_;
    std::optional<std::pair<uint32_t, uint32_t>> reportedLimits_;
    std::vector<CallRecord> log_;

    bool rwOpen_ = false;
    fe_sec_voltage voltage_ = SEC_VOLTAGE_OFF;
    bool toneOn_ = false;
    bool overload_ = false;
    std::vector<uint8_t> lastDiseqc_;
    std::optional<fe_sec_mini_cmd> lastBurst_;
    bool oneShot_ = false;  // FE_SET_FRONTEND_TUNE_MODE
    Cache cache_;
    std::optional<Cache> tuned_;
    bool refused_ = false;  // the driver's set_frontend refused the tuned parameters
    int64_t tunedAtMs_ = 0;
    bool lockDropped_ = false;
    int tunes_ = 0;
};

// A device opened on a fake frontend through the factory function, with a virtual clock.
struct DvbRig {
    explicit DvbRig(const DriverProfile& profile, DvbDeviceOptions options = {});

    // Stages a whole tuning and commits it; returns the commit's result.
    int Tune(int32_t mhz, int32_t lofMhz, int32_t polarity, int32_t ksps, int32_t fec = 6,
             int32_t tone = 0, int32_t diseqc = 0);
    // Refreshes every 50 ms of virtual time until locked or maxMs passed; true when locked.
    bool WaitForLock(int32_t maxMs = 3000);
    int32_t Quality();

    VirtualClock clock;
    FakeFrontend fake;
    std::unique_ptr<DvbFrontendDevice> device;
};

}  // namespace quillox::dvb
