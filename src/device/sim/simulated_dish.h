#pragma once
// The simulated dish: the program's one DVB device over a simulated kernel frontend
// (simulated_frontend.h), which models a satellite installation (carriers, LNB, DiSEqC switch)
// and the demodulator of a card, so that the program and every scan run on any machine and run
// the very code that drives a real card. Time comes from the Clock given, so with a VirtualClock
// whole scans run in milliseconds with the same results as in real time. Thread-safe, as the
// device is.
#include <cstdint>

#include "device/dvb/dvb_frontend_device.h"
#include "device/sim/dish_model.h"
#include "device/sim/simulated_frontend.h"
#include "device/tuner_device.h"
#include "platform/clock.h"

namespace quillox::sim {

class SimulatedDish : public dvb::DvbFrontendDevice, public RateSearchTiming {
public:
    SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed);
    SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed, DishModelParameters model);

    int32_t QuickestRateSearchLockMs() const override;

    const Scenario& scenario() const { return frontend_.scenario(); }
    const SimulatedCard& card() const { return frontend_.card(); }

private:
    SimulatedDish(SimulatedFrontend* frontend, Clock& clock);
    // The program's LNB settings also tell a dish with two feeds which LNB it means.
    void Committing(int32_t frequencyMhz, int32_t lofMhz) override;

    SimulatedFrontend& frontend_;  // owned by the device as its FrontendIo
};

}  // namespace quillox::sim
