#include "device/search_place.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillox {

int32_t PeakCandidateMs(DemodFamily family, int32_t ksps) {
    const DemodProfile& p = DemodProfileOf(family);
    double ms = p.lockMs * (ksps < 5000 ? 2 : 1);
    if (p.zigzagStepDivisor > 0 && ksps > 0) {
        const double stepMhz = ksps / double(p.zigzagStepDivisor) * (ksps < 10000 ? 0.5 : 1.0);
        ms += 2 * std::ceil(kPeakOffsetMhz / stepMhz) * p.zigzagDelayMs;
    } else {
        ms += 150;  // the chip's own acquisition off centre
    }
    return std::min(static_cast<int32_t>(ms), LockTimeouts{}.ForRate(family, ksps));
}

void SearchPlace::Close(size_t present, bool presentTrying) {
    if (!tune_.valid) return;
    const Tune t = tune_;
    tune_ = {};
    const bool continues =
        run_.active && run_.path == t.path && std::abs(t.mhz - run_.lastMhz) <= kRunGapMhz;
    if (!t.sawEnergy) {
        // A step past a carrier's energy: its centre lies behind. Elsewhere no carrier is near.
        if (continues && t.tunedMhz != run_.bestMhz) {
            run_.lastMhz = t.mhz;
            run_.falling = true;
        } else {
            run_ = {};
        }
        return;
    }
    if (!continues) {
        run_ = {true, t.path, t.mhz, t.tunedMhz, t.Energy(), false, present + 1, false};
        return;
    }
    run_.lastMhz = t.mhz;
    if (t.tunedMhz != run_.bestMhz) {  // tuned where the program asked: still looking for the top
        if (t.Energy() > run_.bestEnergy) {
            run_.bestMhz = t.tunedMhz;
            run_.bestEnergy = t.Energy();
            run_.next = present + 1;
        } else {
            run_.falling = true;
        }
    } else {  // at the best step: go on with the present candidate while it has time
        run_.next = presentTrying ? present : present + 1;
        run_.nextRunning = presentTrying;
    }
}

double SearchPlace::ReachMhz(int32_t ksps) {
    return std::max(ksps / 2000.0, double(kMinReachMhz));
}

SearchPlace::Plan SearchPlace::Next(int64_t path, int32_t mhz, const std::vector<int32_t>& order,
                                    size_t present, bool presentTrying) {
    run_.nextRunning = false;
    Close(present, presentTrying);
    Plan plan{mhz, 0, false};
    const bool inRun =
        run_.active && run_.path == path && std::abs(mhz - run_.lastMhz) <= kRunGapMhz;
    if (inRun && run_.falling && run_.next < order.size() &&
        std::abs(mhz - run_.bestMhz) <= ReachMhz(order[run_.next])) {
        plan = {run_.bestMhz, run_.next, run_.nextRunning};
    } else if (inRun && run_.falling) {
        run_ = {};  // the best step is out of reach, or every candidate was tried there
    }
    tune_ = {true, path, mhz, plan.tuneMhz, plan.firstCandidate, 0, 0, false};
    return plan;
}

void SearchPlace::Reading(double snr, bool energy) {
    if (!tune_.valid) return;
    if (tune_.readings++ > 0) tune_.snrSum += snr;
    tune_.sawEnergy = tune_.sawEnergy || (energy && tune_.readings > 1);
}

}  // namespace quillox
