#pragma once
// A platform for the benchmarks: nobody answers, nothing is opened, and the machine is never
// switched off (every power step refuses). The program and home folders are a temporary folder
// removed with the platform.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "device/device_factory.h"
#include "device/sim/scenario.h"
#include "device/sim/simulated_dish.h"
#include "platform/platform.h"

namespace quillox::bench {

class SilentDialogs : public Dialogs {
public:
    void ErrorBox(const std::string&) override {}
    void MessageBox(const std::string&) override {}
    bool ConfirmBox(const std::string&) override { return false; }
    std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
    std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }
    void ShowModal(Window&) override {}
};

class SilentShell : public Shell {
public:
    void Open(const std::string&) override {}
};

class RefusingPower : public PowerControl {
public:
    bool OpenToken() override { return false; }
    bool EnableShutdownPrivilege() override { return false; }
    bool RequestShutdown(bool) override { return false; }
};

// Opens nothing: the benchmarks attach their simulated dish to the form themselves.
class NoDevices : public DeviceFactory {
public:
    DeviceOpenResult Open(const DeviceSettings&) override {
        DeviceOpenResult result;
        result.failedStep = 1;
        result.detail = "no device in a benchmark";
        return result;
    }
};

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillox-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string str() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

struct BenchPlatform {
    explicit BenchPlatform(Clock& clock)
        : platform{dialogs, clock, devices, shell, power, folder.str(), folder.str()} {}

    SilentDialogs dialogs;
    SilentShell shell;
    RefusingPower power;
    NoDevices devices;
    ScratchFolder folder;
    Platform platform;
};

// The built-in satellite on a DVB-S card, as the window's default device shows it.
inline std::unique_ptr<TunerDevice> BuiltInDish(Clock& clock) {
    return std::make_unique<sim::SimulatedDish>(sim::BuiltInScenario(), clock, 1);
}

}  // namespace quillox::bench
