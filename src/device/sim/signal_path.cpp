#include "device/sim/signal_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/tuning_code_values.h"

namespace quillox::sim {
namespace {

// Input bands of the standard LNBs; a custom LNB passes whatever its IF can carry.
constexpr double kKuMinMhz = 10700, kKuMaxMhz = 12750;
constexpr double kCMinMhz = 3400, kCMaxMhz = 4800;

}  // namespace

SignalPath::SignalPath(const Scenario& scenario, const DishModelParameters& model)
    : scenario_(scenario), model_(model) {
    if (scenario.lnb) {
        feeds_.push_back(FeedOf(*scenario.lnb));
    } else {
        feeds_.push_back(FeedOf(LnbModel::Universal()));
        feeds_.push_back(FeedOf(LnbModel::CBand()));
    }
    for (Feed& feed : feeds_) IndexCarriers(feed);
}

SignalPath::Feed SignalPath::FeedOf(const LnbModel& lnb) {
    Feed feed;
    feed.lnb = lnb;
    switch (lnb.kind) {
        case LnbModel::Kind::Universal:
            feed.inputMinMhz = kKuMinMhz, feed.inputMaxMhz = kKuMaxMhz;
            break;
        case LnbModel::Kind::CBand:
            feed.inputMinMhz = kCMinMhz, feed.inputMaxMhz = kCMaxMhz;
            break;
        case LnbModel::Kind::Custom:
            feed.inputMinMhz = 0, feed.inputMaxMhz = std::numeric_limits<double>::max();
            break;
    }
    return feed;
}

void SignalPath::IndexCarriers(Feed& feed) {
    double los[2] = {feed.lnb.loLowMhz, feed.lnb.loHighMhz};
    // Carriers just outside the IF range still spill into the edge of the tuner's band.
    double margin = model_.captureMaxMhz + 50;
    for (uint32_t i = 0; i < scenario_.carriers.size(); ++i) {
        const Carrier& c = scenario_.carriers[i];
        if (c.freqMhz < feed.inputMinMhz || c.freqMhz > feed.inputMaxMhz) continue;
        double reach = std::max({CaptureHalfWidthMhz(model_, c.symbolRateKsps),
                                 EstimatorHalfWidthMhz(model_, c.symbolRateKsps),
                                 OccupiedHalfWidthMhz(c.symbolRateKsps)});
        const int pol = c.polarity == polarity::kVertical ? 1 : 0;
        for (int lo = 0; lo < 2; ++lo) {
            double ifMhz = std::abs(c.freqMhz - los[lo]);
            if (ifMhz < model_.ifMinMhz - margin || ifMhz > model_.ifMaxMhz + margin) continue;
            feed.byIf[lo][pol].push_back({ifMhz, i});
            // The feed's cross-polar leakage puts each carrier on the other polarisation too.
            if (scenario_.sky.xpdDb) feed.byIf[lo][1 - pol].push_back({ifMhz, i, true});
            feed.reachMhz = std::max(feed.reachMhz, reach);
        }
    }
    for (auto& perLo : feed.byIf)
        for (auto& list : perLo)
            std::sort(list.begin(), list.end(),
                      [](const IfEntry& a, const IfEntry& b) { return a.ifMhz < b.ifMhz; });
}

TunedPath SignalPath::Tune(const LnbInput& in, int32_t switchPort) const {
    TunedPath path;
    bool onPort = !scenario_.diseqcPort || *scenario_.diseqcPort == switchPort;
    path.input = in.powered && onPort;
    path.ifMhz = in.ifMhz;
    path.ifInRange = path.ifMhz >= model_.ifMinMhz && path.ifMhz <= model_.ifMaxMhz;
    if (!path.input) return path;

    // A dish with two feeds: the LNB the program assumes (the frontend is told which).
    const size_t feedIndex = feeds_.size() == 1 || !in.cFeed ? 0 : 1;
    const Feed& feed = feeds_[feedIndex];
    int lo = in.highBand ? 1 : 0;
    int pol = in.vertical ? 1 : 0;
    path.carriers = feed.byIf[lo][pol];
    path.reachMhz = feed.reachMhz;
    path.loMhz = lo == 1 ? feed.lnb.loHighMhz : feed.lnb.loLowMhz;
    // A single-oscillator LNB has one LO whatever the tone.
    const bool oneOscillator = feed.lnb.loHighMhz == feed.lnb.loLowMhz;
    path.oscillator = 2 * static_cast<int>(feedIndex) + (oneOscillator ? 0 : lo);
    return path;
}

}  // namespace quillox::sim
