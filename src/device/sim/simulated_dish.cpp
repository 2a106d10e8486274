#include "device/sim/simulated_dish.h"

#include <algorithm>
#include <cmath>

#include "device/sim/noise.h"
#include "device/tuning_codes.h"

namespace quillox::sim {
namespace {

constexpr int kError = -1;

// Noise channels, so that each reading of one refresh draws its own value.
enum Channel : uint64_t { kSnrNoise = 1, kQualityNoise = 2, kLevelNoise = 3 };

bool ValidPolarity(int32_t code) {
    return code == polarity::kHorizontal || code == polarity::kVertical || code == polarity::kOff;
}

}  // namespace

SimulatedDish::SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed)
    : SimulatedDish(std::move(scenario), clock, seed, DishModelParameters{}) {}

SimulatedDish::SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed,
                             DishModelParameters model)
    : scenario_(std::move(scenario)),
      model_(model),
      path_(scenario_, model_),
      clock_(clock),
      seed_(seed) {
    tuned_ = path_.Tune(committed_, switch_.port());
    commitMs_ = clock_.MonotonicMs();
    Measure();
}

// ---- setters: stage only -----------------------------------------------------------------------

int SimulatedDish::TunerSetFrequency(int32_t mhz) {
    if (mhz < 0) return kError;
    std::lock_guard lock(mutex_);
    staged_.freqMhz = mhz;
    return 0;
}

int SimulatedDish::TunerSetSymbolRate(int32_t ksps) {
    if (ksps < 0) return kError;
    std::lock_guard lock(mutex_);
    staged_.symbolRateKsps = ksps;
    return 0;
}

int SimulatedDish::TunerSetLnbFrequency(int32_t mhz) {
    if (mhz < 0) return kError;
    std::lock_guard lock(mutex_);
    staged_.lofMhz = mhz;
    return 0;
}

int SimulatedDish::TunerSetFec(int32_t fecCode) {
    if (fecCode < fec::k1_2 || fecCode > fec::kAuto) return kError;
    std::lock_guard lock(mutex_);
    staged_.fecCode = fecCode;
    return 0;
}

int SimulatedDish::TunerSetPolarity(int32_t polarityCode) {
    if (!ValidPolarity(polarityCode)) return kError;
    std::lock_guard lock(mutex_);
    staged_.polarity = polarityCode;
    return 0;
}

int SimulatedDish::TunerSetLnbSelection(int32_t toneCode) {
    if (toneCode < tone::kNone || toneCode > tone::k44kHz) return kError;
    std::lock_guard lock(mutex_);
    staged_.tone = toneCode;
    return 0;
}

int SimulatedDish::TunerSetDiseqc(int32_t diseqcCode) {
    if (diseqcCode < diseqc::kNone || diseqcCode > diseqc::kPosBOptB) return kError;
    std::lock_guard lock(mutex_);
    staged_.diseqc = diseqcCode;
    return 0;
}

// ---- control -----------------------------------------------------------------------------------

int SimulatedDish::TunerInitialize() {
    std::lock_guard lock(mutex_);
    staged_ = committed_ = TuningState{};
    switch_.Reset();
    tuned_ = path_.Tune(committed_, switch_.port());
    commitMs_ = clock_.MonotonicMs();
    Measure();
    return 0;
}

int SimulatedDish::TunerCommit(int32_t /*value: always 1*/) {
    std::lock_guard lock(mutex_);
    committed_ = staged_;
    // The switch hears DiSEqC only while the LNB line is powered.
    if (committed_.polarity != polarity::kOff) switch_.Apply(committed_.diseqc);
    tuned_ = path_.Tune(committed_, switch_.port());
    commitMs_ = clock_.MonotonicMs();  // the demodulator starts acquiring afresh
    Measure();
    return tuned_.ifInRange ? 0 : kError;
}

int SimulatedDish::TunerRefreshStatus() {
    std::lock_guard lock(mutex_);
    Measure();
    return 0;
}

// ---- getters -----------------------------------------------------------------------------------

int SimulatedDish::TunerGetFrequency(int32_t& mhz) {
    std::lock_guard lock(mutex_);
    mhz = readings_.freqMhz;
    return 0;
}

int SimulatedDish::TunerGetSymbolRate(int32_t& ksps) {
    std::lock_guard lock(mutex_);
    ksps = readings_.symbolRateKsps;
    return 0;
}

int SimulatedDish::TunerGetSigtre(int32_t& level) {
    std::lock_guard lock(mutex_);
    level = readings_.level;
    return 0;
}

int SimulatedDish::TunerGetSnr(float& snr) {
    std::lock_guard lock(mutex_);
    snr = readings_.snr;
    return 0;
}

int SimulatedDish::TunerGetFec(int32_t& fecCode) {
    std::lock_guard lock(mutex_);
    fecCode = readings_.fecCode;
    return 0;
}

int SimulatedDish::TunerGetPolarity(int32_t& polarityCode) {
    std::lock_guard lock(mutex_);
    polarityCode = committed_.polarity;
    return 0;
}

int SimulatedDish::TunerGetDiseqc(int32_t& diseqcCode) {
    std::lock_guard lock(mutex_);
    diseqcCode = committed_.diseqc;
    return 0;
}

int SimulatedDish::TunerGetLnbSelection(int32_t& toneCode) {
    std::lock_guard lock(mutex_);
    toneCode = committed_.tone;
    return 0;
}

int SimulatedDish::TunerGetLnbFrequency(int32_t& mhz) {
    std::lock_guard lock(mutex_);
    mhz = committed_.lofMhz;
    return 0;
}

int SimulatedDish::TunerGetSignalQuality(int32_t& percent) {
    std::lock_guard lock(mutex_);
    percent = readings_.quality;
    return 0;
}

// ---- the demodulator
// -----------------------------------------------------------------------------

double SimulatedDish::NoiseAt(uint64_t channel) const {
    return SignedUnit(HashOf(seed_, readingCount_, channel));
}

bool SimulatedDish::Demodulable(const Carrier& c) const {
    // On a DVB-S card DVB-S2 puts energy on the input, no more.
    if (c.system != DvbSystem::DvbS && !model_.dvbs2) return false;
    if (c.cnDb < c.requiredCnDb) return false;
    bool fecMatches = committed_.fecCode == fec::kAuto || c.fecCode == fec::kAuto ||
                      committed_.fecCode == c.fecCode;
    return fecMatches && RateAccepted(model_, committed_.symbolRateKsps, c.symbolRateKsps);
}

int32_t SimulatedDish::ReportedFrequency(double carrierIfMhz) const {
    // The card converts the carrier's IF back with the LOF it was given, as real hardware does:
    // a wrong LOF reads back a wrong frequency.
    double downlink =
        tuned_.readsInverted ? committed_.lofMhz - carrierIfMhz : committed_.lofMhz + carrierIfMhz;
    return static_cast<int32_t>(std::lround(downlink));
}

void SimulatedDish::Measure() {
    ++readingCount_;
    Readings r;
    r.freqMhz = committed_.freqMhz;
    r.symbolRateKsps = committed_.symbolRateKsps;
    r.fecCode = committed_.fecCode;
    if (!tuned_.input) {  // LNB off or the switch on another port: nothing at all
        readings_ = r;
        return;
    }
    double power = 0;
    Candidate best;
    if (tuned_.ifInRange) {
        auto first = std::lower_bound(
            tuned_.carriers.begin(), tuned_.carriers.end(), tuned_.ifMhz - tuned_.reachMhz,
            [](const IfEntry& e, double value) { return e.ifMhz < value; });
        for (auto it = first; it != tuned_.carriers.end(); ++it) {
            double offset = it->ifMhz - tuned_.ifMhz;
            if (offset > tuned_.reachMhz) break;
            const Carrier& c = scenario_.carriers[it->carrier];
            power +=
                EstimatorPower(model_, c.cnDb, c.symbolRateKsps, committed_.symbolRateKsps, offset);
            double fraction = std::abs(offset) / CaptureHalfWidthMhz(model_, c.symbolRateKsps);
            if (fraction <= 1.0 && fraction < best.captureFraction && Demodulable(c)) {
                best = {&c, it->ifMhz, fraction};
            }
        }
    }
    double elapsedMs = static_cast<double>(clock_.MonotonicMs() - commitMs_);
    bool searching = committed_.symbolRateKsps == 0;
    if (best.carrier &&
        elapsedMs >= AcquisitionMs(model_, best.carrier->symbolRateKsps, best.captureFraction,
                                   searching, best.carrier->system == DvbSystem::DvbS2)) {
        const Carrier& c = *best.carrier;
        double rateError = searching ? 0.0
                                     : std::abs(committed_.symbolRateKsps - c.symbolRateKsps) /
                                           RateToleranceKsps(model_, c.symbolRateKsps);
        r.locked = true;
        r.freqMhz = ReportedFrequency(best.ifMhz);
        r.symbolRateKsps = static_cast<int32_t>(std::lround(c.symbolRateKsps));
        r.fecCode = c.fecCode;
        r.snr = static_cast<float>(c.cnDb + model_.lockedSnrNoiseDb * NoiseAt(kSnrNoise));
        int32_t noiseStep =
            static_cast<int32_t>(std::lround(model_.qualityNoise * NoiseAt(kQualityNoise)));
        r.quality = LockedQuality(model_, c.cnDb, best.captureFraction, rateError, noiseStep);
    } else {
        double snr = UnlockedSnrDb(model_, power) + model_.snrNoiseDb * NoiseAt(kSnrNoise);
        r.snr = static_cast<float>(std::max(0.0, snr));
    }
    double above = std::max(0.0, r.snr - model_.snrFloorDb);
    double level = model_.levelBase + model_.levelPerDb * above + NoiseAt(kLevelNoise);
    r.level = std::clamp(static_cast<int32_t>(std::lround(level)), 0, 100);
    readings_ = r;
}

}  // namespace quillox::sim
