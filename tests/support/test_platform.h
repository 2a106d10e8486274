#pragma once
// Doubles for everything outside the program, and a rig that bundles them into a Platform.
// Nothing here can switch the machine off: RecordingPower only records.
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/device_factory.h"
#include "platform/platform.h"
#include "support/scripted_tuner.h"

namespace quillox::test {

struct DialogEvent {
    std::string kind;  // "ErrorBox", "MessageBox", "ConfirmBox", "Open", "Save", "ShowModal"
    std::string text;  // message, dialog name or window caption
};

// Records every dialog; answers come from queues (defaults: No, cancel).
class RecordingDialogs : public Dialogs {
public:
    void ErrorBox(const std::string& text) override;
    void MessageBox(const std::string& text) override;
    bool ConfirmBox(const std::string& text) override;
    std::optional<std::string> OpenFileName(const FileDialog& d) override;
    std::optional<std::string> SaveFileName(const FileDialog& d) override;
    void ShowModal(Window& w) override;

    void AnswerConfirm(bool yes);
    void AnswerFile(std::optional<std::string> path);  // next Open/Save answer

    std::vector<DialogEvent> events() const;
    std::vector<std::string> errors() const;  // texts of the error boxes, in order
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<DialogEvent> events_;
    std::deque<bool> confirms_;
    std::deque<std::optional<std::string>> files_;
};

class RecordingShell : public Shell {
public:
    void Open(const std::string& pathOrUrl) override;
    std::vector<std::string> opened() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> opened_;
};

class RecordingPower : public PowerControl {
public:
    bool OpenToken() override;
    bool EnableShutdownPrivilege() override;
    bool RequestShutdown(bool forced) override;

    std::string FailureReason() const override;

    bool tokenResult = true, privilegeResult = true, shutdownResult = true;
    std::string reason;                              // given for every failed step
    std::function<void(const std::string&)> onCall;  // after recording, with the call's name
    std::vector<std::string> calls() const;          // "OpenToken", "Privilege", "Shutdown(forced)"

private:
    bool Record(const std::string& call, bool result);

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

// Hands out one prepared device, or fails at a chosen start-up step.
class FakeDeviceFactory : public DeviceFactory {
public:
    DeviceOpenResult Open(const DeviceSettings& s) override;

    std::unique_ptr<TunerDevice> device;
    int failStep = 0;
    std::string failDetail = "/dev/dvb/adapter0/frontend0: No such file or directory";
    std::string openedDetail = "simulated dish (no card): \"Test\", DVB-S card";
    std::vector<std::string> warnings;  // given with the device
    std::vector<DeviceSettings> requests;
};

// A temporary folder removed with the rig.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string() + "/"; }  // with trailing separator

private:
    std::filesystem::path path_;
};

// Everything a TForm1 needs, with a ScriptedTuner ready in the factory.
struct TestRig {
    TestRig();
    ScriptedTuner* tuner;  // owned by the factory until opened, then by the form
    VirtualClock clock;
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPower power;
    FakeDeviceFactory devices;
    TempDir programDir;
    TempDir homeDir;
    Platform platform;
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace quillox::test
