// quillox-scan --list-devices on fake frontends: units, limits of 0, busy ones, no card at all.
#include "cli/device_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/fake_frontend.h"

namespace quillox::cli {
namespace {

using dvb::FakeFrontend;

TEST(DeviceListTest, EveryFrontendWithSystemsLimitsAndWhetherItIsFree) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("quillox_list_" + std::to_string(getpid()));
    fs::remove_all(root);
    for (const char* node : {"adapter0/frontend0", "adapter1/frontend0"}) {
        fs::create_directories((root / node).parent_path());
        std::ofstream(root / node).put('\0');
    }
    VirtualClock clock;
    dvb::DriverProfile unlimited = dvb::Stv0299Profile();
    unlimited.freqMaxKhz = 0;
    unlimited.rateMax = 0;
    // The combined one was last used for DVB-T: its limits come in Hz.
    FakeFrontend combined(dvb::CombinedProfile(), clock, (root / "adapter0/frontend0").string());
    FakeFrontend held(unlimited, clock, (root / "adapter1/frontend0").string());
    // Another program holds adapter1 for tuning (fd 5, O_RDWR) and adapter0 only for reading;
    // one process keeps its descriptors to itself.
    const fs::path proc = root / "proc";
    auto holds = [&](const char* pid, const char* fd, const fs::path& node, const char* flags) {
        fs::create_directories(proc / pid / "fd");
        fs::create_directories(proc / pid / "fdinfo");
        fs::create_symlink(node, proc / pid / "fd" / fd);
        std::ofstream(proc / pid / "fdinfo" / fd) << "pos:\t0\nflags:\t" << flags << "\n";
        std::ofstream(proc / pid / "comm") << "tzap\n";
    };
    holds("4242", "5", held.path(), "0100002");
    holds("4343", "3", combined.path(), "0100000");
    fs::create_directories(proc / "self");
    fs::create_directories(proc / "4444");
    std::ofstream(proc / "4444" / "fd") << "";  // unreadable as another user's would be
    const std::string text = FormatDeviceList(
        dvb::ListFrontends(root.string(), FakeFrontend::Router({&combined, &held}), proc.string()));
    const std::string r = root.string();
    EXPECT_EQ(text, r +
                        "/adapter0/frontend0\n"
                        "  name              Test DVB-T/T2/C/S/S2 demodulator\n"
                        "  delivery systems  DVB-T, DVB-T2, DVB-C, DVB-S, DVB-S2\n"
                        "  frequency         42 - 2150 MHz (IF)\n"
                        "  symbol rate       1000 - 45000 kS/s\n"
                        "  state             free as far as this user can see (1 process of "
                        "other users not checked)\n" +
                        r +
                        "/adapter1/frontend0\n"
                        "  name              ST STV0299 DVB-S\n"
                        "  delivery systems  DVB-S\n"
                        "  frequency         950 - no limit MHz (IF)\n"
                        "  symbol rate       1000 - no limit kS/s\n"
                        "  state             busy: open for tuning by 4242 (tzap)\n");
    // FE_GET_INFO through a read-only descriptor and nothing else: no frontend thread started.
    for (const FakeFrontend* fe : {&combined, &held})
        for (const std::string& open : fe->Calls("open")) EXPECT_EQ(open, "open ro");
    fs::remove_all(root);
}

TEST(DeviceListTest, NoCardSaysSo) {
    const auto none = dvb::ListFrontends("/nonexistent/dvb", FakeFrontend::Router({}));
    EXPECT_EQ(FormatDeviceList(none),
              "No DVB frontend found: the simulated dish is the only device.\n");
}

}  // namespace
}  // namespace quillox::cli
