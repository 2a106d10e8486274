#include "device/device_factory.h"

#include <optional>
#include <string_view>

#include "device/dvb/dvb_open.h"
#include "device/dvb/frontend_recorder.h"
#include "device/dvb/frontend_replay.h"
#include "device/dvb/linux_frontend_io.h"
#include "device/sim/simulated_dish.h"
#include "platform/clock.h"
#include "satellites/scenario_loading.h"

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

constexpr std::string_view kReplay = "replay:";

bool IsReplay(const std::string& kind) {
    return kind.rfind(kReplay, 0) == 0;
}

// What the DVB device's frontend calls go to: the card or a recording played back, recorded to
// a file or not.
struct FrontendSource {
    dvb::FrontendIoFactory makeIo;  // empty: the card
    std::function<std::string()> problem;
    std::optional<std::string> replayedPath;  // the frontend the recording opened
    std::string note;                         // told after the device's name
    std::string error;
};

FrontendSource SourceOf(const DeviceSettings& s, Clock& clock) {
    FrontendSource source;
    if (IsReplay(s.kind)) {
        const std::string file = s.kind.substr(kReplay.size());
        std::shared_ptr<dvb::FrontendReplay> replay =
            dvb::FrontendReplay::Load(file, clock, source.error);
        if (!replay) return source;
        source.replayedPath = replay->openedPath();
        source.makeIo = replay->Factory();
        source.problem = [replay] { return replay->problem(); };
        source.note = ", replayed from " + file;
    }
    if (!s.record.empty()) {
        std::shared_ptr<dvb::FrontendRecorder> recorder =
            dvb::FrontendRecorder::Create(s.record, clock, source.error);
        if (!recorder) return source;
        source.makeIo = dvb::RecordingFactory(
            recorder,
            source.makeIo ? source.makeIo : dvb::FrontendIoFactory(dvb::MakeLinuxFrontendIo));
        source.problem = [recorder, replayed = std::move(source.problem)] {
            const std::string problem = replayed ? replayed() : "";
            return problem.empty() ? recorder->problem() : problem;
        };
        source.note += ", recorded to " + s.record;
    }
    return source;
}

DeviceOpenResult Opened(dvb::FrontendOpenResult opened, FrontendSource source) {
    // A replay that differed while the device opened says where.
    const std::string problem = source.problem ? source.problem() : "";
    if (!problem.empty()) return Failure(problem);
    if (!opened.device) return Failure(opened.error);
    DeviceOpenResult result;
    result.device = std::move(opened.device);
    result.detail = opened.description.name() + ", " + opened.description.path + source.note;
    result.dvbs2 = opened.description.frontend.Has(SYS_DVBS2);
    result.sessionProblem = std::move(source.problem);
    return result;
}

}  // namespace

SystemDeviceFactory::SystemDeviceFactory(Clock& clock) : clock_(clock) {}

DeviceOpenResult SystemDeviceFactory::Open(const DeviceSettings& s) {
    if (s.kind == "auto" || s.kind == "dvb" || IsReplay(s.kind)) {
        FrontendSource source = SourceOf(s, clock_);
        if (!source.error.empty()) return Failure(source.error);
        const dvb::DvbDeviceOptions options = DvbOptionsOf(s);
        dvb::FrontendOpenResult opened =
            source.replayedPath
                ? dvb::OpenDvbFrontend(*source.replayedPath, clock_, source.makeIo, options)
            : s.kind == "dvb"
                ? dvb::OpenDvbFrontend(s.adapter, s.frontend, clock_, options, source.makeIo)
                : dvb::OpenFirstFreeDvbsFrontend(clock_, options, source.makeIo);
        // Satellite frontends exist but none is free: say so rather than pretend with the
        // simulated dish.
        if (s.kind != "auto" || opened.device || !opened.error.empty())
            return Opened(std::move(opened), std::move(source));
        if (!s.record.empty())
            return Failure("no DVB-S frontend to record (the simulated dish cannot be recorded)");
    } else if (s.kind != "simulated") {
        return Failure("unknown device kind '" + s.kind +
                       "' (use auto, simulated, dvb or replay:FILE)");
    } else if (!s.record.empty()) {
        return Failure("the simulated dish cannot be recorded: only a DVB frontend's calls are");
    }
    const std::optional<satellites::SkyImpairments> sky = satellites::SkyPreset(s.sky);
    if (!sky) return Failure("unknown sky '" + s.sky + "' (use ideal or realistic)");
    satellites::Scenario scenario;
    DeviceOpenResult result;
    if (s.scenario.empty()) {
        scenario = satellites::BuiltInScenario();
        scenario.sky = *sky;
    } else {
        satellites::ScenarioLoadResult loaded = satellites::LoadScenarioFile(s.scenario, *sky);
        if (!loaded.scenario) return Failure(loaded.error);
        scenario = std::move(*loaded.scenario);
        result.warnings = std::move(loaded.warnings);
    }
    sim::DishModelParameters model;
    model.dvbs2 = s.simulatedDvbs2;
    auto dish = std::make_unique<sim::SimulatedDish>(std::move(scenario), clock_, s.seed, model);
    result.detail = "simulated dish (no card): \"" + dish->scenario().name + "\", " +
                    sim::SimulatedCardText(dish->card()) +
                    (s.sky == "ideal" ? "" : ", " + s.sky + " sky");
    result.dvbs2 = dish->dvbs2();
    result.device = std::move(dish);
    result.simulated = true;
    return result;
}

}  // namespace quillox
