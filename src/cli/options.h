#pragma once
// Command line of quillox-scan: the device, the time base, the window's parameters and the jobs
// to run by the captions of their buttons.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/device_factory.h"

namespace quillox::cli {

struct Options {
    bool help = false;
    bool version = false;
    bool virtualTime = false;
    bool progress = true;  // drawn only when stdout is a terminal
    bool listDevices = false;
    DeviceSettings device;
    std::vector<std::string> jobs;  // button captions, in the order given

    std::optional<std::string> band;  // "ku", "c" or "custom"
    // Texts for the window's fields, by control name, in the order given.
    std::vector<std::pair<std::string, std::string>> fields;
    std::optional<std::string> srClass;  // "<7.5", "<15", ">15" or "custom"
    std::optional<int> srCustom;         // track bar 1..10 (MS/s)
    std::optional<std::string> diseqc;   // option text of the Settings group
    std::optional<std::string> srListFile, freqListV, freqListH;
    std::optional<std::string> truth;             // scenario file, or "builtin"
    std::optional<std::string> finderFineTuning;  // symbol-rate finder: "none", "normal", "best"

    // Page rev. 2.3.
    std::optional<std::string> polarities;  // "v", "h" or "vh"
    std::optional<bool> fineTuning;
    std::optional<int> customDelay;      // ms; chooses the custom delay
    std::optional<std::string> srRange;  // "all" or "FROM-TO" in MS/s
    std::optional<std::string> satName;
    std::optional<std::string> position;     // e.g. "13.0E", "0.8W"
    std::optional<std::string> iniFile;      // transponder file written at the end
    std::optional<std::string> exportFile;   // DVBv5 initial-tuning file written at the end
    std::optional<std::string> compareFile;  // earlier transponder file to compare with
    std::optional<std::string> plotFile;     // spectrum picture (.png or .svg) written at the end
    // Strength spectrum (.png or .svg): its own pass over the range of "GO", before the jobs.
    std::optional<std::string> spectrumFile;

    // Save & Shutdown of the jobs that have it: result (and settings) into this folder.
    std::optional<std::string> saveShutdownFolder;
    bool forcedShutdown = false;  // the "WIN 98" variant
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is usable
};

ParseResult ParseOptions(int argc, const char* const* argv);
const char* UsageText();

}  // namespace quillox::cli
