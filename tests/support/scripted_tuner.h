#pragma once
// A recording, scriptable tuner for tests. Every call is recorded with its virtual time as text
// ("TunerSetFrequency(10700)", "TunerCommit(1)", "TunerGetSnr"). Readings follow a rule (a
// function of the committed values and the time) or a sequence (values in order, the last one
// repeating); unscripted getters read back the committed values, quality and SNR read 0.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::test {

enum class Reading {
    Frequency,
    SymbolRate,
    Sigtre,
    Snr,
    Fec,
    Polarity,
    Diseqc,
    LnbSelection,
    LnbFrequency,
    Quality
};

struct TunerState {  // values applied by the last TunerCommit
    int32_t frequency = 0, symbolRate = 0, lnbFrequency = 0, fec = 0, polarity = 0, tone = 0,
            diseqc = 0;
};

struct TunerCall {
    std::string text;  // e.g. "TunerSetFrequency(10700)"
    int64_t timeMs;
};

class ScriptedTuner : public TunerDevice {
public:
    using Rule = std::function<double(const TunerState& committed, int64_t nowMs)>;

    explicit ScriptedTuner(Clock* clock = nullptr) : clock_(clock) {}

    void Script(Reading reading, Rule rule);
    void ScriptSequence(Reading reading, std::vector<double> values);
    void Fail(Reading reading);  // the getter fails and leaves the variable untouched

    std::vector<TunerCall> calls() const;
    std::vector<std::string> callTexts() const;
    // Calls since the first one whose text starts with `prefix` (all calls when none matches).
    std::vector<std::string> callTextsFrom(const std::string& prefix) const;
    std::vector<std::string> timedCallTexts() const;  // "<virtual ms> <text>" for every call
    // Virtual time of the n-th call (1-based) whose text starts with prefix; -1 when none.
    int64_t timeOfCall(const std::string& prefix, int nth = 1) const;
    int countOf(const std::string& prefix) const;  // calls whose text starts with prefix
    void clearCalls();
    TunerState committed() const;

    int TunerSetFrequency(int32_t v) override {
        return Stage("TunerSetFrequency", v, staged_.frequency);
    }
    int TunerSetSymbolRate(int32_t v) override {
        return Stage("TunerSetSymbolRate", v, staged_.symbolRate);
    }
    int TunerSetLnbFrequency(int32_t v) override {
        return Stage("TunerSetLnbFrequency", v, staged_.lnbFrequency);
    }
    int TunerSetFec(int32_t v) override { return Stage("TunerSetFec", v, staged_.fec); }
    int TunerSetPolarity(int32_t v) override {
        return Stage("TunerSetPolarity", v, staged_.polarity);
    }
    int TunerSetLnbSelection(int32_t v) override {
        return Stage("TunerSetLnbSelection", v, staged_.tone);
    }
    int TunerSetDiseqc(int32_t v) override { return Stage("TunerSetDiseqc", v, staged_.diseqc); }
    int TunerInitialize() override;
    int TunerRefreshStatus() override;
    int TunerCommit(int32_t value) override;

    int TunerGetFrequency(int32_t& v) override {
        return GetInt(Reading::Frequency, "TunerGetFrequency", v);
    }
    int TunerGetSymbolRate(int32_t& v) override {
        return GetInt(Reading::SymbolRate, "TunerGetSymbolRate", v);
    }
    int TunerGetSigtre(int32_t& v) override { return GetInt(Reading::Sigtre, "TunerGetSigtre", v); }
    int TunerGetSnr(float& v) override;
    int TunerGetFec(int32_t& v) override { return GetInt(Reading::Fec, "TunerGetFec", v); }
    int TunerGetPolarity(int32_t& v) override {
        return GetInt(Reading::Polarity, "TunerGetPolarity", v);
    }
    int TunerGetDiseqc(int32_t& v) override { return GetInt(Reading::Diseqc, "TunerGetDiseqc", v); }
    int TunerGetLnbSelection(int32_t& v) override {
        return GetInt(Reading::LnbSelection, "TunerGetLnbSelection", v);
    }
    int TunerGetLnbFrequency(int32_t& v) override {
        return GetInt(Reading::LnbFrequency, "TunerGetLnbFrequency", v);
    }
    int TunerGetSignalQuality(int32_t& v) override {
        return GetInt(Reading::Quality, "TunerGetSignalQuality", v);
    }

private:
    int Stage(const char* op, int32_t value, int32_t& slot);
    int GetInt(Reading reading, const char* op, int32_t& out);
    bool Value(Reading reading, double& out);  // false when scripted to fail
    void Record(std::string text);
    int64_t Now() const { return clock_ ? clock_->MonotonicMs() : 0; }

    Clock* clock_;
    mutable std::mutex mutex_;
    TunerState staged_, committed_;
    std::map<Reading, Rule> rules_;
    std::map<Reading, std::vector<double>> sequences_;
    std::map<Reading, size_t> sequencePos_;
    std::map<Reading, bool> failing_;
    std::vector<TunerCall> calls_;
};

}  // namespace quillox::test
