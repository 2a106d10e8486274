#pragma once
// A main window on a scripted tuner in virtual time, with the means to hold a running job at a
// chosen tuner call so that a test can stop it there deterministically.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "platform/stop_signal.h"
#include "support/test_platform.h"

namespace quillox::test {

// Holds the calling worker after the n-th call of one tuner operation. In blocking mode the
// worker waits there until the test releases it or asks it to stop, so a stop lands exactly
// after that call; otherwise it only reports that it got there and goes on.
class CallPause {
public:
    void Arm(std::string operation, int occurrence, bool block = true) {
        std::lock_guard lock(mutex_);
        operation_ = std::move(operation);
        occurrence_ = occurrence;
        block_ = block;
        seen_ = 0;
    }

    // Runs at every tuner call, on the calling thread, before any pause: a look at the window
    // at that exact moment. Set it before the job starts.
    std::function<void(const std::string& operation)> observe;

    void After(const char* operation) {
        if (observe) observe(operation);
        {
            std::lock_guard lock(mutex_);
            if (operation_ != operation || ++seen_ != occurrence_) return;
            reached_ = true;
        }
        changed_.notify_all();
        StopSignal* stop = CurrentStopSignal();
        if (!block_ || stop == nullptr) return;  // only a worker is ever held
        while (!released()) {
            if (stop->WaitFor(1)) return;
        }
    }

    // Waits (bounded) until the armed call has happened.
    bool WaitReached() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return reached_; });
    }

    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
    }

private:
    bool released() {
        std::lock_guard lock(mutex_);
        return released_;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string operation_;
    int occurrence_ = 0;
    int seen_ = 0;
    bool block_ = true;
    bool reached_ = false;
    bool released_ = false;
};

// Forwards every call to the scripted tuner, then lets the pause look at it.
class PausingTuner : public TunerDevice {
public:
    PausingTuner(std::unique_ptr<TunerDevice> inner, CallPause& pause)
        : inner_(std::move(inner)), pause_(pause) {}

#define QUILLOX_FORWARD(Op, Type)   \
    int Op(Type v) override {       \
        int result = inner_->Op(v); \
        pause_.After(#Op);          \
        return result;              \
    }
    QUILLOX_FORWARD(TunerSetFrequency, int32_t)
    QUILLOX_FORWARD(TunerSetSymbolRate, int32_t)
    QUILLOX_FORWARD(TunerSetLnbFrequency, int32_t)
    QUILLOX_FORWARD(TunerSetFec, int32_t)
    QUILLOX_FORWARD(TunerSetPolarity, int32_t)
    QUILLOX_FORWARD(TunerSetLnbSelection, int32_t)
    QUILLOX_FORWARD(TunerSetDiseqc, int32_t)
    QUILLOX_FORWARD(TunerCommit, int32_t)
    QUILLOX_FORWARD(TunerGetFrequency, int32_t&)
    QUILLOX_FORWARD(TunerGetSymbolRate, int32_t&)
    QUILLOX_FORWARD(TunerGetSigtre, int32_t&)
    QUILLOX_FORWARD(TunerGetSnr, float&)
    QUILLOX_FORWARD(TunerGetFec, int32_t&)
    QUILLOX_FORWARD(TunerGetPolarity, int32_t&)
    QUILLOX_FORWARD(TunerGetDiseqc, int32_t&)
    QUILLOX_FORWARD(TunerGetLnbSelection, int32_t&)
    QUILLOX_FORWARD(TunerGetLnbFrequency, int32_t&)
    QUILLOX_FORWARD(TunerGetSignalQuality, int32_t&)
#undef QUILLOX_FORWARD
    int TunerInitialize() override {
        int result = inner_->TunerInitialize();
        pause_.After("TunerInitialize");
        return result;
    }
    int TunerRefreshStatus() override {
        int result = inner_->TunerRefreshStatus();
        pause_.After("TunerRefreshStatus");
        return result;
    }

private:
    std::unique_ptr<TunerDevice> inner_;
    CallPause& pause_;
};

// Enabled and read-only state of every control of the window, by name.
using ControlStates = std::map<std::string, std::string>;

inline ControlStates StatesOf(const Window& window) {
    ControlStates states;
    for (const Control* control : window.controls()) {
        std::string state = control->enabled() ? "enabled" : "disabled";
        if (auto* list = dynamic_cast<const Lines*>(control))
            state += list->readOnly() ? ",read-only" : "";
        states[control->name()] = state;
    }
    return states;
}

// Names whose state differs between two snapshots.
inline std::vector<std::string> ChangedBetween(const ControlStates& before,
                                               const ControlStates& after) {
    std::vector<std::string> changed;
    for (const auto& [name, state] : after)
        if (before.at(name) != state) changed.push_back(name);
    return changed;
}

// Waits (bounded, without sleeping) until the worker has ended.
inline void WaitUntilEnded(Worker& worker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (worker.running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_FALSE(worker.running()) << worker.name() << " did not end";
    worker.join();
}

class ScanTest : public ::testing::Test {
protected:
    ScanTest() : tuner(*rig.tuner), form(rig.platform) {
        form.tunerSlot().Attach(
            std::make_unique<PausingTuner>(std::move(rig.devices.device), pause));
    }

    static void WaitIdle(Worker& worker) { WaitUntilEnded(worker); }

    TestRig rig;
    CallPause pause;
    ScriptedTuner& tuner;
    TForm1 form;
};

}  // namespace quillox::test
