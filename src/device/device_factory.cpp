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

dvb::DvbDeviceOptions DvbOptionsOf(const DeviceSettings& s) {
    dvb::DvbDeviceOptions options;
    options.lockTimeouts = s.lockTimeouts;
    options.lnbPowerUpMs = s.lnbPowerUpMs;
    return options;
}

DeviceOpenResult Opened(dvb::FrontendOpenResult opened) {
    if (!opened.device) return Failure(opened.error);
    DeviceOpenResult result;
    result.device = std::move(opened.device);
    result.detail = opened.description.name() + ", " + opened.description.path;
    result.dvbs2 = opened.description.frontend.Has(SYS_DVBS2);
    return result;
}

}  // namespace

SystemDeviceFactory::SystemDeviceFactory(Clock& clock) : clock_(clock) {}

DeviceOpenResult SystemDeviceFactory::Open(const DeviceSettings& s) {
    if (s.kind == "auto") {
        dvb::FrontendOpenResult found = dvb::OpenFirstFreeDvbsFrontend(clock_, DvbOptionsOf(s));
        // Satellite frontends exist but none is free: say so rather than pretend with the
        // simulated dish.
        if (found.device || !found.error.empty()) return Opened(std::move(found));
    } else if (s.kind == "dvb") {
        return Opened(dvb::OpenDvbFrontend(s.adapter, s.frontend, clock_, DvbOptionsOf(s)));
    } else if (s.kind != "simulated") {
        return Failure("unknown device kind '" + s.kind + "' (use auto, simulated or dvb)");
    }
    const std::optional<sim::SkyImpairments> sky = sim::SkyPreset(s.sky);
    if (!sky) return Failure("unknown sky '" + s.sky + "' (use ideal or realistic)");
    sim::Scenario scenario;
    DeviceOpenResult result;
    if (s.scenario.empty()) {
        scenario = sim::BuiltInScenario();
        scenario.sky = *sky;
    } else {
        sim::ScenarioLoadResult loaded = sim::LoadScenarioFile(s.scenario, *sky);
        if (!loaded.scenario) return Failure(loaded.error);
        scenario = std::move(*loaded.scenario);
        result.warnings = std::move(loaded.warnings);
    }
    sim::DishModelParameters model;
    model.dvbs2 = s.simulatedDvbs2;
    result.detail = "simulated dish (no card): \"" + scenario.name + "\", " +
                    (s.simulatedDvbs2 ? "DVB-S2" : "DVB-S") + " card" +
                    (s.sky == "ideal" ? "" : ", " + s.sky + " sky");
    result.device =
        std::make_unique<sim::SimulatedDish>(std::move(scenario), clock_, s.seed, model);
    result.simulated = true;
    result.dvbs2 = s.simulatedDvbs2;
    return result;
}

}  // namespace quillox
