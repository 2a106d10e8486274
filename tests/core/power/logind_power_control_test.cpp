// The logind client against python3-dbusmock's logind on a private bus: what it asks, what it
// then calls, and why it fails. The machine's own system bus is never used.
#include "power/logind_power_control.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

// private_logind.py for the lifetime of the object.
class PrivateLogind {
public:
    explicit PrivateLogind(const std::string& answer, const std::string& version = "older")
        : out_(popen(("exec " QUILLOX_DBUSMOCK_PYTHON " " QUILLOX_PRIVATE_LOGIND " " + answer +
                      " " + version + " " + dir_.str() + "calls")
                         .c_str(),
                     "r")) {
        char line[512] = {};
        if (out_ != nullptr && std::fgets(line, sizeof line, out_) != nullptr)
            std::istringstream(line) >> address >> pid_;
    }
    ~PrivateLogind() {
        if (pid_ > 0) kill(pid_, SIGTERM);
        if (out_ != nullptr) pclose(out_);
    }
    Texts Calls() const {  // "CanPowerOff", "PowerOff False" ... as logind received them
        Texts calls;
        std::ifstream log(dir_.path() / "calls");
        for (std::string stamp, call; log >> stamp && std::getline(log >> std::ws, call);)
            if (call.rfind("CanPowerOff", 0) == 0 || call.rfind("PowerOff", 0) == 0)
                calls.push_back(call);
        return calls;
    }
    std::string address;  // empty when it did not come up

private:
    TempDir dir_;
    FILE* out_;
    pid_t pid_ = 0;
};

struct Case {
    const char *answer, *version;
    bool forced, privilege, shutdown;
    Texts calls;
    const char* reason;
};

class LogindTest : public ::testing::TestWithParam<Case> {};

// The steps as Save & Shutdown takes them: the forced variant has no check before it.
TEST_P(LogindTest, SwitchesOffOnlyAfterLogindSaysYesUnlessForced) {
    const Case& c = GetParam();
    PrivateLogind logind(c.answer, c.version);
    ASSERT_NE(logind.address, "") << "python3-dbusmock (scripts/install-deps) did not start";
    const auto power = LogindPowerControl::OnBusAt(logind.address);
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
        Case{"yes", "newer", false, true, true, {"CanPowerOff", "PowerOffWithFlags 1"}, ""},
        Case{"yes", "older", false, true, true, {"CanPowerOff", "PowerOff False"}, ""},
        Case{"no", "newer", false, false, false, {"CanPowerOff"}, "CanPowerOff: no"},
        Case{"challenge", "newer", false, false, false, {"CanPowerOff"}, "authentication"},
        Case{"no", "newer", true, false, true, {"PowerOff False"}, ""},
        Case{"absent", "older", true, false, false, {}, "org.freedesktop.login1"}));

// A broken guard could only reach the mock here: the system bus is pointed at the private one.
TEST(LogindGuardTest, TheSystemBusClientRefusesWhileTheGuardIsSet) {
    PrivateLogind logind("yes");
    ASSERT_NE(logind.address, "");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address.c_str(), 1);
    setenv("QUILLOX_NO_POWEROFF", "1", 1);
    const auto power = LogindPowerControl::OnSystemBus();
    EXPECT_FALSE(power->OpenToken() || power->EnableShutdownPrivilege());
    EXPECT_NE(power->FailureReason().find("QUILLOX_NO_POWEROFF"), std::string::npos);
    EXPECT_TRUE(logind.Calls().empty());
    unsetenv("QUILLOX_NO_POWEROFF");
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace quillox::test
