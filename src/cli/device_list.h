#pragma once
// The text of quillox-scan --list-devices: every frontend with its name, delivery systems,
// limits and whether another program holds it.
#include <string>
#include <vector>

#include "device/dvb/dvb_open.h"

namespace quillox::cli {

std::string FormatDeviceList(const std::vector<dvb::FrontendListing>& frontends);

}  // namespace quillox::cli
