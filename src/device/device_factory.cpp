#include "device/device_factory.h"

#include "device/dvb/dvb_open.h"
#include "device/sim/scenario.h"
#include "device/sim/simulated_dish.h"
#include "platform/clock.h"

namespace quillox {
namespace {

DeviceOpenResult Failure(std::string detail) {
    DeviceOpenResult result;
    result.failedStep = 3;
    result.detail = std::move(detail);
    return result;
}

}  // namespace

SystemDeviceFactory::SystemDeviceFactory(Clock& clock) : clock_(clock) {}

DeviceOpenResult SystemDeviceFactory::Open(const DeviceSettings& s) {
    std::string kind = s.kind;
    int adapter = s.adapter, frontend = s.frontend;
    if (kind == "auto") {
        if (auto found = dvb::FindFirstDvbsFrontend()) {
            kind = "dvb";
            std::tie(adapter, frontend) = *found;
        } else {
            kind = "simulated";
        }
    }
    if (kind == "dvb") {
        dvb::FrontendOpenResult opened = dvb::OpenDvbFrontend(adapter, frontend, clock_);
        if (!opened.device) return Failure(opened.error);
        return {std::move(opened.device), 0, dvb::FrontendPath(adapter, frontend)};
    }
    if (kind != "simulated")
        return Failure("unknown device kind '" + s.kind + "' (use auto, simulated or dvb)");
    sim::Scenario scenario;
    std::string name = "built-in satellite";
    if (s.scenario.empty()) {
        scenario = sim::BuiltInScenario();
    } else {
        sim::ScenarioLoadResult loaded = sim::LoadScenarioFile(s.scenario);
        if (!loaded.scenario) return Failure(loaded.error);
        scenario = std::move(*loaded.scenario);
        name = s.scenario;
    }
    return {std::make_unique<sim::SimulatedDish>(std::move(scenario), clock_, s.seed), 0,
            "simulated dish: " + name};
}

}  // namespace quillox
