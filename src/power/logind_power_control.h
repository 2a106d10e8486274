#pragma once
// Switching the machine off through systemd-logind on D-Bus (sd-bus of libsystemd, so the core
// stays free of Qt). The three steps of the switch-off map to logind as follows:
//   OpenToken                connect to the bus and reach logind (Peer.Ping)
//   EnableShutdownPrivilege  CanPowerOff answers "yes"
//   RequestShutdown(forced)  orderly PowerOff, never interactive: nobody is there at the end
//                            of a night's job to type a password. Not forced, only after
//                            CanPowerOff has answered "yes".
//
// Only the window's main() may use the system bus. Tests give the address of a private bus, so
// nothing they run can reach the machine's own logind.
//
// Thread-safety: all calls may come from any thread; they are serialised.
#include <memory>
#include <mutex>
#include <string>

#include "platform/platform.h"

struct sd_bus;

namespace quillox {

class LogindPowerControl : public PowerControl {
public:
    // The machine's logind on the system bus. Refuses every step while QUILLOX_NO_POWEROFF or
    // CI is set in the environment, so a test run or a CI job can never switch a machine off.
    static std::unique_ptr<LogindPowerControl> OnSystemBus();
    // logind, or a stand-in for it, on the bus at a D-Bus address such as "unix:path=/tmp/b".
    static std::unique_ptr<LogindPowerControl> OnBusAt(const std::string& address);

    ~LogindPowerControl() override;
    LogindPowerControl(const LogindPowerControl&) = delete;
    LogindPowerControl& operator=(const LogindPowerControl&) = delete;

    bool OpenToken() override;
    bool EnableShutdownPrivilege() override;
    // Not forced: PowerOffWithFlags with the flag that makes even root honour blocking
    // inhibitors. Forced ("WIN 98"): PowerOff, which ignores them where logind allows that (root,
    // or polkit's power-off-ignore-inhibit). A logind older than PowerOffWithFlags gets PowerOff.
    bool RequestShutdown(bool forced) override;
    std::string FailureReason() const override;

private:
    explicit LogindPowerControl(std::string address);
    // All under mutex_.
    bool Connect();  // keeps the connection of an earlier step
    void Disconnect();
    bool AskCanPowerOff();
    bool Fail(std::string reason);

    const std::string address_;  // empty: the system bus
    mutable std::mutex mutex_;
    sd_bus* bus_ = nullptr;
    std::string canPowerOff_;  // logind's answer in this switch-off; empty until asked
    std::string reason_;
};

}  // namespace quillox
