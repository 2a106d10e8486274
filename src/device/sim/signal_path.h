#pragma once
// The outdoor part of the simulated dish: DiSEqC switch, LNB (voltage picks the polarisation,
// the 22 kHz tone picks the oscillator) and the tuner's IF. It answers which carriers reach the
// tuner and where they sit relative to the tuned IF; the carriers of each oscillator and
// polarisation are kept sorted by IF so that a lookup is a binary search.
#include <cstdint>
#include <span>
#include <vector>

#include "device/sim/dish_model.h"
#include "satellites/scenario_types.h"

namespace quillox::sim {

// The dish receives a satellite as its table describes it.
using satellites::Carrier;
using satellites::DvbSystem;
using satellites::LnbModel;
using satellites::Scenario;
using satellites::SkyImpairments;

// What reaches the LNB and the tuner from the card: LNB power and its voltage, the 22 kHz tone,
// the IF the tuner is on. cFeed: on a dish with two feeds, the C-band LNB.
struct LnbInput {
    bool powered = false;
    bool vertical = false;  // 13 V
    bool highBand = false;  // 22 kHz tone
    bool cFeed = false;
    double ifMhz = 0;
};

// A committed DiSEqC 1.0 switch that also obeys the mini-DiSEqC tone burst (position only).
// Powers up on port 1.
class DiseqcSwitch {
public:
    void Select(int32_t position, int32_t option) { position_ = position, option_ = option; }
    void Burst(int32_t position) { position_ = position; }
    int32_t port() const { return 1 + position_ + 2 * option_; }  // 1..4

private:
    int32_t position_ = 0;  // 0 = A, 1 = B
    int32_t option_ = 0;
};

struct IfEntry {
    double ifMhz;             // with the nominal LO
    uint32_t carrier;         // index into Scenario::carriers
    bool crossPolar = false;  // the other polarisation's carrier, leaking through (xpd-db)
};

// What the tuner sees after a commit.
struct TunedPath {
    bool input = false;                 // LNB powered and the switch on the dish's port
    bool ifInRange = false;             // tuned IF within the tuner's range
    double ifMhz = 0;                   // the IF the tuner is on
    std::span<const IfEntry> carriers;  // on the active oscillator and polarisation, by IF
    double reachMhz = 0;                // widest offset at which any of them still matters
    int oscillator = 0;  // which LO: 2 x feed + (high band), one per physical oscillator
    double loMhz = 0;    // its nominal frequency
};

class SignalPath {
public:
    SignalPath(const Scenario& scenario, const DishModelParameters& model);
    TunedPath Tune(const LnbInput& in, int32_t switchPort) const;

private:
    struct Feed {
        LnbModel lnb;
        double inputMinMhz = 0, inputMaxMhz = 0;  // RF band the LNB passes
        std::vector<IfEntry> byIf[2][2];          // [low/high oscillator][H/V]
        double reachMhz = 0;
    };
    static Feed FeedOf(const LnbModel& lnb);
    void IndexCarriers(Feed& feed);

    const Scenario& scenario_;
    const DishModelParameters& model_;
    std::vector<Feed> feeds_;  // one LNB, or the Ku (0) and C (1) feeds of a dual-feed dish
};

}  // namespace quillox::sim
