#include "device/dvb/dvb_open.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "device/dvb/linux_frontend_io.h"

namespace quillox::dvb {
namespace {

constexpr const char* kDvbRoot = "/dev/dvb";

std::string Failure(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

// Numbers N of the entries "<prefix>N" in dir, ascending.
std::vector<int> NumberedEntries(const std::filesystem::path& dir, const std::string& prefix) {
    std::vector<int> numbers;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) ||
            digits.size() > 6)
            continue;
        numbers.push_back(std::stoi(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

}  // namespace

std::string FrontendPath(int adapter, int frontend) {
    return std::string(kDvbRoot) + "/adapter" + std::to_string(adapter) + "/frontend" +
           std::to_string(frontend);
}

bool SupportsDvbs(FrontendIo& io, const dvb_frontend_info& info) {
    dtv_property p{};
    p.cmd = DTV_ENUM_DELSYS;
    if (io.getProps({&p, 1}) == 0) {
        uint32_t len = std::min<uint32_t>(p.u.buffer.len, sizeof p.u.buffer.data);
        for (uint32_t i = 0; i < len; ++i) {
            if (p.u.buffer.data[i] == SYS_DVBS) return true;
        }
        if (len > 0) return false;
    }
    return info.type == FE_QPSK;
}

FrontendOpenResult OpenDvbFrontend(const std::string& path, Clock& clock,
                                   const FrontendIoFactory& makeIo, DvbDeviceOptions options) {
    FrontendOpenResult result;
    auto io = std::make_unique<EintrRetryingIo>(makeIo());
    if (int rc = io->open(path, true)) {
        result.error = Failure(path, rc);
        return result;
    }
    dvb_frontend_info info{};
    if (int rc = io->getInfo(info)) {
        io->close();
        result.error = Failure(path, rc);
        return result;
    }
    if (!SupportsDvbs(*io, info)) {
        io->close();
        result.error = path + ": not a DVB-S frontend";
        return result;
    }
    result.device =
        std::make_unique<DvbFrontendDevice>(std::move(io), info, clock, std::move(options));
    return result;
}

FrontendOpenResult OpenDvbFrontend(int adapter, int frontend, Clock& clock) {
    return OpenDvbFrontend(FrontendPath(adapter, frontend), clock, MakeLinuxFrontendIo);
}

std::optional<std::pair<int, int>> FindFirstDvbsFrontend(const std::string& dvbRoot,
                                                         const FrontendIoFactory& makeIo) {
    namespace fs = std::filesystem;
    for (int adapter : NumberedEntries(dvbRoot, "adapter")) {
        fs::path adapterDir = fs::path(dvbRoot) / ("adapter" + std::to_string(adapter));
        for (int frontend : NumberedEntries(adapterDir, "frontend")) {
            std::string path = (adapterDir / ("frontend" + std::to_string(frontend))).string();
            EintrRetryingIo io(makeIo());
            if (io.open(path, false) != 0) continue;
            dvb_frontend_info info{};
            bool dvbs = io.getInfo(info) == 0 && SupportsDvbs(io, info);
            io.close();
            if (dvbs) return std::make_pair(adapter, frontend);
        }
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> FindFirstDvbsFrontend() {
    return FindFirstDvbsFrontend(kDvbRoot, MakeLinuxFrontendIo);
}

}  // namespace quillox::dvb
