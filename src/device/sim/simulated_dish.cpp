#include "device/sim/simulated_dish.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/seeded_hash.h"
#include "base/tuning_code_values.h"

namespace quillox::sim {
namespace {

constexpr int kError = -1;

// Noise channels, so that each reading of one refresh draws its own value.
enum Channel : uint64_t { kSnrNoise = 1, kQualityNoise = 2, kLevelNoise = 3 };
constexpr uint64_t kCrystalChannel = 0xC4;
constexpr double kCrystalPpm = 50;

bool ValidPolarity(int32_t code) {
    return code == polarity::kHorizontal || code == polarity::kVertical || code == polarity::kOff;
}

std::optional<DemodProfile> ProfileOf(const SkyImpairments& sky) {
    // The tables accept only names that FamilyNamed knows; the default card is the ideal model.
    const std::optional<DemodFamily> family = FamilyNamed(sky.card);
    if (!family) return std::nullopt;
    return DemodProfileOf(*family);
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
      seed_(seed),
      demod_(ProfileOf(scenario_.sky)),
      sky_(scenario_.sky, seed),
      searchOrder_(SearchRatesKsps()) {
    tuned_ = path_.Tune(committed_, switch_.port());
    commitMs_ = clock_.MonotonicMs();
    StartSearch();
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
    StartSearch();
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
    StartSearch();
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

int32_t SimulatedDish::QuickestRateSearchLockMs() const {
    if (scenario_.sky.rateSearch != SkyImpairments::RateSearch::List)
        return static_cast<int32_t>(AcquisitionMs(model_, model_.searchMaxKsps, 0, true));
    if (demod_) return demod_->lockMs;
    const int32_t widest = *std::max_element(SearchRatesKsps().begin(), SearchRatesKsps().end());
    return static_cast<int32_t>(AcquisitionMs(model_, widest, 0, false));
}

// ---- the demodulator
// -----------------------------------------------------------------------------

double SimulatedDish::NoiseAt(uint64_t channel) const {
    return SignedUnit(HashOf(seed_, readingCount_, channel));
}

bool SimulatedDish::Demodulable(const Carrier& c, double cnDb, int32_t rateKsps) const {
    // On a DVB-S card DVB-S2 puts energy on the input, no more.
    if (c.system != DvbSystem::DvbS && !model_.dvbs2) return false;
    if (cnDb < c.requiredCnDb - (demod_ ? demod_->lockBelowQefDb : 0.0)) return false;
    bool fecMatches = committed_.fecCode == fec::kAuto || c.fecCode == fec::kAuto ||
                      committed_.fecCode == c.fecCode;
    return fecMatches && RateAccepted(model_, rateKsps, c.symbolRateKsps);
}

int32_t SimulatedDish::ReportedFrequency(double carrierIfMhz) const {
    // The card converts the carrier's IF back with the LOF it was given, as real hardware does:
    // a wrong LOF (or an LO that is off) reads back a wrong frequency.
    double downlink =
        tuned_.readsInverted ? committed_.lofMhz - carrierIfMhz : committed_.lofMhz + carrierIfMhz;
    return static_cast<int32_t>(std::lround(downlink));
}

bool SimulatedDish::ListSearching() const {
    return committed_.symbolRateKsps == 0 &&
           scenario_.sky.rateSearch == SkyImpairments::RateSearch::List;
}

int64_t SimulatedDish::SearchPath() const {
    return RateSearchOrder::PathOf(committed_.polarity, committed_.tone == tone::k22kHz,
                                   committed_.lofMhz);
}

size_t SimulatedDish::SearchAttempts() const {
    // A DVB-S2 device tries each rate as DVB-S, DVB-S2 QPSK and 8PSK (not for 7/8, which only
    // DVB-S has); the demodulator here finds the system itself, so only the time counts.
    const size_t systems = model_.dvbs2 && committed_.fecCode != fec::k7_8 ? 3 : 1;
    return searchRates_.size() * systems;
}

int32_t SimulatedDish::RateTried() const {
    if (!ListSearching()) return committed_.symbolRateKsps;
    const size_t systems = SearchAttempts() / std::max<size_t>(1, searchRates_.size());
    return search_.attempt < SearchAttempts() ? searchRates_[search_.attempt / systems] : 0;
}

void SimulatedDish::StartAttempt(int64_t nowMs) {
    const DemodFamily family = demod_ ? demod_->family : DemodFamily::Other;
    search_.startMs = nowMs;
    // Inside the carrier last locked, its rate is tried round and round, as a fixed rate is.
    search_.deadlineMs = knownRate_ ? std::numeric_limits<int64_t>::max()
                                    : nowMs + LockTimeouts{}.ForRate(family, RateTried());
}

// As the device does for every commit: a search afresh where the program asked, with the
// candidates in RateSearchOrder's order.
void SimulatedDish::StartSearch() {
    search_ = {};
    const int64_t ifKhz = std::llround(tuned_.ifMhz * 1000);
    knownRate_ = searchOrder_.KnownRate(SearchPath(), ifKhz);
    searchRates_ =
        knownRate_ ? std::vector<int32_t>{knownRate_} : searchOrder_.For(SearchPath(), ifKhz);
    search_.failed = SearchAttempts() == 0;
    snrMedian_.Reset();
    StartAttempt(commitMs_);
}

double SimulatedDish::CaptureMhz(double carrierKsps) const {
    const double model = CaptureHalfWidthMhz(model_, carrierKsps);
    return demod_ ? std::min(model, demod_->captureKhz / 1000.0) : model;
}

double SimulatedDish::AcquireMs(const Candidate& c, int32_t rateKsps) const {
    const double ksps = c.carrier->symbolRateKsps;
    const bool s2 = c.carrier->system == DvbSystem::DvbS2;
    if (!demod_ || rateKsps == 0)
        return AcquisitionMs(model_, ksps, c.captureFraction, rateKsps == 0, s2);
    // The family's lock time on the right values, plus the time the way to the carrier takes:
    // the kernel's zig-zag (stv0299: steps of SR / 16000 kHz, SR / 32000 below 10 MS/s, one per
    // delay, alternating sides; each trial pulls in within half a step) or the chip's own
    // acquisition.
    double ms = demod_->lockMs * (rateKsps < 5000 ? 2 : 1);
    if (demod_->zigzagStepDivisor > 0) {
        double stepMhz = ksps / demod_->zigzagStepDivisor * (ksps < 10000 ? 0.5 : 1.0);
        ms += 2 * std::floor(std::abs(c.offsetMhz) / stepMhz + 0.5) * demod_->zigzagDelayMs;
    } else {
        ms += model_.acquireOffsetMs * c.captureFraction;
    }
    if (s2) ms += model_.s2ExtraBaseMs + model_.s2ExtraRateMs * 1000.0 / ksps;
    return ms;
}

int32_t SimulatedDish::ReadBackRate(const Carrier& c, int32_t rateKsps) const {
    const int32_t exact = static_cast<int32_t>(std::lround(c.symbolRateKsps));
    if (!demod_ || rateKsps == 0) return exact;
    if (demod_->readRate == ReadBackRate::Requested) return rateKsps;
    // stv0299_get_symbolrate: the rate measured against the card's master clock, whose crystal
    // is off by up to +-50 ppm, rounded to 2 kS/s; then to kS/s by the device.
    const double ppm = kCrystalPpm * SignedUnit(HashOf(seed_, kCrystalChannel));
    const int64_t sps = std::llround(c.symbolRateKsps * 1000 * (1 + ppm * 1e-6));
    const int64_t measured = (sps + 1000) / 2000 * 2000;
    return static_cast<int32_t>((measured + 500) / 1000);
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
    const int64_t nowMs = clock_.MonotonicMs();
    const SkyImpairments& sky = scenario_.sky;
    const int32_t rate = RateTried();
    // The LO's error moves every carrier's IF: down when the LO lies below the carriers.
    const double loOffset = sky_.LoOffsetMhz(tuned_.oscillator, nowMs);
    double power = 0;
    Candidate best;
    const bool canLock = !(ListSearching() && search_.failed);
    if (tuned_.ifInRange) {
        const double reach = tuned_.reachMhz + std::abs(loOffset);
        auto first =
            std::lower_bound(tuned_.carriers.begin(), tuned_.carriers.end(), tuned_.ifMhz - reach,
                             [](const IfEntry& e, double value) { return e.ifMhz < value; });
        for (auto it = first; it != tuned_.carriers.end(); ++it) {
            if (it->ifMhz - tuned_.ifMhz > reach) break;
            const Carrier& c = scenario_.carriers[it->carrier];
            const double ifMhz = it->ifMhz + (c.freqMhz > tuned_.loMhz ? -loOffset : loOffset);
            const double offset = ifMhz - tuned_.ifMhz;
            double cn = c.cnDb + sky_.CnChangeDb(it->carrier, ifMhz, nowMs);
            if (it->crossPolar) cn -= *sky.xpdDb;
            power +=
                EstimatorPower(model_, cn, c.symbolRateKsps, committed_.symbolRateKsps, offset);
            double fraction = std::abs(offset) / CaptureMhz(c.symbolRateKsps);
            if (canLock && fraction <= 1.0 && fraction < best.captureFraction &&
                Demodulable(c, cn, rate)) {
                best = {&c, ifMhz, offset, cn, fraction};
            }
        }
    }
    const double noiseDb = sky_.ReadingNoiseDb(readingCount_);
    const int64_t since = ListSearching() ? search_.startMs : commitMs_;
    const bool locked = best.carrier && static_cast<double>(nowMs - since) >= AcquireMs(best, rate);
    if (ListSearching() && !search_.locked && !search_.failed) {
        if (locked) {
            search_.locked = true;  // the device keeps this candidate from now on
            const bool readsTuned = demod_ && demod_->readFrequency == ReadBackFrequency::Requested;
            searchOrder_.Locked(SearchPath(), rate,
                                std::llround((readsTuned ? tuned_.ifMhz : best.ifMhz) * 1000));
        } else if (nowMs >= search_.deadlineMs) {
            if (++search_.attempt >= SearchAttempts())
                search_.failed = true;  // one pass, as the device makes it
            else
                StartAttempt(nowMs);
        }
    }
    if (locked) {
        const Carrier& c = *best.carrier;
        const bool searching = rate == 0;
        double rateError = searching ? 0.0
                                     : std::abs(rate - c.symbolRateKsps) /
                                           RateToleranceKsps(model_, c.symbolRateKsps);
        r.locked = true;
        const bool readsTuned = demod_ && demod_->readFrequency == ReadBackFrequency::Requested;
        r.freqMhz = readsTuned ? committed_.freqMhz : ReportedFrequency(best.ifMhz);
        r.symbolRateKsps = ReadBackRate(c, rate);
        r.fecCode = c.fecCode;
        const double cnRead = best.cnDb + noiseDb;
        r.snr = static_cast<float>(cnRead + model_.lockedSnrNoiseDb * NoiseAt(kSnrNoise));
        int32_t noiseStep =
            static_cast<int32_t>(std::lround(model_.qualityNoise * NoiseAt(kQualityNoise)));
        r.quality = LockedQuality(model_, cnRead, best.captureFraction, rateError, noiseStep);
    } else {
        double snr =
            UnlockedSnrDb(model_, power) + model_.snrNoiseDb * NoiseAt(kSnrNoise) + noiseDb;
        r.snr = static_cast<float>(std::max(0.0, snr));
    }
    r.snr = snrMedian_.Push(r.snr, r.locked);
    double above = std::max(0.0, r.snr - model_.snrFloorDb);
    double level = model_.levelBase + model_.levelPerDb * above + NoiseAt(kLevelNoise);
    r.level = std::clamp(static_cast<int32_t>(std::lround(level)), 0, 100);
    readings_ = r;
}

}  // namespace quillox::sim
