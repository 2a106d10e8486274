#include "scan/transponder_confirmation.h"

#include <algorithm>
#include <array>
#include <string>

namespace quillox {
namespace {

constexpr int kHalfTable = 30;  // the walks reach 30 steps of 2 MHz either side
constexpr int kTableSize = 2 * kHalfTable + 1;
constexpr int32_t kWalkStepMhz = 2;
constexpr int32_t kResumeAboveMhz = 10;
constexpr int32_t kMinDefaultDwellMs = 2500;
constexpr int32_t kPollMs = 20;
constexpr int kPollsPerStep = 3;
constexpr int32_t kCentreWaitStepMs = 50;
constexpr const char* kSeparator = "//-----------------";

struct Measurement {
    int32_t mhz = 0;
    int32_t quality = 0;
};

Measurement Measure(TunerDevice& t) {
    Measurement m;
    t.TunerRefreshStatus();
    t.TunerGetFrequency(m.mhz);
    t.TunerGetSignalQuality(m.quality);
    return m;
}

std::string MeasurementLine(const Measurement& m) {
    return "Freq = " + std::to_string(m.mhz) + "  Signal = " + std::to_string(m.quality);
}

class Confirmation {
public:
    Confirmation(TunerDevice& t, Clock& clock, const ConfirmationParams& p,
                 TransponderScanHost& host, int32_t centre)
        : t_(t), clock_(clock), p_(p), host_(host), centre_(centre) {
        for (int i = 0; i < kTableSize; ++i)
            table_[i] = centre - kHalfTable * kWalkStepMhz + kWalkStepMhz * i;
    }

    int32_t Run() {
        const Measurement detected = Measure(t_);
        host_.Log(MeasurementLine(detected));
        host_.Log(kSeparator);

        if (!TuneAndWaitForSignal()) return GiveUp();
        for (int i = kHalfTable; i >= 0; --i)
            if (Visit(i) == 0) break;

        if (!TuneAndWaitForSignal()) return GiveUp();
        int32_t resume = centre_;
        for (int j = kHalfTable; j < kTableSize; ++j) {
            const int32_t quality = Visit(j);  // the centre's reading of the way down is replaced
            resume = table_[j - 1] + kResumeAboveMhz - p_.stepMhz;
            if (quality == 0) break;
        }

        const int32_t centre = WeightedCentre();
        TuneToFrequency(t_, host_.Lnb(), centre);
        clock_.Sleep(p_.dwellMs);
        host_.Log(kSeparator);
        const Measurement atCentre = Measure(t_);
        host_.Log(MeasurementLine(atCentre));
        // Without a lock the tuner's readings describe no transponder (a symbol rate of 0, say):
        // a dwell too short for the card, or a carrier that faded. Such a line would be wrong.
        if (atCentre.quality == 0) {
            host_.Log("No lock at " + std::to_string(centre) + " after " +
                      std::to_string(p_.dwellMs) + " ms: nothing recorded");
            return resume;
        }

        host_.Found(ReadTransponder(t_));
        return resume;
    }

private:
    // Tunes to the centre and polls until the tuner reports a signal again, at most the limit.
    bool TuneAndWaitForSignal() {
        TuneToFrequency(t_, host_.Lnb(), centre_);
        clock_.Sleep(kCentreWaitStepMs);
        for (int32_t waited = 0; waited < p_.centreWaitLimitMs; waited += kCentreWaitStepMs) {
            clock_.Sleep(kCentreWaitStepMs);
            t_.TunerRefreshStatus();
            int32_t quality = 0;
            t_.TunerGetSignalQuality(quality);
            if (quality != 0) return true;
        }
        return false;
    }

    int32_t GiveUp() {
        host_.Log("No signal at " + std::to_string(centre_) + " within " +
                  std::to_string(p_.centreWaitLimitMs) + " ms: nothing recorded");
        return centre_;
    }

    // Tunes to table entry i, dwells and keeps the quality read at the end as its weight.
    int32_t Visit(int i) {
        TuneToFrequency(t_, host_.Lnb(), table_[i]);
        for (int k = 0; k < kPollsPerStep; ++k) {
            clock_.Sleep(kPollMs);
            t_.TunerRefreshStatus();
            int32_t ignored = 0;
            t_.TunerGetSignalQuality(ignored);
        }
        clock_.Sleep(std::max(0, p_.dwellMs - kPollsPerStep * kPollMs));
        const Measurement m = Measure(t_);
        host_.Log(MeasurementLine(m));
        weight_[i] = m.quality;
        return m.quality;
    }

    // The quality-weighted mean of the visited frequencies, truncated; the centre when no
    // visit had a signal. Products are 32-bit as the tuner's readings are, the sum a double.
    int32_t WeightedCentre() const {
        double total = 0;
        int64_t weights = 0;
        for (int k = 0; k < kTableSize; ++k) {
            total += static_cast<int32_t>(int64_t{table_[k]} * weight_[k]);
            weights += weight_[k];
        }
        if (weights == 0) return centre_;
        return static_cast<int32_t>(static_cast<int64_t>(total) / weights);
    }

    TunerDevice& t_;
    Clock& clock_;
    const ConfirmationParams& p_;
    TransponderScanHost& host_;
    const int32_t centre_;
    std::array<int32_t, kTableSize> table_{};
    std::array<int32_t, kTableSize> weight_{};
};

}  // namespace

int32_t ConfirmationDwellMs(int32_t sweepDwellMs, int32_t customDelayMs) {
    if (customDelayMs > 0) return customDelayMs;
    const auto scaled = static_cast<int32_t>(int64_t{sweepDwellMs} * 5 / 2);
    return std::max(scaled, kMinDefaultDwellMs);
}

FoundTransponder ReadTransponder(TunerDevice& t) {
    t.TunerRefreshStatus();
    FoundTransponder found{0, 0, 0, 0};
    t.TunerGetFrequency(found.mhz);
    t.TunerGetPolarity(found.polarityCode);
    t.TunerGetSymbolRate(found.ksps);
    t.TunerGetFec(found.fecCode);
    return found;
}

int32_t ConfirmTransponder(TunerDevice& tuner, Clock& clock, const ConfirmationParams& params,
                           TransponderScanHost& host, int32_t mhz) {
    return Confirmation(tuner, clock, params, host, mhz).Run();
}

}  // namespace quillox
