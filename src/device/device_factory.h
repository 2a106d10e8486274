#pragma once
// Chooses and opens the tuner device named by section Device of Settings.ini.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/demod_profiles.h"
#include "device/tuner_device.h"

namespace quillox {

class Clock;

struct DeviceSettings {             // section Device of Settings.ini
    std::string kind = "auto";      // "auto", "simulated", "dvb" or "replay:FILE" (a recording)
    int adapter = 0, frontend = 0;  // /dev/dvb/adapterN/frontendM
    std::string scenario;           // simulated dish: scenario file; empty = the built-in satellite
    uint32_t seed = 1;              // simulated dish: noise seed
    bool simulatedDvbs2 = false;    // simulated dish: a DVB-S2 card rather than a DVB-S one
    std::string sky = "ideal";      // simulated dish: impairment preset under the file's own
    LockTimeouts lockTimeouts;      // DVB frontend: lock time per attempt, by demodulator
    int32_t lnbPowerUpMs = 200;     // DVB frontend: LNB power on to the first DiSEqC command
    std::string record;  // DVB frontend: every call through it written to this file; empty: off
};

struct DeviceOpenResult {
    std::unique_ptr<TunerDevice> device;  // null on failure
    int failedStep = 0;                   // 0 ok; 1, 2, 3 = the start-up failures M1, M2, M3
    // Failure: device path and system error, for the message. Success: the device in use, as
    // the user is told it (the simulated dish and its satellite, or the frontend's name and path).
    std::string detail;
    bool simulated = false;             // the simulated dish, not a card
    bool dvbs2 = false;                 // the device demodulates DVB-S2 too
    std::vector<std::string> warnings;  // e.g. satellite table lines taken approximately
    // A recording or replay of the frontend's calls beside the device: its first failure (a
    // line that could not be written, a call that differs from the recording), "" while all is
    // well. Asked again once the device is gone, a replay not played to its end counts too.
    // Empty when there is neither.
    std::function<std::string()> sessionProblem;
};

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    virtual DeviceOpenResult Open(const DeviceSettings& s) = 0;
};

// The real factory: the simulated dish or a Linux DVB-S frontend.
class SystemDeviceFactory : public DeviceFactory {
public:
    explicit SystemDeviceFactory(Clock& clock);  // the simulated dish keeps time with this clock
    DeviceOpenResult Open(const DeviceSettings& s) override;

private:
    Clock& clock_;
};

}  // namespace quillox
