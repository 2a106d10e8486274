// Error paths of the DVB device: opening (busy, missing, not DVB-S), a tune the kernel refuses,
// interrupted ioctls, an overloaded LNB supply, and the LNB power at the device's end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "base/tuning_code_values.h"
#include "device/dvb/dvb_open.h"
#include "platform/stop_signal.h"
#include "support/fake_frontend.h"

namespace quillox::dvb {
namespace {

TEST(DvbOpenTest, SecondWriterGetsPathAndBusyReason) {
    DvbRig first(Stv0299Profile());
    ASSERT_TRUE(first.device);
    auto second = OpenDvbFrontend(first.fake.path(), first.clock, first.fake.Factory());
    EXPECT_FALSE(second.device);
    EXPECT_EQ(second.error, "/dev/dvb/adapter0/frontend0: Device or resource busy");
}

TEST(DvbOpenTest, MissingDeviceNamesPathAndReason) {
    VirtualClock clock;
    EXPECT_EQ(FrontendPath(3, 1), "/dev/dvb/adapter3/frontend1");
    auto result = OpenDvbFrontend(97, 5, clock);  // the real seam, on a node that is not there
    EXPECT_FALSE(result.device);
    EXPECT_EQ(result.error, "/dev/dvb/adapter97/frontend5: No such file or directory");
}

TEST(DvbOpenTest, RefusesATerrestrialFrontendAndReleasesIt) {
    VirtualClock clock;
    FakeFrontend fake(DvbtProfile(), clock, "/dev/dvb/adapter0/frontend0");
    auto result = OpenDvbFrontend(fake.path(), clock, fake.Factory());
    EXPECT_FALSE(result.device);
    EXPECT_EQ(result.error, "/dev/dvb/adapter0/frontend0: not a DVB-S frontend");
    EXPECT_FALSE(fake.openForWriting());
}

// Auto: satellite frontends in numeric order, the busy one skipped (another program holds it),
// the terrestrial ones never opened for writing.
TEST(DvbOpenTest, AutoTakesTheFirstFreeSatelliteFrontend) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("quillox_dvb_" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* node : {"adapter0/frontend0", "adapter2/frontend0", "adapter10/frontend0",
                             "adapter2/frontend1", "adapter2/demux0"}) {
        fs::create_directories((root / node).parent_path());
        std::ofstream(root / node).put('\0');
    }
    VirtualClock clock;
    auto at = [&](const char* node) { return (root / node).string(); };
    FakeFrontend terrestrial(DvbtProfile(), clock, at("adapter0/frontend0"));
    FakeFrontend sat10(Stv0299Profile(), clock, at("adapter10/frontend0"));
    FakeFrontend sat2(S5h1420Profile(), clock, at("adapter2/frontend1"));
    FakeFrontend terrestrial2(DvbtProfile(), clock, at("adapter2/frontend0"));
    const auto router = FakeFrontend::Router({&terrestrial, &sat10, &sat2, &terrestrial2});
    auto holder = sat2.NewIo();
    ASSERT_EQ(holder->open(sat2.path(), true), 0);

    auto opened = OpenFirstFreeDvbsFrontend(root.string(), clock, router);
    ASSERT_TRUE(opened.device) << opened.error;
    EXPECT_EQ(opened.description.path, sat10.path());
    EXPECT_TRUE(sat10.openForWriting());
    EXPECT_TRUE(terrestrial.Calls("open rw").empty());

    // Now both are held: nothing to take, and the reason names them.
    auto none = OpenFirstFreeDvbsFrontend(root.string(), clock, router);
    EXPECT_FALSE(none.device);
    EXPECT_NE(none.error.find(sat2.path() + ": Device or resource busy"), std::string::npos);
    EXPECT_NE(none.error.find(sat10.path() + ": Device or resource busy"), std::string::npos);

    auto empty = OpenFirstFreeDvbsFrontend((root / "none").string(), clock, router);
    EXPECT_FALSE(empty.device);
    EXPECT_TRUE(empty.error.empty());
    fs::remove_all(root);
}

// The device's own range check passes (FE_GET_INFO is generous), the kernel's does not.
TEST(DvbErrorsTest, TuneRefusedByKernelReadsAsNoSignal) {
    DriverProfile narrow = Stv0299Profile();
    narrow.freqMaxKhz = 2000000;
    VirtualClock clock;
    FakeFrontend fake(narrow, clock, "/dev/dvb/adapter0/frontend0");
    fake.ReportLimits(950000, 2150000);
    FakeTransponder t;
    t.ifKhz = 2100000;
    fake.AddTransponder(t);
    auto opened = OpenDvbFrontend(fake.path(), clock, fake.Factory());
    ASSERT_TRUE(opened.device);
    TunerDevice& device = *opened.device;
    device.TunerSetFrequency(11850);
    device.TunerSetLnbFrequency(9750);
    device.TunerSetPolarity(polarity::kVertical);
    device.TunerSetSymbolRate(27500);
    EXPECT_EQ(device.TunerCommit(1), -EINVAL);
    clock.Advance(1000);
    device.TunerRefreshStatus();
    int32_t quality = -1, mhz = -1;
    device.TunerGetSignalQuality(quality);
    EXPECT_EQ(quality, 0);
    EXPECT_NE(device.TunerGetFrequency(mhz), 0);
    EXPECT_EQ(mhz, -1);
}

TEST(DvbErrorsTest, InterruptedCallsAreRepeated) {
    DvbRig rig(Stv0299Profile());
    rig.fake.FailNext("voltage", EINTR, 2);
    rig.fake.FailNext("diseqc", EINTR);
    rig.fake.FailNext("props", EINTR);
    EXPECT_EQ(rig.Tune(10900, 9750, polarity::kHorizontal, 27500, fec::kAuto, tone::kNone,
                       diseqc::kPosAOptA),
              0);
    EXPECT_EQ(rig.fake.Calls("voltage 18").size(), 3u);
    EXPECT_EQ(rig.fake.Calls("diseqc").size(), 3u);  // first, its retry, the repeat
    EXPECT_EQ(rig.fake.Calls("props").size(), 2u);
    EXPECT_EQ(rig.fake.tunes(), 1);
}

TEST(DvbErrorsTest, FailedIoctlIsReportedAndLnbControlResentNextTime) {
    DvbRig rig(Mt312Profile());
    rig.fake.FailNext("diseqc", EIO);
    EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                       diseqc::kPosBOptA),
              -EIO);
    EXPECT_EQ(rig.fake.tunes(), 0);
    rig.fake.ClearLog();
    EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                       diseqc::kPosBOptA),
              0);
    EXPECT_EQ(rig.fake.Calls("diseqc"),
              (std::vector<std::string>{"diseqc e0 10 38 f4", "diseqc e1 10 38 f4"}));
}

TEST(DvbErrorsTest, Isl6421OverloadLeavesLnbOffAndSaysSo) {
    for (const DriverProfile* profile : {&Cx24123Profile(), &S5h1420Profile()}) {
        SCOPED_TRACE(profile->name);
        DvbRig rig(*profile);
        rig.fake.SetOverload(true);
        const int64_t before = rig.clock.MonotonicMs();
        EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                           diseqc::kSimpleB),
                  -EINVAL);
        EXPECT_GE(rig.clock.MonotonicMs() - before, 1000);
        EXPECT_EQ(rig.fake.Calls(), std::vector<std::string>{"voltage 13"});
        int32_t pol = -1;
        rig.device->TunerGetPolarity(pol);
        EXPECT_EQ(pol, polarity::kOff);
        rig.device->TunerRefreshStatus();
        EXPECT_EQ(rig.Quality(), 0);

        rig.fake.SetOverload(false);  // the short is gone: the same request works
        EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                           diseqc::kSimpleB),
                  0);
        EXPECT_EQ(rig.fake.voltage(), SEC_VOLTAGE_13);
    }
}

TEST(DvbErrorsTest, FrontendStaysOpenAndLnbPowerGoesOffAtTheEnd) {
    DvbRig rig(Cx24123Profile());
    ASSERT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500), 0);
    for (int i = 0; i < 3; ++i) rig.device->TunerRefreshStatus();
    EXPECT_TRUE(rig.fake.Calls("open").empty());
    EXPECT_TRUE(rig.fake.Calls("close").empty());
    rig.fake.ClearLog();
    rig.device.reset();
    EXPECT_EQ(rig.fake.Calls(), (std::vector<std::string>{"voltage off", "close"}));
    EXPECT_FALSE(rig.fake.openForWriting());
}

}  // namespace
}  // namespace quillox::dvb

namespace quillox::dvb {
namespace {

// A job stopped during a guard time leaves the switch half-addressed: the next commit must send
// the whole LNB sequence again rather than trust it.
TEST(DvbErrorsTest, StopDuringGuardTimeForcesFullResend) {
    DvbRig rig(Stv0299Profile());
    StopSignal stop;
    SetCurrentStopSignal(&stop);
    stop.Request();
    EXPECT_THROW(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                          diseqc::kPosBOptB),
                 JobStopped);
    SetCurrentStopSignal(nullptr);
    EXPECT_TRUE(rig.fake.Calls("diseqc").empty());
    rig.fake.ClearLog();
    EXPECT_EQ(rig.Tune(10900, 9750, polarity::kVertical, 27500, fec::kAuto, tone::kNone,
                       diseqc::kPosBOptB),
              0);
    EXPECT_EQ(rig.fake.Calls(),
              (std::vector<std::string>{"voltage 13", "tone off", "diseqc e0 10 38 fc",
                                        "diseqc e1 10 38 fc",
                                        "props CLEAR DELSYS=5 MODULATION=0 ROLLOFF=0 "
                                        "FREQUENCY=1150000 SYMBOL_RATE=27500000 INNER_FEC=9 "
                                        "INVERSION=2 TUNE"}));
}

}  // namespace
}  // namespace quillox::dvb
