// Reading a frontend recording: what the calls gave back comes out as the kernel gave it, and a
// damaged file is refused with its line and what is wrong, by the parser and by the factory.
#include "device/dvb/frontend_recording.h"

#include <gtest/gtest.h>

#include "device/device_factory.h"
#include "support/test_platform.h"

namespace quillox::dvb {
namespace {

const std::string kHead =
    "quillox-frontend-recording 1\n0 open /dev/dvb/adapter0/frontend0 rw -> 0\n";

TEST(FrontendRecordingTest, ReadsWhatTheCallsGaveBack) {
    const RecordingRead read = ParseRecording(
        kHead +
        "# a comment\r\n\n"
        "7 get ENUM_DELSYS STAT_CNR FREQUENCY -> 0 ENUM_DELSYS=5,6 STAT_CNR=1:-1500,2:40000 "
        "FREQUENCY=1612000\n"
        "9 info -> 0 name=ST%20STV0299%20DVB-S type=0 frequency_min=950000 "
        "frequency_max=2150000 frequency_stepsize=125 frequency_tolerance=0 "
        "symbol_rate_min=1000000 symbol_rate_max=45000000 symbol_rate_tolerance=500 "
        "notifier_delay=0 caps=0x400006bf\n"
        "12 snr -> 524\n15 status -> EAGAIN\n");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.calls.size(), 5u);
    EXPECT_EQ(OpenedPath(read.calls[0]), "/dev/dvb/adapter0/frontend0");
    const RecordedCall& get = read.calls[1];
    EXPECT_EQ(get.line, 5);
    EXPECT_EQ(get.call, "get ENUM_DELSYS STAT_CNR FREQUENCY");
    ASSERT_EQ(get.props.size(), 3u);
    EXPECT_EQ(get.props[0].u.buffer.len, 2u);
    EXPECT_EQ(get.props[0].u.buffer.data[1], SYS_DVBS2);
    const dtv_fe_stats cnr = get.props[1].u.st;
    const dtv_stats db = cnr.stat[0], relative = cnr.stat[1];
    EXPECT_EQ(cnr.len, 2);
    EXPECT_EQ(db.scale, FE_SCALE_DECIBEL);
    EXPECT_EQ(db.svalue, -1500);
    EXPECT_EQ(relative.uvalue, 40000u);
    EXPECT_EQ(get.props[2].u.data, 1612000u);
    EXPECT_STREQ(read.calls[2].info.name, "ST STV0299 DVB-S");
    EXPECT_EQ(read.calls[2].info.caps, 0x400006bfu);
    EXPECT_EQ(read.calls[3].result, 524);
    EXPECT_EQ(read.calls[4].result, EAGAIN);
    EXPECT_EQ(read.calls[4].ms, 15);
}

TEST(FrontendRecordingTest, DamagedFilesAreRefusedWithTheLine) {
    const struct {
        std::string text, error;
    } cases[] = {
        {"",
         "line 1: not a frontend recording (the first line must be "
         "\"quillox-frontend-recording 1\")"},
        {std::string("\x7f"
                     "ELF\x02\x01\0\0",
                     8),
         "line 1: not a frontend recording"},
        {"quillox-frontend-recording 2\n",
         "line 1: recording format \"2\"; this program reads version 1"},
        {kHead + "x5 status -> 0 0x1f\n", "line 3: 'x5' is no time in ms"},
        {kHead + "5 status 0x1f\n", "line 3: a line is \"MS CALL [ARGUMENTS] -> RESULT [VALUES]\""},
        {kHead + "5 tune -> 0\n", "line 3: unknown call 'tune'"},
        {kHead + "5 status -> EWHAT\n",
         "line 3: 'EWHAT' is no result (0, an errno name or number)"},
        {kHead + "5 snr -> 0 70000\n", "line 3: 'snr' needs one value"},
        {kHead + "5 status -> EAGAIN 0x1f\n", "line 3: a failed call gives nothing back"},
        {kHead + "5 get STAT_CNR -> 0 STAT_CNR=2\n",
         "line 3: 'STAT_CNR=2' is no value of STAT_CNR"},
        {kHead + "5 get FREQUENCY -> 0\n", "line 3: 'get' needs one value per property"},
        {kHead + "5 info -> 0 name=x%2\n", "line 3: 'name=x%2' is no value of info"},
        {kHead + "5 voltage 13 -> 0\n4 tone off -> 0\n", "line 4: the time goes back"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const RecordingRead read = ParseRecording(c.text);
        EXPECT_EQ(read.error.substr(0, c.error.size()), c.error) << c.text;
        EXPECT_TRUE(read.calls.empty());
    }
    // The factory names the file too, and opens nothing.
    const std::string file = dir.str() + "damaged.rec";
    test::WriteFileBytes(file, cases[5].text);
    VirtualClock clock;
    DeviceSettings settings;
    settings.kind = "replay:" + file;
    const DeviceOpenResult opened = SystemDeviceFactory(clock).Open(settings);
    EXPECT_FALSE(opened.device);
    EXPECT_EQ(opened.failedStep, 3);
    EXPECT_EQ(opened.detail, file + ": line 3: unknown call 'tune'");
}

}  // namespace
}  // namespace quillox::dvb
