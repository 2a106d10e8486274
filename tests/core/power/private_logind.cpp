#include "core/power/private_logind.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

extern char** environ;

namespace quillox::test {
namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
            int stdoutFd) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envText(extraEnv);
    for (char** e = environ; *e != nullptr; ++e) envText.emplace_back(*e);
    std::vector<char*> env;
    for (std::string& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

}  // namespace

PrivateLogind::PrivateLogind(const std::string& canPowerOff, bool withMock) {
    int out[2];
    if (pipe(out) != 0) {
        error_ = "no pipe";
        return;
    }
    daemon_ =
        Spawn({QUILLOX_DBUS_DAEMON, "--session", "--nofork", "--print-address=1"}, {}, out[1]);
    close(out[1]);
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') address_ += c;
    close(out[0]);
    if (daemon_ < 0 || address_.empty()) {
        error_ = "dbus-daemon did not start (" QUILLOX_DBUS_DAEMON ")";
        return;
    }
    if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address_.c_str()) < 0 ||
        sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0) {
        error_ = "cannot connect to the private bus";
        return;
    }
    if (!withMock) return;
    mock_ = Spawn({QUILLOX_DBUSMOCK_PYTHON, "-m", "dbusmock", "--template", "logind", "-l",
                   dir_.str() + "calls.log", "-p", "{\"CanPowerOff\": \"" + canPowerOff + "\"}"},
                  {"DBUS_SYSTEM_BUS_ADDRESS=" + address_}, -1);
    if (mock_ < 0 || !WaitForMock())
        error_ = "python3-dbusmock's logind did not come up (" QUILLOX_DBUSMOCK_PYTHON
                 "; scripts/install-deps installs it)";
}

PrivateLogind::~PrivateLogind() {
    sd_bus_flush_close_unref(bus_);
    End(mock_);
    End(daemon_);
}

// The mock takes its name before it has its methods; its properties come last.
bool PrivateLogind::WaitForMock() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(mock_, nullptr, WNOHANG) == mock_) {
            mock_ = -1;
            return false;
        }
        sd_bus_error error = SD_BUS_ERROR_NULL;
        int hint = 0;
        const int r =
            sd_bus_get_property_trivial(bus_, kLogind, kPath, "org.freedesktop.login1.Manager",
                                        "PreparingForShutdown", &error, 'b', &hint);
        sd_bus_error_free(&error);
        if (r >= 0) return true;
        sd_bus_wait(bus_, 20000);  // µs: the mock's start-up is not ours to hurry
    }
    return false;
}

void PrivateLogind::AddPowerOffWithFlags() {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_call_method(bus_, kLogind, kPath, "org.freedesktop.DBus.Mock", "AddMethod", &error,
                       nullptr, "sssss", "org.freedesktop.login1.Manager", "PowerOffWithFlags", "t",
                       "", "");
    sd_bus_error_free(&error);
}

std::vector<std::string> PrivateLogind::Calls() const {
    std::vector<std::string> calls;
    std::ifstream log(dir_.path() / "calls.log");
    for (std::string line; std::getline(log, line);) {
        const std::string call = line.substr(line.find(' ') + 1);  // after the time stamp
        if (call.rfind("CanPowerOff", 0) == 0 || call.rfind("PowerOff", 0) == 0)
            calls.push_back(call);
    }
    return calls;
}

}  // namespace quillox::test
