#pragma once
// A main window built on a TestRig: a ScriptedTuner behind the device factory, recording
// dialogs, temporary program and home folders (Settings.ini lands in the program folder).
#include <filesystem>
#include <memory>
#include <string>

#include "app/form1.h"
#include "support/test_platform.h"

namespace quillox::test {

struct FormRig {
    FormRig() : form(std::make_unique<TForm1>(rig.platform)) {}

    // Creation and first showing, as the program does at start.
    void Start() {
        form->FormCreate();
        form->FormShow();
    }
    // Start, then forget the start-up's tuner calls and dialogs.
    void StartQuiet() {
        Start();
        tuner().clearCalls();
        rig.dialogs.clear();
    }

    ScriptedTuner& tuner() { return *rig.tuner; }
    std::filesystem::path settingsFile() const { return rig.programDir.path() / "Settings.ini"; }
    std::string settings() const { return ReadFileBytes(settingsFile()); }
    void WriteSettings(const std::string& bytes) { WriteFileBytes(settingsFile(), bytes); }

    TestRig rig;
    std::unique_ptr<TForm1> form;  // destroyed before the rig it uses
};

}  // namespace quillox::test
