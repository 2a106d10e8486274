#include "device/sim/simulated_dish.h"

#include <memory>

namespace quillox::sim {

SimulatedDish::SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed)
    : SimulatedDish(std::move(scenario), clock, seed, DishModelParameters{}) {}

SimulatedDish::SimulatedDish(Scenario scenario, Clock& clock, uint32_t seed,
                             DishModelParameters model)
    : SimulatedDish(
          new SimulatedFrontend(scenario, clock, seed, SimulatedCard::Of(scenario, model)), clock) {
}

SimulatedDish::SimulatedDish(SimulatedFrontend* frontend, Clock& clock)
    : DvbFrontendDevice(std::unique_ptr<dvb::FrontendIo>(frontend), frontend->Info(), clock),
      frontend_(*frontend) {
    frontend_.open("simulated", true);
}

void SimulatedDish::Committing(int32_t frequencyMhz, int32_t lofMhz) {
    frontend_.AssumeLnb(lofMhz, frequencyMhz);
}

int32_t SimulatedDish::QuickestRateSearchLockMs() const {
    return frontend_.QuickestRateSearchLockMs();
}

}  // namespace quillox::sim
