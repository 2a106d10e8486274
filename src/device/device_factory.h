#pragma once
// Chooses and opens the tuner device named by section Device of Settings.ini.
#include <cstdint>
#include <memory>
#include <string>

#include "device/tuner_device.h"

namespace quillox {

class Clock;

struct DeviceSettings {             // section Device of Settings.ini
    std::string kind = "auto";      // "auto", "simulated" or "dvb"
    int adapter = 0, frontend = 0;  // /dev/dvb/adapterN/frontendM
    std::string scenario;           // simulated dish: scenario file; empty = the built-in satellite
    uint32_t seed = 1;              // simulated dish: noise seed
};

struct DeviceOpenResult {
    std::unique_ptr<TunerDevice> device;  // null on failure
    int failedStep = 0;                   // 0 ok; 1, 2, 3 = the start-up failures M1, M2, M3
    std::string detail;                   // device path and system error, for the message
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
