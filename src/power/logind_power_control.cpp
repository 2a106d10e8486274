#include "power/logind_power_control.h"

#include <systemd/sd-bus.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quillox {
namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr uint64_t kRootChecksInhibitors = 1;  // SD_LOGIND_ROOT_CHECK_INHIBITORS

// Owns an sd-bus error and the reply of one call.
struct Call {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ~Call() {
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
    }
    std::string Reason(int result) const {
        if (error.message != nullptr && *error.message != '\0') return error.message;
        if (error.name != nullptr) return error.name;
        return std::strerror(-result);
    }
};

bool SetInEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::string CanPowerOffMeaning(const std::string& answer) {
    if (answer == "challenge")
        return "logind: switching off needs authentication (CanPowerOff: challenge), and nobody "
               "is there to give it";
    if (answer == "no") return "logind: this user may not switch the machine off (CanPowerOff: no)";
    if (answer == "na") return "logind: switching off is not supported here (CanPowerOff: na)";
    return "logind: CanPowerOff answered \"" + answer + "\"";
}

}  // namespace

std::unique_ptr<LogindPowerControl> LogindPowerControl::OnSystemBus() {
    return std::unique_ptr<LogindPowerControl>(new LogindPowerControl(""));
}

std::unique_ptr<LogindPowerControl> LogindPowerControl::OnBusAt(const std::string& address) {
    return std::unique_ptr<LogindPowerControl>(new LogindPowerControl(address));
}

LogindPowerControl::LogindPowerControl(std::string address) : address_(std::move(address)) {}

LogindPowerControl::~LogindPowerControl() {
    Disconnect();
}

bool LogindPowerControl::Fail(std::string reason) {
    reason_ = std::move(reason);
    return false;
}

void LogindPowerControl::Disconnect() {
    bus_ = sd_bus_flush_close_unref(bus_);
}

bool LogindPowerControl::Connect() {
    if (bus_ != nullptr) return true;
    int r = 0;
    if (address_.empty()) {
        if (SetInEnvironment("QUILLOX_NO_POWEROFF") || SetInEnvironment("CI"))
            return Fail("switching off is disabled here (QUILLOX_NO_POWEROFF or CI is set)");
        r = sd_bus_open_system(&bus_);
    } else {
        r = sd_bus_new(&bus_);
        if (r >= 0) r = sd_bus_set_address(bus_, address_.c_str());
        if (r >= 0) r = sd_bus_set_bus_client(bus_, 1);
        if (r >= 0) r = sd_bus_start(bus_);
    }
    if (r < 0) {
        Disconnect();
        return Fail(std::string("cannot connect to the system bus: ") + std::strerror(-r));
    }
    return true;
}

// A fresh connection for each switch-off, so one that broke since the last job does not fail
// this one. Ping also starts logind where it is bus-activated.
bool LogindPowerControl::OpenToken() {
    std::lock_guard lock(mutex_);
    Disconnect();
    canPowerOff_.clear();
    if (!Connect()) return false;
    Call call;
    const int r = sd_bus_call_method(bus_, kService, kPath, "org.freedesktop.DBus.Peer", "Ping",
                                     &call.error, &call.reply, "");
    if (r < 0) return Fail("logind cannot be reached: " + call.Reason(r));
    return true;
}

bool LogindPowerControl::EnableShutdownPrivilege() {
    std::lock_guard lock(mutex_);
    return AskCanPowerOff();
}

// Not forced, the request follows the check: a user whom logind does not let switch off is not
// made to try (logind would refuse, or polkit would wait for a password nobody types).
bool LogindPowerControl::RequestShutdown(bool forced) {
    std::lock_guard lock(mutex_);
    if (!Connect()) return false;
    const int interactive = 0;
    if (!forced) {
        if (canPowerOff_.empty() && !AskCanPowerOff()) return false;
        if (canPowerOff_ != "yes") return Fail(CanPowerOffMeaning(canPowerOff_));
        Call call;
        const int r = sd_bus_call_method(bus_, kService, kPath, kManager, "PowerOffWithFlags",
                                         &call.error, &call.reply, "t", kRootChecksInhibitors);
        if (r >= 0) return true;
        if (!sd_bus_error_has_name(&call.error, SD_BUS_ERROR_UNKNOWN_METHOD))
            return Fail("logind: " + call.Reason(r));
    }
    Call call;
    const int r = sd_bus_call_method(bus_, kService, kPath, kManager, "PowerOff", &call.error,
                                     &call.reply, "b", interactive);
    if (r < 0) return Fail("logind: " + call.Reason(r));
    return true;
}

bool LogindPowerControl::AskCanPowerOff() {
    canPowerOff_.clear();
    if (!Connect()) return false;
    Call call;
    int r = sd_bus_call_method(bus_, kService, kPath, kManager, "CanPowerOff", &call.error,
                               &call.reply, "");
    if (r < 0) return Fail("logind: " + call.Reason(r));
    const char* answer = nullptr;
    r = sd_bus_message_read(call.reply, "s", &answer);
    if (r < 0 || answer == nullptr) return Fail("logind: CanPowerOff gave no answer");
    canPowerOff_ = answer;
    if (canPowerOff_ != "yes") return Fail(CanPowerOffMeaning(canPowerOff_));
    return true;
}

std::string LogindPowerControl::FailureReason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

}  // namespace quillox
