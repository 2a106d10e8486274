#include "support/scripted_tuner.h"

namespace quillox::test {

void ScriptedTuner::Script(Reading reading, Rule rule) {
    std::lock_guard lock(mutex_);
    sequences_.erase(reading);
    rules_[reading] = std::move(rule);
}

void ScriptedTuner::ScriptSequence(Reading reading, std::vector<double> values) {
    std::lock_guard lock(mutex_);
    rules_.erase(reading);
    sequences_[reading] = std::move(values);
    sequencePos_[reading] = 0;
}

void ScriptedTuner::Fail(Reading reading) {
    std::lock_guard lock(mutex_);
    failing_[reading] = true;
}

std::vector<TunerCall> ScriptedTuner::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> ScriptedTuner::callTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& call : calls_) texts.push_back(call.text);
    return texts;
}

std::vector<std::string> ScriptedTuner::callTextsFrom(const std::string& prefix) const {
    std::vector<std::string> texts = callTexts();
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].rfind(prefix, 0) == 0) return {texts.begin() + i, texts.end()};
    return texts;
}

std::vector<std::string> ScriptedTuner::timedCallTexts() const {
    std::vector<std::string> texts;
    for (const TunerCall& call : calls())
        texts.push_back(std::to_string(call.timeMs) + " " + call.text);
    return texts;
}

int64_t ScriptedTuner::timeOfCall(const std::string& prefix, int nth) const {
    for (const TunerCall& call : calls())
        if (call.text.rfind(prefix, 0) == 0 && --nth == 0) return call.timeMs;
    return -1;
}

int ScriptedTuner::countOf(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& call : calls_) n += call.text.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

void ScriptedTuner::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

TunerState ScriptedTuner::committed() const {
    std::lock_guard lock(mutex_);
    return committed_;
}

void ScriptedTuner::Record(std::string text) {
    calls_.push_back({std::move(text), Now()});
}

int ScriptedTuner::Stage(const char* op, int32_t value, int32_t& slot) {
    std::lock_guard lock(mutex_);
    Record(std::string(op) + "(" + std::to_string(value) + ")");
    slot = value;
    return 0;
}

int ScriptedTuner::TunerInitialize() {
    std::lock_guard lock(mutex_);
    Record("TunerInitialize()");
    return 0;
}

int ScriptedTuner::TunerRefreshStatus() {
    std::lock_guard lock(mutex_);
    Record("TunerRefreshStatus()");
    return 0;
}

int ScriptedTuner::TunerCommit(int32_t value) {
    std::lock_guard lock(mutex_);
    Record("TunerCommit(" + std::to_string(value) + ")");
    committed_ = staged_;
    return 0;
}

bool ScriptedTuner::Value(Reading reading, double& out) {
    if (failing_[reading]) return false;
    if (auto rule = rules_.find(reading); rule != rules_.end()) {
        out = rule->second(committed_, Now());
        return true;
    }
    if (auto seq = sequences_.find(reading); seq != sequences_.end() && !seq->second.empty()) {
        size_t& pos = sequencePos_[reading];
        out = seq->second[std::min(pos, seq->second.size() - 1)];
        ++pos;
        return true;
    }
    switch (reading) {
        case Reading::Frequency:
            out = committed_.frequency;
            break;
        case Reading::SymbolRate:
            out = committed_.symbolRate;
            break;
        case Reading::Fec:
            out = committed_.fec;
            break;
        case Reading::Polarity:
            out = committed_.polarity;
            break;
        case Reading::Diseqc:
            out = committed_.diseqc;
            break;
        case Reading::LnbSelection:
            out = committed_.tone;
            break;
        case Reading::LnbFrequency:
            out = committed_.lnbFrequency;
            break;
        default:
            out = 0;
            break;
    }
    return true;
}

int ScriptedTuner::GetInt(Reading reading, const char* op, int32_t& out) {
    std::lock_guard lock(mutex_);
    Record(op);
    double value = 0;
    if (!Value(reading, value)) return 1;
    out = static_cast<int32_t>(value);
    return 0;
}

int ScriptedTuner::TunerGetSnr(float& out) {
    std::lock_guard lock(mutex_);
    Record("TunerGetSnr");
    double value = 0;
    if (!Value(Reading::Snr, value)) return 1;
    out = static_cast<float>(value);
    return 0;
}

}  // namespace quillox::test
