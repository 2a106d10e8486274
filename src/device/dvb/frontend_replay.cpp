#include "device/dvb/frontend_replay.h"

#include <cerrno>

namespace quillox::dvb {
namespace {

class ReplayFrontendIo : public FrontendIo {
public:
    explicit ReplayFrontendIo(std::shared_ptr<FrontendReplay> replay) : replay_(std::move(replay)) {
        replay_->IoMade();
    }
    ~ReplayFrontendIo() override { replay_->IoGone(); }
    ReplayFrontendIo(const ReplayFrontendIo&) = delete;
    ReplayFrontendIo& operator=(const ReplayFrontendIo&) = delete;

    int open(const std::string& path, bool readWrite) override {
        return Result(replay_->Next(OpenCallText(path, readWrite)));
    }
    void close() override { replay_->Next("close"); }
    int getInfo(dvb_frontend_info& info) override {
        const RecordedCall* call = replay_->Next("info");
        if (Succeeded(call)) info = call->info;
        return Result(call);
    }
    int setProps(std::span<dtv_property> props) override {
        return Result(replay_->Next(SetCallText(props)));
    }
    int getProps(std::span<dtv_property> props) override {
        const RecordedCall* call = replay_->Next(GetCallText(props));
        if (Succeeded(call))  // the same commands, so as many
            for (size_t i = 0; i < props.size() && i < call->props.size(); ++i)
                props[i].u = call->props[i].u;
        return Result(call);
    }
    int setVoltage(fe_sec_voltage voltage) override {
        return Result(replay_->Next(VoltageCallText(voltage)));
    }
    int setTone(fe_sec_tone_mode tone) override {
        return Result(replay_->Next(ToneCallText(tone)));
    }
    int sendMasterCmd(const dvb_diseqc_master_cmd& cmd) override {
        return Result(replay_->Next(MasterCmdCallText(cmd)));
    }
    int sendBurst(fe_sec_mini_cmd burst) override {
        return Result(replay_->Next(BurstCallText(burst)));
    }
    int setTuneMode(uint32_t flags) override {
        return Result(replay_->Next(TuneModeCallText(flags)));
    }
    int readStatus(fe_status_t& status) override {
        const RecordedCall* call = replay_->Next("status");
        if (Succeeded(call)) status = static_cast<fe_status_t>(call->value);
        return Result(call);
    }
    int readSnr(uint16_t& snr) override {
        const RecordedCall* call = replay_->Next("snr");
        if (Succeeded(call)) snr = static_cast<uint16_t>(call->value);
        return Result(call);
    }
    int readStrength(uint16_t& strength) override {
        const RecordedCall* call = replay_->Next("strength");
        if (Succeeded(call)) strength = static_cast<uint16_t>(call->value);
        return Result(call);
    }
    int readBer(uint32_t& ber) override {
        const RecordedCall* call = replay_->Next("ber");
        if (Succeeded(call)) ber = call->value;
        return Result(call);
    }

private:
    static bool Succeeded(const RecordedCall* call) { return call != nullptr && call->result == 0; }
    static int Result(const RecordedCall* call) { return call != nullptr ? call->result : EIO; }

    std::shared_ptr<FrontendReplay> replay_;
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

std::shared_ptr<FrontendReplay> FrontendReplay::Load(const std::string& file, Clock& clock,
                                                     std::string& error) {
    RecordingRead read = LoadRecording(file);
    error = read.error;
    if (error.empty() && (read.calls.empty() || !OpenedPath(read.calls.front())))
        error = file + ": the recording does not begin with the frontend's open";
    if (!error.empty()) return nullptr;
    return std::make_shared<FrontendReplay>(std::move(read.calls), file, clock);
}

FrontendReplay::FrontendReplay(std::vector<RecordedCall> calls, std::string file, Clock& clock)
    : calls_(std::move(calls)), file_(std::move(file)), clock_(clock) {}

std::optional<std::string> FrontendReplay::openedPath() const {
    return calls_.empty() ? std::nullopt : OpenedPath(calls_.front());
}

FrontendIoFactory FrontendReplay::Factory() {
    return [self = shared_from_this()]() -> std::unique_ptr<FrontendIo> {
        return std::make_unique<ReplayFrontendIo>(self);
    };
}

void FrontendReplay::IoMade() {
    std::lock_guard lock(mutex_);
    if (!startMs_) startMs_ = clock_.MonotonicMs();
    ++ios_;
}

void FrontendReplay::IoGone() {
    std::lock_guard lock(mutex_);
    ended_ = --ios_ == 0;
}

const RecordedCall* FrontendReplay::Next(const std::string& call) {
    std::lock_guard lock(mutex_);
    if (!difference_.empty()) return nullptr;
    const std::string prefix = "replay of " + file_ + ": ";
    if (next_ == calls_.size()) {
        difference_ = prefix + "the recording ends at line " + std::to_string(calls_.back().line) +
                      ", got " + Quoted(call);
        return nullptr;
    }
    const RecordedCall& expected = calls_[next_];
    if (expected.call != call) {
        difference_ = prefix + "line " + std::to_string(expected.line) + ": expected " +
                      Quoted(expected.call) + ", got " + Quoted(call);
        return nullptr;
    }
    ++next_;
    if (auto* virtualClock = dynamic_cast<VirtualClock*>(&clock_)) {
        const int64_t behind = startMs_.value_or(0) + expected.ms - clock_.MonotonicMs();
        if (behind > 0) virtualClock->Advance(behind);
    }
    return &expected;
}

std::string FrontendReplay::problem() const {
    std::lock_guard lock(mutex_);
    if (!difference_.empty() || !ended_ || next_ == calls_.size()) return difference_;
    return "replay of " + file_ + ": the run ended, but the recording goes on at line " +
           std::to_string(calls_[next_].line) + ": " + Quoted(calls_[next_].call);
}

}  // namespace quillox::dvb
