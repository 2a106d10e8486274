#pragma once
// Finding and opening a DVB-S frontend for the device factory.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "device/dvb/dvb_frontend_device.h"
#include "device/dvb/frontend_io.h"
#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::dvb {

std::string FrontendPath(int adapter, int frontend);  // "/dev/dvb/adapterN/frontendM"

struct FrontendOpenResult {
    std::unique_ptr<TunerDevice> device;
    std::string error;  // "<path>: <system's reason>" when device is null
};

// Opens the frontend read-write (kept open for the device's life) and checks it is DVB-S.
// Every FrontendIo from makeIo is used behind EintrRetryingIo.
FrontendOpenResult OpenDvbFrontend(int adapter, int frontend, Clock& clock);
FrontendOpenResult OpenDvbFrontend(const std::string& path, Clock& clock,
                                   const FrontendIoFactory& makeIo, DvbDeviceOptions options = {});

// First adapter/frontend (in numeric order) whose FE_GET_INFO / DTV_ENUM_DELSYS shows DVB-S.
// Probes read-only, so a frontend another program has open is still recognised.
std::optional<std::pair<int, int>> FindFirstDvbsFrontend();
std::optional<std::pair<int, int>> FindFirstDvbsFrontend(const std::string& dvbRoot,
                                                         const FrontendIoFactory& makeIo);

// DTV_ENUM_DELSYS lists SYS_DVBS; drivers without it: FE_GET_INFO's type is FE_QPSK.
bool SupportsDvbs(FrontendIo& io, const dvb_frontend_info& info);

}  // namespace quillox::dvb
