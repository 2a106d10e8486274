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
    auto other = held.NewIo();
    ASSERT_EQ(other->open(held.path(), true), 0);

    const std::string text = FormatDeviceList(
        dvb::ListFrontends(root.string(), FakeFrontend::Router({&combined, &held})));
    const std::string r = root.string();
    EXPECT_EQ(text, r +
                        "/adapter0/frontend0\n"
                        "  name              Test DVB-T/T2/C/S/S2 demodulator\n"
                        "  delivery systems  DVB-T, DVB-T2, DVB-C, DVB-S, DVB-S2\n"
                        "  frequency         42 - 2150 MHz (IF)\n"
                        "  symbol rate       1000 - 45000 kS/s\n"
                        "  state             free\n" +
                        r +
                        "/adapter1/frontend0\n"
                        "  name              ST STV0299 DVB-S\n"
                        "  delivery systems  DVB-S\n"
                        "  frequency         950 - no limit MHz (IF)\n"
                        "  symbol rate       1000 - no limit kS/s\n"
                        "  state             busy: another program has it open\n");
    EXPECT_FALSE(combined.openForWriting());  // looked at, then let go
    fs::remove_all(root);
}

TEST(DeviceListTest, NoCardSaysSo) {
    const auto none = dvb::ListFrontends("/nonexistent/dvb", FakeFrontend::Router({}));
    EXPECT_EQ(FormatDeviceList(none),
              "No DVB frontend found: the simulated dish is the only device.\n");
}

}  // namespace
}  // namespace quillox::cli
