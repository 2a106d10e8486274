#include "cli/options.h"

#include <charconv>
#include <map>
#include <vector>

#include "app/sweep_picture.h"

namespace quillox::cli {
namespace {

// Options that only give fields of the window their text; the window validates them. The
// range of a sweep goes to both blind-scan pages, so it applies to whichever job runs.
const std::map<std::string, std::vector<std::string>>& FieldOptions() {
    static const std::map<std::string, std::vector<std::string>> fields{
        {"--start", {"ed_f_start", "ed_f_start_r23"}},
        {"--end", {"ed_f_end", "ed_f_end_r23"}},
        {"--step", {"ed_f_step", "ed_f_step_r23"}},
        {"--delay", {"ed_f_delay", "ed_f_delay_r23"}},
        {"--sr-delay", {"ed_sr_delay"}},
        {"--lof-low", {"ed_LOF_low"}},
        {"--lof-switch", {"ed_LOF_sw"}},
        {"--lof-high", {"ed_LOF_higth"}},
        {"--tone", {"cbLNB_Sel"}},
        {"--sat-name", {"ed_sat_name", "ed_sat_name_r23"}},
        {"--freq", {"Edit12"}},
        {"--pol", {"cbPolarity"}},
        {"--fec", {"cbFec"}},
        {"--sr-start", {"ed_start"}},
        {"--sr-end", {"ed_end"}},
        {"--sr-step", {"ed_step"}},
        {"--sr-dwell", {"ed_delay"}},
    };
    return fields;
}

bool ValidPosition(const std::string& text) {
    const size_t comma = text.find_first_of(".,");
    return text.size() >= 4 && comma != std::string::npos && comma + 3 == text.size() &&
           (text.back() == 'E' || text.back() == 'W');
}

std::optional<int> ParseNumber(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

const char* UsageText() {
    return R"usage(Usage: quillox-scan [options] JOB...
       quillox-scan [options] --spectrum FILE.png|FILE.svg [JOB...]

Runs jobs of the main window without a window, one after the other, on the same window state,
then prints the result lists. JOB is the caption of the job's button, blanks and case aside:
  "1 - FIND"             probable frequencies, vertical
  "2- Find VERT S/Rs"    symbol-rate list scan of the vertical list
  "3 - FIND"             probable frequencies, horizontal
  " 4- Find HOR   S/Rs " symbol-rate list scan of the horizontal list
  "Find (1,2,3,4)"       the four above as one job
  "Find_S/R"             symbol rate of one transponder (--freq, --pol, --fec)
  "GO"                   sweep of page rev. 2.3 (the tuner finds the symbol rate itself)

Device and time:
  --device KIND          simulated (default), dvb, auto, or replay:FILE (a recording
                         played back as the frontend, in virtual time)
  --record FILE          write every call to the DVB frontend, with its result and
                         time, into FILE as it happens (not for the simulated dish)
  --scenario FILE        simulated dish: satellite table or transponder ini file
                         (default: the built-in satellite); a shipped table may be
                         named alone, e.g. 0192E
  --seed N               simulated dish: noise seed (default 1)
  --dvb-s2               simulated dish: a DVB-S2 card (locks DVB-S2 carriers too)
  --sky ideal|realistic  simulated dish: the scenario as it is (default), or with the
                         impairments of a real installation (LNB error, noise, the
                         device's own symbol-rate search ...); the file's directives win
  --adapter N --frontend M   DVB device /dev/dvb/adapterN/frontendM (default 0, 0)
  --list-devices         list every DVB frontend (name, systems, limits, free or busy)
  --virtual-time         run on a virtual clock: waits take no real time
  --no-progress          no progress bar

Window parameters (texts as typed into the window; the window checks them):
  --band ku|c|custom     band of the Settings group (sets its LOF defaults)
  --lof-low MHZ --lof-switch MHZ --lof-high MHZ   LNB oscillators (custom band)
  --tone TEXT            LNB selection: "None", "22 KHz", "33 KHz", "44 KHz"
  --diseqc TEXT          DiSEqC option, e.g. "Simple A", sent before the jobs
  --start MHZ --end MHZ --step MHZ --delay MS      range and dwell of either sweep
  --sr-class CLASS       symbol rate of the sweep: "<7.5", "<15", ">15" or custom
  --sr-custom N          custom class limit, 1..10 MS/s
  --sr-list FILE         symbol-rate list file (.Zyl) to load
  --freq-list-v FILE     vertical frequency list file (.frl) to load
  --freq-list-h FILE     horizontal frequency list file (.frl) to load
  --sr-delay MS          settle time per symbol-rate trial
  --freq MHZ --pol VERTICAL|HORIZONTAL --fec 1/2..7/8|AUTO   transponder of the finder
  --sr-start KSPS --sr-end KSPS --sr-step KSPS --sr-dwell MS  finder's search range and dwell
  --fine none|normal|best                finder's fine tuning
  --polarity v|h|vh      "GO": polarities to sweep (default both)
  --fine-tuning on|off   "GO": centre each transponder found (default on)
  --custom-delay MS      "GO": dwell of the centring instead of 2.5 x delay
  --sr-range all|FROM-TO "GO": symbol rates taken, in MS/s (default all)

Transponder file:
  --sat-name TEXT        satellite name
  --position DEG.TENTHS{E|W}   orbital position, e.g. 13.0E; gives the file name
  --ini FILE             write the transponder list of the last job's page to FILE
  --export FILE          write that list as a DVBv5 initial-tuning file (dvbv5-scan)
  --compare OLD.INI      list the transponders new, gone or moved since an earlier
                         transponder file of the same satellite
  --plot FILE.png|FILE.svg   draw the readings of the last job's sweeps (both
                         polarities) against the frequency, each transponder found
                         marked with its symbol rate, as a PNG or SVG picture

Strength spectrum:
  --spectrum FILE.png|FILE.svg   before any job, read the signal level at every MHz
                         of the range of "GO" (--start, --end; default 10700-12750)
                         on the polarities of --polarity (default both), the tuner
                         set to 1000 kS/s, and draw it against the frequency as a PNG
                         or SVG picture; changes no list; Ctrl-C stops the pass and
                         the picture shows what was read (status 130)

Save & Shutdown (ticks the box of "Find (1,2,3,4)", "GO" and "Find_S/R"):
  --save-shutdown FOLDER the job that ends with it writes its result into FOLDER (the
                         transponder file, or Get_-_Symbol_Rate_(result).txt) and the
                         settings into FOLDER/Settings.ini, prints what it would switch
                         off, and ends the run; nothing is switched off
  --shutdown-forced      choose the forced variant ("WIN 98")

Checking:
  --truth SCENARIO       compare the transponders found (or the symbol rate found) with a
                         scenario file
                         ("builtin" for the built-in satellite)
  -h, --help             this text
  --version              the program's version
)usage";
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
        } else if (arg == "--list-devices") {
            o.listDevices = true;
        } else if (arg == "--dvb-s2") {
            o.device.simulatedDvbs2 = true;
        } else if (auto field = FieldOptions().find(arg); field != FieldOptions().end()) {
            if (auto v = value())
                for (const std::string& name : field->second) o.fields.emplace_back(name, *v);
        } else if (arg == "--device") {
            if (auto v = value()) o.device.kind = *v;
            const bool replay = o.device.kind.rfind("replay:", 0) == 0;
            if (o.device.kind != "simulated" && o.device.kind != "dvb" && o.device.kind != "auto" &&
                (!replay || o.device.kind == "replay:"))
                result.error = "unknown device kind '" + o.device.kind + "'";
        } else if (arg == "--record") {
            if (auto v = value()) o.device.record = *v;
            if (o.device.record.empty()) result.error = "--record needs a file";
        } else if (arg == "--scenario") {
            if (auto v = value()) o.device.scenario = *v;
        } else if (arg == "--sky") {
            if (auto v = value()) o.device.sky = *v;
            if (o.device.sky != "ideal" && o.device.sky != "realistic")
                result.error = "unknown sky '" + o.device.sky + "' (ideal or realistic)";
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
            o.finderFineTuning = value();
            const auto& mode = o.finderFineTuning;
            if (mode && *mode != "none" && *mode != "normal" && *mode != "best")
                result.error = "unknown fine tuning '" + *mode + "' (none, normal or best)";
        } else if (arg == "--truth") {
            o.truth = value();
        } else if (arg == "--polarity") {
            o.polarities = value();
            if (o.polarities && *o.polarities != "v" && *o.polarities != "h" &&
                *o.polarities != "vh")
                result.error = "unknown polarity '" + *o.polarities + "' (v, h or vh)";
        } else if (arg == "--fine-tuning") {
            const std::optional<std::string> v = value();
            if (v && *v != "on" && *v != "off") result.error = "--fine-tuning takes on or off";
            if (v) o.fineTuning = *v == "on";
        } else if (arg == "--custom-delay") {
            int ms = 0;
            if (number(ms)) o.customDelay = ms;
        } else if (arg == "--sr-range") {
            o.srRange = value();
            const size_t dash = o.srRange ? o.srRange->find('-') : std::string::npos;
            if (o.srRange && *o.srRange != "all" &&
                (dash == std::string::npos || !ParseNumber(o.srRange->substr(0, dash)) ||
                 !ParseNumber(o.srRange->substr(dash + 1))))
                result.error = "--sr-range takes all or FROM-TO, e.g. 4-35";
        } else if (arg == "--position") {
            o.position = value();
            if (o.position && !ValidPosition(*o.position))
                result.error = "--position takes degrees, tenths and E or W, e.g. 13.0E";
        } else if (arg == "--ini") {
            o.iniFile = value();
        } else if (arg == "--export") {
            o.exportFile = value();
        } else if (arg == "--compare") {
            o.compareFile = value();
        } else if (arg == "--plot") {
            o.plotFile = value();
            if (o.plotFile && !PictureFormatOf(*o.plotFile))
                result.error = "--plot takes a file name ending with .png or .svg";
        } else if (arg == "--spectrum") {
            o.spectrumFile = value();
            if (o.spectrumFile && !PictureFormatOf(*o.spectrumFile))
                result.error = "--spectrum takes a file name ending with .png or .svg";
        } else if (arg == "--save-shutdown") {
            o.saveShutdownFolder = value();
            if (o.saveShutdownFolder && o.saveShutdownFolder->empty())
                result.error = "--save-shutdown needs a folder";
        } else if (arg == "--shutdown-forced") {
            o.forcedShutdown = true;
        } else if (arg.rfind("--", 0) == 0) {
            result.error = "unknown option " + arg;
        } else {
            o.jobs.push_back(arg);
        }
        if (!result.error.empty()) return result;
    }
    if (!o.help && !o.version && !o.listDevices && !o.spectrumFile && o.jobs.empty())
        result.error = "no job given";
    // A replay follows the recorded times, which virtual time can do exactly.
    if (o.device.kind.rfind("replay:", 0) == 0) o.virtualTime = true;
    if (!o.device.record.empty() && o.device.kind == "simulated" && result.error.empty())
        result.error =
            "--record records a DVB frontend (--device dvb, auto or replay:FILE), "
            "not the simulated dish";
    return result;
}

}  // namespace quillox::cli
