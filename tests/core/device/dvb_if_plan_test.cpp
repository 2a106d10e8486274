// IF plan of the DVB device: what reaches DTV_FREQUENCY, what is refused before any ioctl, and
// how a demodulator's read-back becomes a downlink frequency again (sign and units).
#include <gtest/gtest.h>

#include <cerrno>

#include "base/tuning_code_values.h"
#include "support/fake_frontend.h"

namespace quillox::dvb {
namespace {

struct IfCase {
    const char* name;
    int32_t mhz, lofMhz, tone;
    uint32_t expectedIfKhz;  // 0: refused
};

class IfPlanTest : public ::testing::TestWithParam<IfCase> {};

TEST_P(IfPlanTest, SendsIfInKhzOrRefusesBeforeAnyIoctl) {
    const IfCase& c = GetParam();
    for (const DriverProfile* profile : LegacyProfiles()) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        int rc = rig.Tune(c.mhz, c.lofMhz, polarity::kVertical, 27500, fec::kAuto, c.tone);
        if (c.expectedIfKhz == 0) {
            EXPECT_EQ(rc, -ERANGE);
            EXPECT_TRUE(rig.fake.log().empty()) << rig.fake.log().front().text;
            int32_t mhz = -1;
            EXPECT_NE(rig.device->TunerGetFrequency(mhz), 0);
            EXPECT_EQ(mhz, -1);
        } else {
            EXPECT_EQ(rc, 0);
            auto props = rig.fake.Calls("props");
            ASSERT_EQ(props.size(), 1u);
            EXPECT_NE(props[0].find(" FREQUENCY=" + std::to_string(c.expectedIfKhz) + " "),
                      std::string::npos)
                << props[0];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bands, IfPlanTest,
    ::testing::Values(IfCase{"KuLowBandEdge", 10700, 9750, tone::kNone, 950000},
                      IfCase{"KuLow", 11494, 9750, tone::kNone, 1744000},
                      IfCase{"KuHigh", 12522, 10600, tone::k22kHz, 1922000},
                      IfCase{"KuHighTop", 12750, 10600, tone::k22kHz, 2150000},
                      IfCase{"CBandInverted", 3880, 5150, tone::kNone, 1270000},
                      IfCase{"CBandBottom", 3400, 5150, tone::kNone, 1750000},
                      IfCase{"HighFrequencyOnLowLof", 12750, 9750, tone::kNone, 0},
                      IfCase{"BelowIfRange", 10700, 10600, tone::k22kHz, 0},
                      IfCase{"NoLofStaged", 11000, 0, tone::kNone, 0},
                      IfCase{"DownlinkEqualsLof", 9750, 9750, tone::kNone, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The carrier sits 2 MHz from where the program tunes, on both sides of the LO: the device
// reports what the driver reads back, converted to the downlink. mt312 and cx24123 read back
// the request. stv0299 and s5h1420 add the derotator's offset to the frequency first asked for,
// so the core's zig-zag step that reached the carrier (1.72 and 2 MHz at 27.5 MS/s) is lost,
// and stv0299 counts its offset twice (its get_frontend adds it to the cache that a property
// read runs it on again).
struct ReadBackCase {
    const char* name;
    const DriverProfile& (*profile)();
    int32_t carrierMhz, tunedMhz, lofMhz;
    int32_t expectedMhz;
};

class ReadBackTest : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBackTest, ReportsDownlinkMhz) {
    const ReadBackCase& c = GetParam();
    DvbRig rig(c.profile());
    FakeTransponder t;
    t.ifKhz = static_cast<uint32_t>(std::abs(c.carrierMhz - c.lofMhz)) * 1000;
    rig.fake.AddTransponder(t);
    ASSERT_EQ(rig.Tune(c.tunedMhz, c.lofMhz, polarity::kVertical, 27500), 0);
    ASSERT_TRUE(rig.WaitForLock());
    int32_t mhz = 0, lof = 0;
    EXPECT_EQ(rig.device->TunerGetFrequency(mhz), 0);
    EXPECT_EQ(mhz, c.expectedMhz);
    rig.device->TunerGetLnbFrequency(lof);
    EXPECT_EQ(lof, c.lofMhz);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, ReadBackTest,
    ::testing::Values(ReadBackCase{"Stv0299Ku", Stv0299Profile, 11720, 11722, 10600, 11721},
                      ReadBackCase{"Stv0299CBand", Stv0299Profile, 3880, 3882, 5150, 3881},
                      ReadBackCase{"S5h1420Ku", S5h1420Profile, 10744, 10742, 9750, 10742},
                      ReadBackCase{"S5h1420CBand", S5h1420Profile, 3880, 3878, 5150, 3878},
                      ReadBackCase{"Mt312ReportsRequest", Mt312Profile, 11720, 11722, 10600, 11722},
                      ReadBackCase{"Cx24123ReportsRequest", Cx24123Profile, 3880, 3882, 5150,
                                   3882}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillox::dvb
