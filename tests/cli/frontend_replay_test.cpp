// A job recorded on the fake frontend and played back: the same settings give the same result
// lines without the card; a run that differs, or a recording cut short, is refused with the line
// and the calls named.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/job_runner.h"
#include "device/dvb/dvb_open.h"
#include "device/dvb/frontend_recorder.h"
#include "support/fake_frontend.h"
#include "support/form_rig.h"

namespace quillox {
namespace {

constexpr const char* kPath = "/dev/dvb/adapter0/frontend0";

// The first method over vertical 10950..11050 MHz from the first Apply on, as the window runs
// it: "1 - FIND", then "2- Find VERT S/Rs". Returns the transponder lines.
std::vector<std::string> RunFirstMethod(test::FormRig& r, const char* startMhz) {
    r.Start();
    r.form->ed_f_start.setText(startMhz);
    r.form->ed_f_end.setText("11050");
    for (const char* job : {"1 - FIND", "2- Find VERT S/Rs"})
        EXPECT_TRUE(cli::RunJob(*r.form, *cli::FindJob(job), false).started) << job;
    return r.form->r_ed_trans_good.lines();
}

struct ReplayCase {
    const char* name;
    const char* startMhz;  // of the replayed run; the recording starts at 10950
    bool runJob;           // false: the window opens and closes, no job
    int keepLines;         // of the recording file; 0: all of it
    const char* problem;   // what the replay reports (a regular expression), "" none
};

class ReplayTest : public testing::TestWithParam<ReplayCase> {};

TEST_P(ReplayTest, ReplaysTheRecordedJobOrNamesTheFirstDifference) {
    const ReplayCase& c = GetParam();
    test::TempDir dir;
    const std::string file = dir.str() + "session.rec";
    std::vector<std::string> recorded;
    {
        test::FormRig r;
        dvb::FakeFrontend fake(dvb::Stv0299Profile(), r.rig.clock, kPath);
        dvb::FakeTransponder carrier;
        carrier.ifKhz = 1250000;  // 11000 MHz vertical, low band
        fake.AddTransponder(carrier);
        std::string error;
        auto recorder = dvb::FrontendRecorder::Create(file, r.rig.clock, error);
        ASSERT_TRUE(recorder) << error;
        auto opened = dvb::OpenDvbFrontend(kPath, r.rig.clock,
                                           dvb::RecordingFactory(recorder, fake.Factory()));
        ASSERT_TRUE(opened.device) << opened.error;
        r.rig.devices.device = std::move(opened.device);
        recorded = RunFirstMethod(r, "10950");
        // The device closes the frontend before the fake goes.
        r.form->tunerSlot().Detach().reset();
        EXPECT_THAT(recorded, testing::ElementsAre(testing::HasSubstr("11000")));
    }
    if (c.keepLines > 0) {  // the recording of a run that crashed
        std::istringstream in(test::ReadFileBytes(file));
        std::string kept, line;
        for (int i = 0; i < c.keepLines && std::getline(in, line); ++i) kept += line + "\n";
        test::WriteFileBytes(file, kept);
    }

    test::FormRig r;
    DeviceSettings settings;
    settings.kind = "replay:" + file;
    DeviceOpenResult opened = SystemDeviceFactory(r.rig.clock).Open(settings);
    ASSERT_TRUE(opened.device) << opened.detail;
    EXPECT_EQ(opened.detail, "ST STV0299 DVB-S, " + std::string(kPath) + ", replayed from " + file);
    r.rig.devices.device = std::move(opened.device);
    if (c.runJob) {
        const std::vector<std::string> replayed = RunFirstMethod(r, c.startMhz);
        if (*c.problem == '\0') {
            EXPECT_EQ(replayed, recorded);
        }
    } else {
        r.Start();
    }
    r.form->tunerSlot().Detach().reset();  // the device closes the frontend
    EXPECT_THAT(opened.sessionProblem(), testing::MatchesRegex(c.problem));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ReplayTest,
    testing::Values(
        ReplayCase{"Same", "10950", true, 0, ""},
        ReplayCase{"OtherStart", "10955", true, 0,
                   "replay of .*: line [0-9]+: expected \"set .*FREQUENCY=1200000 .*\", "
                   "got \"set .*FREQUENCY=1205000 .*\""},
        ReplayCase{"NoJob", "10950", false, 0,  // the device switches the LNB off at its end
                   "replay of .*: line [0-9]+: expected \"voltage 13\", got \"voltage off\""},
        ReplayCase{"CutShort", "10950", true, 40,
                   "replay of .*: the recording ends at line 40, got \".*\""}),
    [](const testing::TestParamInfo<ReplayCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillox
