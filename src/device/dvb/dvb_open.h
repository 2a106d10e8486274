#pragma once
// Finding, describing and opening DVB-S/S2 frontends for the device factory and the device list.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/dvb/dvb_frontend_device.h"
#include "device/dvb/frontend_io.h"
#include "device/dvb/frontend_users.h"
#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::dvb {

std::string FrontendPath(int adapter, int frontend);  // "/dev/dvb/adapterN/frontendM"
std::string DeliverySystemName(uint32_t system);      // "DVB-S2", "DVB-T" ... "system N"

// What a frontend says about itself.
struct FrontendDescription {
    std::string path;
    FrontendInfo frontend;  // limits in kHz whatever system the frontend was last used for

    std::string name() const;
    bool satellite() const;  // lists SYS_DVBS or SYS_DVBS2; drivers without the list: FE_QPSK
};

// FE_GET_INFO and DTV_ENUM_DELSYS. On a read-write descriptor the satellite system is selected
// first, because FE_GET_INFO reports the limits in the unit of the system the frontend last
// used: Hz after DVB-T or DVB-C, kHz for satellite. Read-only (no selecting), limits in Hz are
// converted. Returns 0 or the errno of FE_GET_INFO.
int DescribeFrontend(FrontendIo& io, bool readWrite, FrontendDescription& out);

struct FrontendOpenResult {
    std::unique_ptr<TunerDevice> device;
    std::string error;  // "<path>: <system's reason>" when device is null
    FrontendDescription description;
};

// Opens the frontend read-write (kept open for the device's life) and checks it is DVB-S/S2.
// Every FrontendIo from makeIo is used behind EintrRetryingIo.
// makeIo empty: the real frontend (LinuxFrontendIo).
FrontendOpenResult OpenDvbFrontend(int adapter, int frontend, Clock& clock,
                                   DvbDeviceOptions options = {},
                                   const FrontendIoFactory& makeIo = {});
FrontendOpenResult OpenDvbFrontend(const std::string& path, Clock& clock,
                                   const FrontendIoFactory& makeIo, DvbDeviceOptions options = {});

// The first DVB-S/S2 frontend (adapters and frontends in numeric order) that opens read-write:
// one another program holds (EBUSY) is skipped. No satellite frontend at all: device null and
// error empty. Only busy or failing ones: device null, error naming each.
FrontendOpenResult OpenFirstFreeDvbsFrontend(Clock& clock, DvbDeviceOptions options = {},
                                             const FrontendIoFactory& makeIo = {});
FrontendOpenResult OpenFirstFreeDvbsFrontend(const std::string& dvbRoot, Clock& clock,
                                             const FrontendIoFactory& makeIo,
                                             DvbDeviceOptions options = {});

struct FrontendListing {
    FrontendDescription description;
    bool described = false;  // false: could not even be opened read-only (error says why)
    FrontendUsers users;     // who has it open for writing, as far as /proc shows
    std::string error;       // why it could not be opened read-only
};

// Every frontend node, satellite or not, opened read-only for FE_GET_INFO and nothing else;
// whether it is in use comes from /proc (procRoot), never from a read-write open.
std::vector<FrontendListing> ListFrontends();
std::vector<FrontendListing> ListFrontends(const std::string& dvbRoot,
                                           const FrontendIoFactory& makeIo,
                                           const std::string& procRoot = "/proc");

}  // namespace quillox::dvb
