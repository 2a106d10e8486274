// The logind client against a real D-Bus logind interface (python3-dbusmock's template) on a
// private bus: what it asks, what it then calls, and what it says when it cannot.
#include "power/logind_power_control.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/power/private_logind.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

struct SwitchOffCase {
    const char* canPowerOff;
    bool newerLogind;  // has PowerOffWithFlags
    bool forced;
    bool privilege, shutdown;
    Texts calls;
    const char* reason;  // part of the reason after a failure
};

class LogindTest : public ::testing::TestWithParam<SwitchOffCase> {};

// The steps as a job's Save & Shutdown takes them: the forced variant skips the first two.
TEST_P(LogindTest, AsksThenSwitchesOffOnlyWhenAllowed) {
    const SwitchOffCase& c = GetParam();
    PrivateLogind logind(c.canPowerOff);
    ASSERT_EQ(logind.error(), "");
    if (c.newerLogind) logind.AddPowerOffWithFlags();
    const auto power = LogindPowerControl::OnBusAt(logind.address());
    if (!c.forced) {
        EXPECT_TRUE(power->OpenToken()) << power->FailureReason();
        EXPECT_EQ(power->EnableShutdownPrivilege(), c.privilege);
    }
    EXPECT_EQ(power->RequestShutdown(c.forced), c.shutdown);
    EXPECT_EQ(logind.Calls(), c.calls);
    EXPECT_NE(power->FailureReason().find(c.reason), std::string::npos) << power->FailureReason();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LogindTest,
    ::testing::Values(
        SwitchOffCase{"yes", true, false, true, true, {"CanPowerOff", "PowerOffWithFlags 1"}, ""},
        SwitchOffCase{"yes", false, false, true, true, {"CanPowerOff", "PowerOff False"}, ""},
        SwitchOffCase{"no", true, false, false, false, {"CanPowerOff"}, "CanPowerOff: no"},
        SwitchOffCase{"challenge", true, false, false, false, {"CanPowerOff"}, "authentication"},
        SwitchOffCase{"no", true, true, false, true, {"PowerOff False"}, ""}));

TEST(LogindAbsentTest, EveryStepFailsWithTheBussReason) {
    PrivateLogind bus("yes", /*withMock=*/false);
    ASSERT_EQ(bus.error(), "");
    const auto power = LogindPowerControl::OnBusAt(bus.address());
    EXPECT_FALSE(power->OpenToken());
    EXPECT_NE(power->FailureReason().find("logind cannot be reached"), std::string::npos);
    EXPECT_FALSE(power->EnableShutdownPrivilege());
    EXPECT_FALSE(power->RequestShutdown(true));
    EXPECT_NE(power->FailureReason().find("org.freedesktop.login1"), std::string::npos)
        << power->FailureReason();

    const auto nowhere = LogindPowerControl::OnBusAt("unix:path=" + bus.address() + "-none");
    EXPECT_FALSE(nowhere->OpenToken());
    EXPECT_NE(nowhere->FailureReason().find("cannot connect"), std::string::npos);
}

// The system bus is pointed at a private one, so even a broken guard could only reach the
// mock; the power-off request itself is never made on a system-bus client in any test.
TEST(LogindGuardTest, TheSystemBusClientRefusesWhileTheGuardIsSet) {
    PrivateLogind logind("yes");
    ASSERT_EQ(logind.error(), "");
    ASSERT_EQ(setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address().c_str(), 1), 0);
    ASSERT_EQ(setenv("QUILLOX_NO_POWEROFF", "1", 1), 0);
    const auto power = LogindPowerControl::OnSystemBus();
    EXPECT_FALSE(power->OpenToken());
    EXPECT_FALSE(power->EnableShutdownPrivilege());
    EXPECT_NE(power->FailureReason().find("QUILLOX_NO_POWEROFF"), std::string::npos);
    EXPECT_TRUE(logind.Calls().empty());
    unsetenv("QUILLOX_NO_POWEROFF");
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace quillox::test
