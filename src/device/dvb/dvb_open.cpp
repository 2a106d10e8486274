#include "device/dvb/dvb_open.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "device/dvb/linux_frontend_io.h"

namespace quillox::dvb {
namespace {

constexpr const char* kDvbRoot = "/dev/dvb";

std::string Failure(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

bool IsSatellite(uint32_t system) {
    return system == SYS_DVBS || system == SYS_DVBS2 || system == SYS_TURBO || system == SYS_ISDBS;
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

// Every /dev/dvb/adapterN/frontendM, in numeric order.
std::vector<std::string> FrontendNodes(const std::string& dvbRoot) {
    namespace fs = std::filesystem;
    std::vector<std::string> nodes;
    for (int adapter : NumberedEntries(dvbRoot, "adapter")) {
        fs::path adapterDir = fs::path(dvbRoot) / ("adapter" + std::to_string(adapter));
        for (int frontend : NumberedEntries(adapterDir, "frontend"))
            nodes.push_back((adapterDir / ("frontend" + std::to_string(frontend))).string());
    }
    return nodes;
}

std::vector<uint32_t> ListedSystems(FrontendIo& io) {
    dtv_property p{};
    p.cmd = DTV_ENUM_DELSYS;
    std::vector<uint32_t> systems;
    if (io.getProps({&p, 1}) != 0) return systems;
    const uint32_t len = std::min<uint32_t>(p.u.buffer.len, sizeof p.u.buffer.data);
    for (uint32_t i = 0; i < len; ++i) systems.push_back(p.u.buffer.data[i]);
    return systems;
}

std::optional<uint32_t> CurrentSystem(FrontendIo& io) {
    dtv_property p{};
    p.cmd = DTV_DELIVERY_SYSTEM;
    if (io.getProps({&p, 1}) != 0) return std::nullopt;
    return uint32_t{p.u.data};
}

}  // namespace

std::string FrontendPath(int adapter, int frontend) {
    return std::string(kDvbRoot) + "/adapter" + std::to_string(adapter) + "/frontend" +
           std::to_string(frontend);
}

std::string DeliverySystemName(uint32_t system) {
    switch (system) {
        case SYS_DVBS:
            return "DVB-S";
        case SYS_DVBS2:
            return "DVB-S2";
        case SYS_DSS:
            return "DSS";
        case SYS_TURBO:
            return "TURBO";
        case SYS_ISDBS:
            return "ISDB-S";
        case SYS_DVBT:
            return "DVB-T";
        case SYS_DVBT2:
            return "DVB-T2";
        case SYS_DVBC_ANNEX_A:
            return "DVB-C";
        case SYS_DVBC_ANNEX_B:
            return "DVB-C/B";
        case SYS_DVBC_ANNEX_C:
            return "DVB-C/C";
        case SYS_ATSC:
            return "ATSC";
        case SYS_ISDBT:
            return "ISDB-T";
        case SYS_DTMB:
            return "DTMB";
        default:
            return "system " + std::to_string(system);
    }
}

std::string FrontendDescription::name() const {
    const auto& info = frontend.info;
    return std::string(info.name, strnlen(info.name, sizeof info.name));
}

bool FrontendDescription::satellite() const {
    if (frontend.deliverySystems.empty()) return frontend.info.type == FE_QPSK;
    return frontend.Has(SYS_DVBS) || frontend.Has(SYS_DVBS2);
}

int DescribeFrontend(FrontendIo& io, bool readWrite, FrontendDescription& out) {
    FrontendInfo& fe = out.frontend;
    fe.deliverySystems = ListedSystems(io);
    if (readWrite && (fe.Has(SYS_DVBS) || fe.Has(SYS_DVBS2))) {
        dtv_property p{};
        p.cmd = DTV_DELIVERY_SYSTEM;
        p.u.data = fe.Has(SYS_DVBS) ? SYS_DVBS : SYS_DVBS2;
        io.setProps({&p, 1});  // a refusal is caught below by reading the system back
    }
    if (int rc = io.getInfo(fe.info)) return rc;
    // Still on a terrestrial or cable system (read-only, or the selection was refused): Hz.
    const std::optional<uint32_t> current = CurrentSystem(io);
    if (current && !IsSatellite(*current) && *current != SYS_UNDEFINED) {
        fe.info.frequency_min /= 1000;
        fe.info.frequency_max /= 1000;
        fe.info.frequency_stepsize /= 1000;
    }
    return 0;
}

FrontendOpenResult OpenDvbFrontend(const std::string& path, Clock& clock,
                                   const FrontendIoFactory& makeIo, DvbDeviceOptions options) {
    FrontendOpenResult result;
    result.description.path = path;
    auto io = std::make_unique<EintrRetryingIo>(makeIo());
    if (int rc = io->open(path, true)) {
        result.error = Failure(path, rc);
        return result;
    }
    if (int rc = DescribeFrontend(*io, true, result.description)) {
        io->close();
        result.error = Failure(path, rc);
        return result;
    }
    if (!result.description.satellite()) {
        io->close();
        result.error = path + ": not a DVB-S frontend";
        return result;
    }
    result.device = std::make_unique<DvbFrontendDevice>(std::move(io), result.description.frontend,
                                                        clock, std::move(options));
    return result;
}

FrontendOpenResult OpenDvbFrontend(int adapter, int frontend, Clock& clock,
                                   DvbDeviceOptions options, const FrontendIoFactory& makeIo) {
    return OpenDvbFrontend(FrontendPath(adapter, frontend), clock,
                           makeIo ? makeIo : FrontendIoFactory(MakeLinuxFrontendIo),
                           std::move(options));
}

FrontendOpenResult OpenFirstFreeDvbsFrontend(const std::string& dvbRoot, Clock& clock,
                                             const FrontendIoFactory& makeIo,
                                             DvbDeviceOptions options) {
    FrontendOpenResult failed;
    for (const std::string& path : FrontendNodes(dvbRoot)) {
        // A read-only look first: it works while another program holds the frontend, and a
        // terrestrial frontend is never opened for writing.
        EintrRetryingIo probe(makeIo());
        if (probe.open(path, false) != 0) continue;
        FrontendDescription description;
        description.path = path;
        const bool satellite =
            DescribeFrontend(probe, false, description) == 0 && description.satellite();
        probe.close();
        if (!satellite) continue;
        FrontendOpenResult opened = OpenDvbFrontend(path, clock, makeIo, options);
        if (opened.device) return opened;
        failed.error += (failed.error.empty() ? "" : "; ") + opened.error;
        if (failed.description.path.empty()) failed.description = description;
    }
    return failed;
}

FrontendOpenResult OpenFirstFreeDvbsFrontend(Clock& clock, DvbDeviceOptions options,
                                             const FrontendIoFactory& makeIo) {
    return OpenFirstFreeDvbsFrontend(kDvbRoot, clock,
                                     makeIo ? makeIo : FrontendIoFactory(MakeLinuxFrontendIo),
                                     std::move(options));
}

std::vector<FrontendListing> ListFrontends(const std::string& dvbRoot,
                                           const FrontendIoFactory& makeIo,
                                           const std::string& procRoot) {
    std::vector<FrontendListing> listings;
    for (const std::string& path : FrontendNodes(dvbRoot)) {
        FrontendListing listing;
        listing.description.path = path;
        EintrRetryingIo io(makeIo());
        if (int rc = io.open(path, false)) {
            listing.error = std::strerror(rc);
        } else {
            listing.described = DescribeFrontend(io, false, listing.description) == 0;
            io.close();
        }
        listing.users = FindFrontendWriters(path, procRoot);
        listings.push_back(std::move(listing));
    }
    return listings;
}

std::vector<FrontendListing> ListFrontends() {
    return ListFrontends(kDvbRoot, MakeLinuxFrontendIo);
}

}  // namespace quillox::dvb
