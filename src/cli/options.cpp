#include "cli/options.h"

#include <charconv>
#include <map>

namespace quillox::cli {
namespace {

// Options that only give a field of the window its text; the window validates it.
const std::map<std::string, std::string>& FieldOptions() {
    static const std::map<std::string, std::string> fields{
        {"--start", "ed_f_start"},     {"--end", "ed_f_end"},          {"--step", "ed_f_step"},
        {"--delay", "ed_f_delay"},     {"--sr-delay", "ed_sr_delay"},  {"--lof-low", "ed_LOF_low"},
        {"--lof-switch", "ed_LOF_sw"}, {"--lof-high", "ed_LOF_higth"}, {"--tone", "cbLNB_Sel"},
        {"--freq", "Edit12"},          {"--pol", "cbPolarity"},        {"--fec", "cbFec"},
        {"--sr-start", "ed_start"},    {"--sr-end", "ed_end"},         {"--sr-step", "ed_step"},
        {"--sr-dwell", "ed_delay"},
    };
    return fields;
}

std::optional<int> ParseNumber(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

const char* UsageText() {
    return R"(Usage: quillox-scan [options] JOB...

Runs jobs of the main window without a window, one after the other, on the same window state,
then prints the result lists. JOB is the caption of the job's button, blanks and case aside:
  "1 - FIND"             probable frequencies, vertical
  "2- Find VERT S/Rs"    symbol-rate list scan of the vertical list
  "3 - FIND"             probable frequencies, horizontal
  " 4- Find HOR   S/Rs " symbol-rate list scan of the horizontal list
  "Find_S/R"             symbol rate of one transponder (--freq, --pol, --fec)

Device and time:
  --device KIND          simulated (default), dvb or auto
  --scenario FILE        simulated dish: satellite table or transponder ini file
                         (default: the built-in satellite); a shipped table may be
                         named alone, e.g. 0192E
  --seed N               simulated dish: noise seed (default 1)
  --adapter N --frontend M   DVB device /dev/dvb/adapterN/frontendM (default 0, 0)
  --virtual-time         run on a virtual clock: waits take no real time
  --no-progress          no progress bar

Window parameters (texts as typed into the window; the window checks them):
  --band ku|c|custom     band of the Settings group (sets its LOF defaults)
  --lof-low MHZ --lof-switch MHZ --lof-high MHZ   LNB oscillators (custom band)
  --tone TEXT            LNB selection: "None", "22 KHz", "33 KHz", "44 KHz"
  --diseqc TEXT          DiSEqC option, e.g. "Simple A", sent before the jobs
  --start MHZ --end MHZ --step MHZ --delay MS      probable-frequency sweep
  --sr-class CLASS       symbol rate of the sweep: "<7.5", "<15", ">15" or custom
  --sr-custom N          custom class limit, 1..10 MS/s
  --sr-list FILE         symbol-rate list file (.Zyl) to load
  --freq-list-v FILE     vertical frequency list file (.frl) to load
  --freq-list-h FILE     horizontal frequency list file (.frl) to load
  --sr-delay MS          settle time per symbol-rate trial
  --freq MHZ --pol VERTICAL|HORIZONTAL --fec 1/2..7/8|AUTO   transponder of the finder
  --sr-start KSPS --sr-end KSPS --sr-step KSPS --sr-dwell MS  finder's search range and dwell
  --fine none|normal|best                finder's fine tuning

Checking:
  --truth SCENARIO       compare the transponders found (or the symbol rate found) with a
                         scenario file
                         ("builtin" for the built-in satellite)
  -h, --help             this text
  --version              the program's version
)";
}

ParseResult ParseOptions(int argc, const char* const* argv) {
    ParseResult result;
    Options& o = result.options;
    o.device.kind = "simulated";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            if (size_t eq = arg.find('='); eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < argc) return std::string(argv[++i]);
            result.error = "option " + arg + " needs a value";
            return std::nullopt;
        };
        auto number = [&](int& out) {
            std::optional<std::string> text = value();
            if (!text) return false;
            std::optional<int> n = ParseNumber(*text);
            if (!n) result.error = "option " + arg + " needs a whole number, not '" + *text + "'";
            if (n) out = *n;
            return n.has_value();
        };

        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--virtual-time") {
            o.virtualTime = true;
        } else if (arg == "--no-progress") {
            o.progress = false;
        } else if (auto field = FieldOptions().find(arg); field != FieldOptions().end()) {
            if (auto v = value()) o.fields.emplace_back(field->second, *v);
        } else if (arg == "--device") {
            if (auto v = value()) o.device.kind = *v;
            if (o.device.kind != "simulated" && o.device.kind != "dvb" && o.device.kind != "auto")
                result.error = "unknown device kind '" + o.device.kind + "'";
        } else if (arg == "--scenario") {
            if (auto v = value()) o.device.scenario = *v;
        } else if (arg == "--seed") {
            int seed = 0;
            if (number(seed)) o.device.seed = static_cast<uint32_t>(seed);
        } else if (arg == "--adapter") {
            number(o.device.adapter);
        } else if (arg == "--frontend") {
            number(o.device.frontend);
        } else if (arg == "--band") {
            o.band = value();
            if (o.band && *o.band != "ku" && *o.band != "c" && *o.band != "custom")
                result.error = "unknown band '" + *o.band + "' (ku, c or custom)";
        } else if (arg == "--sr-class") {
            o.srClass = value();
            if (o.srClass && *o.srClass != "<7.5" && *o.srClass != "<15" && *o.srClass != ">15" &&
                *o.srClass != "custom")
                result.error = "unknown symbol-rate class '" + *o.srClass + "'";
        } else if (arg == "--sr-custom") {
            int n = 0;
            if (number(n)) o.srCustom = n;
            if (o.srCustom && (n < 1 || n > 10)) result.error = "--sr-custom takes 1 to 10";
        } else if (arg == "--diseqc") {
            o.diseqc = value();
        } else if (arg == "--sr-list") {
            o.srListFile = value();
        } else if (arg == "--freq-list-v") {
            o.freqListV = value();
        } else if (arg == "--freq-list-h") {
            o.freqListH = value();
        } else if (arg == "--fine") {
            o.fineTuning = value();
            if (o.fineTuning && *o.fineTuning != "none" && *o.fineTuning != "normal" &&
                *o.fineTuning != "best")
                result.error = "unknown fine tuning '" + *o.fineTuning + "' (none, normal or best)";
        } else if (arg == "--truth") {
            o.truth = value();
        } else if (arg.rfind("--", 0) == 0) {
            result.error = "unknown option " + arg;
        } else {
            o.jobs.push_back(arg);
        }
        if (!result.error.empty()) return result;
    }
    if (!o.help && !o.version && o.jobs.empty()) result.error = "no job given";
    return result;
}

}  // namespace quillox::cli
