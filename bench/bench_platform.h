#pragma once
// A window for the benchmarks, built from the tests' doubles: dialogs and shell only record,
// the power control only records (the machine is never switched off), and the program and home
// folders are temporary. The benchmark chooses the clock; the window's tuner is the built-in
// satellite on a DVB-S card, as the default device shows it.
#include <memory>

#include "app/form1.h"
#include "device/sim/simulated_dish.h"
#include "satellites/scenario_loading.h"
#include "support/test_platform.h"

namespace quillox::bench {

struct BenchWindow {
    explicit BenchWindow(Clock& clock)
        : platform{rig.dialogs,      clock, rig.devices, rig.shell, rig.power, rig.programDir.str(),
                   rig.homeDir.str()},
          form(platform) {
        form.tunerSlot().Attach(
            std::make_unique<sim::SimulatedDish>(satellites::BuiltInScenario(), clock, 1));
        form.tuner().TunerInitialize();
    }

    test::TestRig rig;
    Platform platform;
    TForm1 form;
};

}  // namespace quillox::bench
