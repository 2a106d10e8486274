#pragma once
// The demodulator model of the simulated dish: a DVB-S QPSK demodulator of the kind the older
// PCI cards carry, or (dvbs2) a current one that finds DVB-S and DVB-S2 carriers by itself. Pure
// functions of the carrier, the tuning and the time since the last commit; every number that shapes
// the behaviour lives in DishModelParameters. The reasoning behind each value is in
// docs/device-and-simulated-dish.md, section 5.
#include <cstdint>

namespace quillox::sim {

struct DishModelParameters {
    // A DVB-S2 card: it locks DVB-S2 carriers too, taking longer for them, since frame
    // synchronisation and LDPC decoding come on top: + s2ExtraBaseMs + s2ExtraRateMs * 1000 / SR.
    bool dvbs2 = false;
    double s2ExtraBaseMs = 100;
    double s2ExtraRateMs = 200;
    // Such a demodulator searches a limited range around the tuned frequency rather than
    // zig-zagging far out: +-8 MHz at most (stv0910 searches 16 MHz, stv090x 10 MHz).
    double s2CaptureMaxMhz = 8;

    // Tuner input: the IF range of the tuner and of the older frontends alike.
    double ifMinMhz = 950;
    double ifMaxMhz = 2150;

    // Carrier capture: the derotator pulls a carrier in within +-(base + perMsps * SR) MHz.
    double captureBaseMhz = 0.3;
    double captureMhzPerMsps = 0.5;
    double captureMaxMhz = 16;

    // A fixed symbol rate locks when it is within base + perMille * SR / 1000 kS/s of the
    // carrier's rate.
    double rateToleranceBaseKsps = 12;
    double rateTolerancePerMille = 1.0;

    // Acquisition time after a commit, fixed rate: base + rateMs * 1000 / SR + offsetMs * x,
    // x = |offset| / capture half-width. Symbol rate 0 (search): searchBase + searchRateMs * 1000
    // / SR + searchOffsetMs * x, only for carriers within the search range: at most 190 ms down
    // to 1000 kS/s, so the second method's sweep finds at its shortest delay (200 ms: polls up
    // to 200 ms after each commit) what it finds at any longer one.
    double acquireBaseMs = 30;
    double acquireRateMs = 60;
    double acquireOffsetMs = 150;
    double searchBaseMs = 40;
    double searchRateMs = 60;
    double searchOffsetMs = 90;
    double searchMinKsps = 1000;
    double searchMaxKsps = 45000;

    // Unlocked signal-to-noise estimate (dB-like reading): floor + 10 log10(1 + S), where each
    // carrier adds cn * share * cos^2(pi/2 * |offset| / w), w = estimatorMhzPerMsps * SR, and
    // share = min(1, carrier SR / staged SR) (1 when the staged rate is 0).
    double snrFloorDb = 1.0;
    double snrNoiseDb = 0.35;  // +- uniform, per reading
    double estimatorMhzPerMsps = 0.3;

    // Locked readings: SNR = C/N +- noise; quality = q0 * (1 - offsetSlope * x)
    // * (1 - rateSlope * |rate error| / tolerance) +- qualityNoise, clamped to 1..100,
    // q0 = qualityPerDb * (C/N - qualityZeroDb) clamped to qualityMin..100.
    double lockedSnrNoiseDb = 0.3;
    double qualityPerDb = 8;
    double qualityZeroDb = 2;
    double qualityMin = 20;
    double offsetSlope = 0.7;
    double rateSlope = 0.6;
    int32_t qualityNoise = 1;

    // Signal level (Sigtre): levelBase + levelPerDb * estimate above the floor, 0 without input.
    double levelBase = 20;
    double levelPerDb = 5;
};

const DishModelParameters& DefaultModel();

double CaptureHalfWidthMhz(const DishModelParameters& p, double rateKsps);
double RateToleranceKsps(const DishModelParameters& p, double rateKsps);
// Whether the demodulator can lock the carrier with this staged rate (0 = search the rate).
bool RateAccepted(const DishModelParameters& p, int32_t stagedKsps, double carrierKsps);
// offsetFraction = |offset| / capture half-width, 0..1; dvbs2Carrier adds the DVB-S2 part.
double AcquisitionMs(const DishModelParameters& p, double carrierKsps, double offsetFraction,
                     bool searchingRate, bool dvbs2Carrier = false);

double EstimatorHalfWidthMhz(const DishModelParameters& p, double carrierKsps);
// Linear carrier power the SNR estimator sees from one carrier at the given offset.
double EstimatorPower(const DishModelParameters& p, double cnDb, double carrierKsps,
                      int32_t stagedKsps, double offsetMhz);
// The reading before noise: floor + 10 log10(1 + total power).
double UnlockedSnrDb(const DishModelParameters& p, double totalPower);

// The tuner's AGC: the power inside the demodulator's filter (half-width: the tuned rate's
// occupied half-band, at least filterMinHalfMhz) over the noise's alone, in dB. A carrier's
// spectrum is a raised cosine of its roll-off whose flat top lies C/N above the noise density.
constexpr double kDvbsRollOff = 0.35;   // EN 300 421
constexpr double kDvbs2RollOff = 0.25;  // the middle of EN 302 307's 0.20, 0.25 and 0.35
constexpr double kFilterMinHalfMhz = 0.5;
double OccupiedHalfWidthMhz(double rateKsps, double rollOff = kDvbsRollOff);
double FilterHalfWidthMhz(double tunedKsps);
// Power of one carrier inside a filter of half-width filterHalfMhz at offset (carrier minus
// tuned), in units of the noise density times MHz.
double InBandPower(double cnDb, double carrierKsps, double rollOff, double offsetMhz,
                   double filterHalfMhz);

int32_t LockedQuality(const DishModelParameters& p, double cnDb, double offsetFraction,
                      double rateErrorFraction, int32_t noiseStep);

}  // namespace quillox::sim
