#include "support/test_platform.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "form/file_dialog.h"
#include "form/window.h"

namespace quillox::test {

void RecordingDialogs::ErrorBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    events_.push_back({"ErrorBox", text});
}

void RecordingDialogs::MessageBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    events_.push_back({"MessageBox", text});
}

bool RecordingDialogs::ConfirmBox(const std::string& text) {
    std::lock_guard lock(mutex_);
    events_.push_back({"ConfirmBox", text});
    if (confirms_.empty()) return false;
    bool answer = confirms_.front();
    confirms_.pop_front();
    return answer;
}

std::optional<std::string> RecordingDialogs::OpenFileName(const FileDialog& d) {
    std::lock_guard lock(mutex_);
    events_.push_back({"Open", d.name()});
    if (files_.empty()) return std::nullopt;
    auto answer = files_.front();
    files_.pop_front();
    return answer;
}

std::optional<std::string> RecordingDialogs::SaveFileName(const FileDialog& d) {
    std::lock_guard lock(mutex_);
    events_.push_back({"Save", d.name()});
    if (files_.empty()) return std::nullopt;
    auto answer = files_.front();
    files_.pop_front();
    return answer;
}

void RecordingDialogs::ShowModal(Window& w) {
    std::lock_guard lock(mutex_);
    events_.push_back({"ShowModal", w.caption()});
}

void RecordingDialogs::AnswerConfirm(bool yes) {
    std::lock_guard lock(mutex_);
    confirms_.push_back(yes);
}

void RecordingDialogs::AnswerFile(std::optional<std::string> path) {
    std::lock_guard lock(mutex_);
    files_.push_back(std::move(path));
}

std::vector<DialogEvent> RecordingDialogs::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingDialogs::errors() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& e : events_)
        if (e.kind == "ErrorBox") texts.push_back(e.text);
    return texts;
}

void RecordingDialogs::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

void RecordingShell::Open(const std::string& pathOrUrl) {
    std::lock_guard lock(mutex_);
    opened_.push_back(pathOrUrl);
}

std::vector<std::string> RecordingShell::opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

bool RecordingPower::Record(const std::string& call, bool result) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }
    if (onCall) onCall(call);
    return result;
}

bool RecordingPower::OpenToken() {
    return Record("OpenToken", tokenResult);
}

bool RecordingPower::EnableShutdownPrivilege() {
    return Record("Privilege", privilegeResult);
}

bool RecordingPower::RequestShutdown(bool forced) {
    return Record(forced ? "Shutdown(forced)" : "Shutdown", shutdownResult);
}

std::string RecordingPower::FailureReason() const {
    return reason;
}

std::vector<std::string> RecordingPower::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

DeviceOpenResult FakeDeviceFactory::Open(const DeviceSettings& s) {
    requests.push_back(s);
    DeviceOpenResult result;
    if (failStep != 0) {
        result.failedStep = failStep;
        result.detail = failDetail;
        return result;
    }
    result.device = std::move(device);
    if (result.device) {
        result.detail = openedDetail;
        result.warnings = warnings;
    }
    return result;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quillox-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TestRig::TestRig()
    : platform{dialogs, clock, devices, shell, power, programDir.str(), homeDir.str()} {
    auto scripted = std::make_unique<ScriptedTuner>(&clock);
    tuner = scripted.get();
    devices.device = std::move(scripted);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace quillox::test
