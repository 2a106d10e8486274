#pragma once
// Blind acquisition's arithmetic, apart from any frontend: the strength spectrum the device
// measures through the tuner (one reading per IF point, kept per LNB path until it ages), the
// carrier under a tuned frequency as that spectrum shows it (its centre and its -3 dB width),
// and the symbol rates worth trying on it.
//
// The -3 dB width is the rate: a root-raised-cosine carrier's power at +-SR/2 from its centre is
// half its peak whatever the roll-off, and the narrow filter the survey tunes with smooths the
// edges symmetrically, which leaves the half-power points where they are. Not thread-safe: the
// device that owns it guards it.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace quillox::dvb {

struct SurveyPlan {
    int32_t stepKhz = 1000;         // between the IF points of the spectrum
    int32_t firstReachKhz = 16000;  // surveyed either side of the tuned IF at first
    int32_t maxReachKhz = 48000;    // ... and at most, while a carrier's edge lies further out
    int64_t maxAgeMs = 60000;       // a point older than this is measured again
};

// A carrier as the spectrum shows it.
struct CarrierEstimate {
    int64_t centreKhz = 0;  // IF
    int32_t widthKhz = 0;   // between the half-power points: the symbol rate in kS/s
    double riseDb = 0;      // its top over the floor
};

// What the spectrum says about a tuned IF.
struct SpectrumVerdict {
    enum Kind {
        Incomplete,  // a point is missing (measure it first: SpectrumSurvey::Missing)
        NoCarrier,   // the floor: nothing there
        Carrier,     // estimate holds it
    } kind = Incomplete;
    CarrierEstimate estimate;
};

class SpectrumSurvey {
public:
    explicit SpectrumSurvey(SurveyPlan plan = {}) : plan_(plan) {}
    const SurveyPlan& plan() const { return plan_; }

    // The points not yet measured (or aged) within reachKhz of ifKhz on the IF grid, nearest
    // first, inside lowKhz..highKhz (the frontend's range).
    std::vector<int64_t> Missing(int64_t path, int64_t ifKhz, int32_t reachKhz, int64_t lowKhz,
                                 int64_t highKhz, int64_t nowMs) const;
    void Record(int64_t path, int64_t ifKhz, double levelDb, int64_t nowMs);
    // The carrier under ifKhz. reachKhz grows (up to the plan's maximum) while an edge of the
    // carrier lies beyond it: Incomplete until those points are in.
    SpectrumVerdict Examine(int64_t path, int64_t ifKhz, int32_t& reachKhz, int64_t lowKhz,
                            int64_t highKhz, int64_t nowMs) const;
    void Forget() { points_.clear(); }

    // The point of the IF grid nearest to ifKhz.
    int64_t GridPoint(int64_t ifKhz) const;

private:
    struct Point {
        double levelDb;
        int64_t atMs;
    };
    SurveyPlan plan_;
    std::map<int64_t, std::map<int64_t, Point>> points_;  // path -> IF kHz -> reading
};

// The rates worth trying on a carrier whose -3 dB width is widthKhz: the common rates inside the
// estimate's uncertainty, nearest first; then, where the demodulator's tolerance (ppm) makes it
// affordable (at most maxGrid more), a grid across the estimate with a step under twice the
// tolerance. Every rate lies within minKsps..maxKsps (0: no limit).
std::vector<int32_t> RatesForWidth(int32_t widthKhz, std::span<const int32_t> common,
                                   uint32_t tolerancePpm, int32_t minKsps, int32_t maxKsps,
                                   int maxGrid = 8);

// The rates in their order, without those a demodulator of that tolerance (ppm) locks by an
// earlier one already (stv090x's 5 % takes 27000 and 28000 with 27500).
std::vector<int32_t> DistinctWithinTolerance(std::span<const int32_t> rates, uint32_t tolerancePpm);

// How far a width estimate may be off, in kHz: the survey's step either side, and a share of the
// width for the AGC's slope and the neighbours' skirts.
int32_t WidthUncertaintyKhz(int32_t widthKhz, int32_t stepKhz);
// How far a carrier's centre may be off, in kHz: its edges are steeper the narrower it is, so
// their midpoint is the surer (about 60-90 kHz below 13 MS/s, 130-330 kHz above on the simulated
// dish's readings, whose noise is 0.5 dB).
int32_t CentreUncertaintyKhz(int32_t widthKhz);

}  // namespace quillox::dvb
