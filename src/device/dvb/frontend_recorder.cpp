#include "device/dvb/frontend_recorder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/version.h"
#include "device/dvb/frontend_recording.h"

namespace quillox::dvb {
namespace {

// The decorator: passes each call on and writes a line of what came back.
class RecordingFrontendIo : public FrontendIo {
public:
    RecordingFrontendIo(std::unique_ptr<FrontendIo> inner,
                        std::shared_ptr<FrontendRecorder> recorder)
        : inner_(std::move(inner)), recorder_(std::move(recorder)) {}

    int open(const std::string& path, bool readWrite) override {
        return Record(OpenCallText(path, readWrite), inner_->open(path, readWrite));
    }
    void close() override {
        inner_->close();
        Record("close", 0);
    }
    int getInfo(dvb_frontend_info& info) override {
        const int rc = inner_->getInfo(info);
        return Record("info", rc, rc == 0 ? InfoValuesText(info) : "");
    }
    int setProps(std::span<dtv_property> props) override {
        const std::string call = SetCallText(props);
        return Record(call, inner_->setProps(props));
    }
    int getProps(std::span<dtv_property> props) override {
        const std::string call = GetCallText(props);
        const int rc = inner_->getProps(props);
        return Record(call, rc, rc == 0 ? GetValuesText(props) : "");
    }
    int setVoltage(fe_sec_voltage voltage) override {
        return Record(VoltageCallText(voltage), inner_->setVoltage(voltage));
    }
    int setTone(fe_sec_tone_mode tone) override {
        return Record(ToneCallText(tone), inner_->setTone(tone));
    }
    int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) override {
        return Record(MasterCmdCallText(cmd), inner_->sendMasterCmd(cmd));
    }
    int sendBurst(fe_sec_mini_cmd burst) override {
        return Record(BurstCallText(burst), inner_->sendBurst(burst));
    }
    int setTuneMode(uint32_t flags) override {
        return Record(TuneModeCallText(flags), inner_->setTuneMode(flags));
    }
    int readStatus(fe_status_t& status) override {
        const int rc = inner_->readStatus(status);
        char text[16] = "";
        if (rc == 0) std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(status));
        return Record("status", rc, text);
    }
    int readSnr(uint16_t& snr) override {
        const int rc = inner_->readSnr(snr);
        return Record("snr", rc, rc == 0 ? std::to_string(snr) : "");
    }
    int readStrength(uint16_t& strength) override {
        const int rc = inner_->readStrength(strength);
        return Record("strength", rc, rc == 0 ? std::to_string(strength) : "");
    }
    int readBer(uint32_t& ber) override {
        const int rc = inner_->readBer(ber);
        return Record("ber", rc, rc == 0 ? std::to_string(ber) : "");
    }

private:
    int Record(const std::string& call, int rc, const std::string& values = {}) {
        recorder_->Write(call, rc, values);
        return rc;
    }

    std::unique_ptr<FrontendIo> inner_;
    std::shared_ptr<FrontendRecorder> recorder_;
};

std::string TimeText(const LocalTime& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

FrontendRecorder::FrontendRecorder(std::FILE* file, std::string path, Clock& clock)
    : file_(file), path_(std::move(path)), clock_(clock) {}

std::shared_ptr<FrontendRecorder> FrontendRecorder::Create(const std::string& path, Clock& clock,
                                                           std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::shared_ptr<FrontendRecorder> recorder(new FrontendRecorder(file, path, clock));
    recorder->Restart();
    error = recorder->problem();
    return error.empty() ? recorder : nullptr;
}

FrontendRecorder::~FrontendRecorder() {
    if (problem_.empty()) fdatasync(fileno(file_));
    std::fclose(file_);
}

void FrontendRecorder::Restart() {
    std::lock_guard lock(mutex_);
    if (!problem_.empty()) return;
    startMs_ = clock_.MonotonicMs();
    lastSync_ = std::chrono::steady_clock::now();
    if (std::fflush(file_) != 0 || ftruncate(fileno(file_), 0) != 0 ||
        std::fseek(file_, 0, SEEK_SET) != 0) {
        problem_ = "cannot write the recording " + path_ + ": " + std::strerror(errno);
        return;
    }
    Put(std::string(kRecordingMagic) + " " + std::to_string(kRecordingVersion) + "\n# quillox " +
        kVersion + ", started " + TimeText(clock_.Now()) +
        " local time; each line: ms of the device's clock since then as the call returned, "
        "call, -> result, values\n");
}

void FrontendRecorder::Write(const std::string& call, int result, const std::string& values) {
    std::lock_guard lock(mutex_);
    if (!problem_.empty()) return;
    Put(RecordingLine(clock_.MonotonicMs() - startMs_, call, result, values) + "\n");
    // The disk gets the lines at least once a second and when the frontend closes; the system
    // has each at once.
    const auto now = std::chrono::steady_clock::now();
    if (problem_.empty() && (call == "close" || now - lastSync_ >= std::chrono::seconds(1))) {
        if (fdatasync(fileno(file_)) != 0)
            problem_ = "cannot write the recording " + path_ + ": " + std::strerror(errno);
        lastSync_ = now;
    }
}

void FrontendRecorder::Put(const std::string& text) {
    if (std::fputs(text.c_str(), file_) == EOF || std::fflush(file_) != 0)
        problem_ = "cannot write the recording " + path_ + ": " + std::strerror(errno);
}

std::string FrontendRecorder::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

FrontendIoFactory RecordingFactory(std::shared_ptr<FrontendRecorder> recorder,
                                   FrontendIoFactory inner) {
    return [recorder = std::move(recorder), inner = std::move(inner)] {
        recorder->Restart();
        return std::unique_ptr<FrontendIo>(
            std::make_unique<RecordingFrontendIo>(inner(), recorder));
    };
}

}  // namespace quillox::dvb
