#pragma once
// The simulated dish: a TunerDevice that models a satellite installation (carriers, LNB, DiSEqC
// switch) and an older DVB-S QPSK card (or, by its model, a DVB-S2 one), so the program and
// every scan run on any machine.
// Setters stage, TunerCommit applies and restarts acquisition, TunerRefreshStatus takes the
// readings that the getters then report. Time comes from the Clock given, so with a
// VirtualClock whole scans run in milliseconds with the same results as in real time.
// Thread-safe: every call holds one mutex.
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "device/demod_profiles.h"
#include "device/sim/dish_model.h"
#include "device/sim/signal_path.h"
#include "device/sim/sky_model.h"
#include "device/tuner_device.h"
#include "platform/clock.h"
#include "satellites/scenario_types.h"

namespace quillox::sim {

class SimulatedDish : public TunerDevice, public RateSearchTiming {
public:
    SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed);
    SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed, DishModelParameters model);
    SimulatedDish(const SimulatedDish&) = delete;
    SimulatedDish& operator=(const SimulatedDish&) = delete;

    int TunerSetFrequency(int32_t mhz) override;
    int TunerSetSymbolRate(int32_t ksps) override;
    int TunerSetLnbFrequency(int32_t mhz) override;
    int TunerSetFec(int32_t fecCode) override;
    int TunerSetPolarity(int32_t polarityCode) override;
    int TunerSetLnbSelection(int32_t toneCode) override;
    int TunerSetDiseqc(int32_t diseqcCode) override;
    int TunerInitialize() override;
    int TunerRefreshStatus() override;
    int TunerCommit(int32_t value) override;

    int TunerGetFrequency(int32_t& mhz) override;
    int TunerGetSymbolRate(int32_t& ksps) override;
    int TunerGetSigtre(int32_t& level) override;
    int TunerGetSnr(float& snr) override;
    int TunerGetFec(int32_t& fecCode) override;
    int TunerGetPolarity(int32_t& polarityCode) override;
    int TunerGetDiseqc(int32_t& diseqcCode) override;
    int TunerGetLnbSelection(int32_t& toneCode) override;
    int TunerGetLnbFrequency(int32_t& mhz) override;
    int TunerGetSignalQuality(int32_t& percent) override;

    // A carrier of the widest searched rate, right where it was tuned: the demodulator's own
    // search, or with the device's candidate list the first candidate's lock.
    int32_t QuickestRateSearchLockMs() const override;

    const Scenario& scenario() const { return scenario_; }
    bool dvbs2() const { return model_.dvbs2; }

private:
    struct Readings {
        bool locked = false;
        int32_t freqMhz = 0, symbolRateKsps = 0, fecCode = 6;
        float snr = 0;
        int32_t quality = 0;
        int32_t level = 0;
    };
    struct Candidate {
        const Carrier* carrier = nullptr;
        double ifMhz = 0;  // where it actually is, LO error included
        double offsetMhz = 0;
        double cnDb = 0;             // as it reaches the demodulator now
        double captureFraction = 2;  // |offset| / capture half-width; the nearest one wins
    };
    // Symbol rate 0 with rate-search: list, as the Linux device runs it: one attempt per
    // candidate rate, each until its lock timeout, moved on at a refresh; a lock ends it.
    struct ListSearch {
        size_t attempt = 0;
        int64_t startMs = 0, deadlineMs = 0;
        bool locked = false, failed = false;
    };

    void Measure();                          // readings at the clock's present time
    double NoiseAt(uint64_t channel) const;  // in [-1, 1), fixed by seed and reading count
    bool Demodulable(const Carrier& c, double cnDb, int32_t rateKsps) const;
    int32_t ReportedFrequency(double carrierIfMhz) const;
    bool ListSearching() const;
    int32_t RateTried() const;  // the staged rate, or the list search's present candidate
    double CaptureMhz(double carrierKsps) const;
    double AcquireMs(const Candidate& c, int32_t rateKsps) const;
    int32_t ReadBackRate(const Carrier& c, int32_t rateKsps) const;
    size_t SearchAttempts() const;
    int64_t SearchPath() const;  // the LNB path of the present tune, for searchOrder_
    void StartSearch();          // a commit's new search
    void StartAttempt(int64_t nowMs);

    const Scenario scenario_;
    const DishModelParameters model_;
    const SignalPath path_;
    Clock& clock_;
    const uint32_t seed_;
    const std::optional<DemodProfile> demod_;  // read-back: the family's facts, if not ideal

    std::mutex mutex_;
    SkyModel sky_;
    ListSearch search_;
    RateSearchOrder searchOrder_;       // as the Linux device orders its candidates
    std::vector<int32_t> searchRates_;  // the present search's candidates, in order
    int32_t knownRate_ = 0;             // inside the carrier last locked: its rate
    SnrMedian snrMedian_;               // what the device makes of the raw SNR readings
    TuningState staged_;
    TuningState committed_;
    DiseqcSwitch switch_;
    TunedPath tuned_;
    int64_t commitMs_ = 0;
    uint64_t readingCount_ = 0;
    Readings readings_;
};

}  // namespace quillox::sim
