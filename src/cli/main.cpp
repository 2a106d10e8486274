// quillox-scan: runs jobs of the main window without a window, on the simulated dish or a DVB
// frontend, in real or virtual time, and prints what they found.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <tuple>

#include "app/form1.h"
#include "app/tuning_texts.h"
#include "base/number_text.h"
#include "base/version.h"
#include "cli/console_platform.h"
#include "cli/device_list.h"
#include "cli/job_runner.h"
#include "cli/options.h"
#include "cli/progress_bar.h"
#include "cli/strength_pass.h"
#include "cli/sweep_plot.h"
#include "cli/truth_report.h"
#include "files/dvbv5_export.h"
#include "files/transponder_compare.h"
#include "platform/data_files.h"
#include "satellites/scenario_loading.h"

namespace quillox::cli {
namespace {

// The executable's own folder, also when it was found through PATH.
std::string ProgramDir(const char* argv0) {
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error) path = argv0;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string HomeDir() {
    const char* home = std::getenv("HOME");
    std::string dir = home != nullptr && *home != '\0' ? home : ".";
    return dir.back() == '/' ? dir : dir + "/";
}

// The band radios react to the mouse only; this is what choosing one there does.
void ChooseBand(TForm1& form, const std::string& band) {
    const Band chosen = band == "c" ? Band::C : band == "custom" ? Band::Custom : Band::KuLinear;
    RadioButton& radio = chosen == Band::C        ? form.rb_Cband
                         : chosen == Band::Custom ? form.rb_Custom
                                                  : form.rb_Ku_Linear;
    radio.setChecked(true);
    if (chosen == Band::Custom) return;  // the LOF fields keep their texts
    const BandDefaults defaults = DefaultsOf(chosen);
    form.ed_LOF_low.setText(defaults.lofLow);
    form.ed_LOF_sw.setText(defaults.lofSwitch);
    form.ed_LOF_higth.setText(defaults.lofHigh);
}

// The symbol-rate class radios and the sweep's symbol rate they stand for.
void ChooseSymbolRateClass(TForm1& form, const Options& o) {
    if (o.srCustom) {
        form.TBar_custom.setPosition(*o.srCustom);
        form.lb_custom.setText(std::to_string(*o.srCustom * 1000));
    }
    if (!o.srClass) return;
    const std::string& c = *o.srClass;
    RadioButton& radio = c == "<7.5"  ? form.rb_sr_menor7500
                         : c == "<15" ? form.rb_sr_menor
                         : c == ">15" ? form.rb_sr_maior
                                      : form.rb_sr_custom;
    radio.setChecked(true);
    const int ksps = c == "<7.5"  ? 7500
                     : c == "<15" ? 15000
                     : c == ">15" ? 35000
                                  : form.TBar_custom.position() * 1000;
    form.ed_f_sr.setText(std::to_string(ksps));
}

// Lists are loaded through the window's own Load buttons, so their limits apply. A file the
// window refuses ends the run: a scan with another list than the one asked for is no answer.
bool LoadList(ConsoleDialogs& dialogs, const std::optional<std::string>& file, Button& load) {
    if (!file) return true;
    const int errorsBefore = dialogs.errorCount();
    dialogs.QueueFile(*file);
    load.click();
    return dialogs.errorCount() == errorsBefore;
}

// The choices of page rev. 2.3, made as a person makes them: boxes, radios and fields.
void ChooseSweepOptions(TForm1& form, const Options& o) {
    if (o.polarities) {
        form.cb_Vertical.setChecked(o.polarities->find('v') != std::string::npos);
        form.cb_Horizontal.setChecked(o.polarities->find('h') != std::string::npos);
    }
    if (o.fineTuning) form.cb_Fine_Tuning.setChecked(*o.fineTuning);
    if (o.customDelay) {
        form.cb_custom_delay.setChecked(true);
        form.ed_F_Tuning.setText(std::to_string(*o.customDelay));
    }
    if (o.srRange && *o.srRange == "all") form.rb_sr_all.setChecked(true);
    if (o.srRange && *o.srRange != "all") {
        const size_t dash = o.srRange->find('-');
        form.rb_sr_range_custom.setChecked(true);
        form.ed_sr_range_from.setText(o.srRange->substr(0, dash));
        form.ed_sr_range_to.setText(o.srRange->substr(dash + 1));
    }
}

// "13.0E" into the position fields of both pages, which name the transponder file.
void ChoosePosition(TForm1& form, const std::string& position) {
    const size_t comma = position.find_first_of(".,");
    const std::string degrees = position.substr(0, comma);
    const std::string tenths = position.substr(comma + 1, 1);
    const std::string side(1, position.back());
    for (auto [pos1, pos2, eastWest] :
         {std::tuple{&form.ed_sat_pos1, &form.ed_sat_pos2, &form.cb_E_W},
          std::tuple{&form.ed_sat_pos1_r23, &form.ed_sat_pos2_r23, &form.cb_E_W_r23}}) {
        eastWest->setText(side);
        pos1->setText(degrees);
        pos2->setText(tenths);
    }
}

// Ticks the box of each page whose job can end with Save & Shutdown; their results and the
// settings go to one folder. Setting a box or radio runs its handler, as a click does.
void ArmSaveAndShutdown(TForm1& form, std::string folder, bool forced) {
    if (folder.back() != '/') folder += '/';
    for (CheckBox* box : {&form.cb_shutdown_r26, &form.cb_shutdown_r23, &form.cb_shutdown})
        box->setChecked(true);
    form.ed_shutdown_r26.setText(folder);  // the rev. 2.3 folder follows
    form.ed_sr_job.setText(folder + "Get_-_Symbol_Rate_(result).txt");
    (forced ? form.rb_win_98_r26 : form.rb_win_xp_r26).setChecked(true);
    form.settingsPath = folder + "Settings.ini";
}

bool ApplyOptions(TForm1& form, ConsoleDialogs& dialogs, const Options& o) {
    if (o.band) ChooseBand(form, *o.band);
    for (const auto& [name, text] : o.fields) {
        Control* field = form.findControl(name);
        if (field == nullptr) return false;
        field->setText(text);
    }
    ChooseSymbolRateClass(form, o);
    ChooseSweepOptions(form, o);
    if (o.position) ChoosePosition(form, *o.position);
    if (!LoadList(dialogs, o.srListFile, form.b_Load) ||
        !LoadList(dialogs, o.freqListV, form.bt_Load_v) ||
        !LoadList(dialogs, o.freqListH, form.bt_Load_h))
        return false;
    if (o.finderFineTuning) {
        RadioButton& mode = *o.finderFineTuning == "none"     ? form.rb_ft_none
                            : *o.finderFineTuning == "normal" ? form.rb_ft_normal
                                                              : form.rb_ft_best;
        mode.setChecked(true);
    }
    if (o.saveShutdownFolder) ArmSaveAndShutdown(form, *o.saveShutdownFolder, o.forcedShutdown);
    if (o.diseqc) {
        if (!form.cbDiSEqC.hasItem(*o.diseqc)) {
            std::cerr << "error: unknown DiSEqC option '" << *o.diseqc << "'\n";
            return false;
        }
        form.tuner().TunerSetDiseqc(DiseqcCodeOf(*o.diseqc));
        form.tuner().TunerCommit(1);
    }
    return true;
}

void PrintList(const char* title, const Lines& list) {
    std::printf("%s (%d)\n", title, list.count());
    for (const std::string& line : list.lines()) std::printf("  %s\n", line.c_str());
}

// What a run is compared with: the swept range, polarities and symbol rates of the page.
ComparisonScope ScopeOf(const TForm1& form, bool secondMethod,
                        const std::vector<int32_t>& polarities) {
    if (!secondMethod)
        return {polarities, LenientInt(form.ed_f_start.text()), LenientInt(form.ed_f_end.text())};
    ComparisonScope scope{
        {}, LenientInt(form.ed_f_start_r23.text()), LenientInt(form.ed_f_end_r23.text())};
    if (form.cb_Vertical.checked()) scope.polarities.push_back(polarity::kVertical);
    if (form.cb_Horizontal.checked()) scope.polarities.push_back(polarity::kHorizontal);
    const bool custom = form.rb_sr_range_custom.checked();
    scope.minKsps = custom ? LenientInt(form.ed_sr_range_from.text()) * 1000.0 : 0;
    scope.maxKsps = custom ? LenientInt(form.ed_sr_range_to.text()) * 1000.0 : 45000;
    return scope;
}

// The page's transponder file, through the window's own writer.
bool WriteIni(TForm1& form, bool secondMethod, const std::string& path) {
    const FileWriteResult written =
        secondMethod ? form.WriteTransponderIni(path, form.ed_sat_name_r23, form.ed_file_name_r23,
                                                form.r_ed_trans_good_r23, form.trans_counter_r23)
                     : form.WriteTransponderIni(path, form.ed_sat_name, form.ed_file_name,
                                                form.r_ed_trans_good, form.trans_counter);
    if (!written) std::cerr << "error: cannot write " << path << ": " << written.error << "\n";
    return written.ok;
}

// The page's transponder list for the Linux DVB tools.
bool ExportDvbv5(const Lines& found, const std::string& path) {
    const Dvbv5Export exported = WriteDvbv5File(path, found.lines());
    if (!exported.ok) {
        std::cerr << "error: cannot export to " << path << ": " << exported.error << "\n";
        return false;
    }
    if (exported.skipped > 0)
        std::cerr << "warning: " << exported.skipped
                  << " lines without frequency or polarity left out of " << path << "\n";
    return true;
}

// What changed since an earlier transponder file.
bool PrintChanges(const Lines& found, const std::vector<ScannedRange>& scanned,
                  const LnbOscillators& lnb, const std::string& path) {
    const std::optional<std::vector<TransponderLine>> before = ReadTransponderIniLines(path);
    if (!before) {
        std::cerr << "error: " << path << " is no readable transponder file\n";
        return false;
    }
    const TransponderChanges changes =
        CompareTransponders(*before, ParseTransponderLines(found.lines()), scanned);
    std::printf("\nSince %s:\n%s", path.c_str(), FormatTransponderChanges(changes).c_str());
    if (const std::string shift = FormatLnbShiftSince(changes, lnb); !shift.empty())
        std::printf("%s", shift.c_str());
    return true;
}

// The spectrum of the last job's method: its sweeps' readings and the transponders found.
bool WritePlot(const TForm1& form, bool secondMethod, const std::string& path) {
    const SpectrumData data = form.SpectrumReadings.Snapshot(
        secondMethod ? SweepMethod::RateSearch : SweepMethod::ProbableFrequency);
    if (data.vertical.readings.empty() && data.horizontal.readings.empty())
        std::cerr << "warning: no sweep ran: " << path << " shows no readings\n";
    const FileWriteResult written =
        WriteSpectrumPlot(BuildSpectrumScene(data, kPlotWidth, kPlotHeight, FullRange(data)), path);
    if (!written) {
        std::cerr << "error: cannot write " << path << ": " << written.error << "\n";
        return false;
    }
    std::printf("\nSpectrum picture: %s\n", path.c_str());
    return true;
}

// A file that could not be written at the end (a picture) or from the start (a recording) would
// waste the whole scan: its folder is checked first.
bool FolderWritable(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::string dir = folder.empty() ? "." : folder.string();
    if (access(dir.c_str(), W_OK) == 0) return true;
    std::cerr << "error: cannot write " << path << ": " << std::strerror(errno) << "\n";
    return false;
}

// A recording or replay beside the device is complete once the device has closed the frontend:
// the device goes first, then whatever went wrong with either fails the run.
int EndSession(TForm1& form, const std::function<std::string()>& sessionProblem, int status) {
    form.tunerSlot().Detach().reset();
    const std::string problem = sessionProblem ? sessionProblem() : "";
    if (problem.empty()) return status;
    std::cerr << "error: " << problem << "\n";
    return 1;
}

int Run(const Options& o, const char* argv0) {
    const std::unique_ptr<Clock> clock = MakeRunClock(o.virtualTime);
    ConsoleDialogs dialogs;
    SystemDeviceFactory devices(*clock);
    NoShell shell;
    DryRunPower power;
    Platform platform{dialogs, *clock, devices, shell, power, ProgramDir(argv0), HomeDir()};
    const std::string dataDir = InstalledDataDir(platform.programDir);
    const auto resolve = [&](const std::string& name) {
        return ResolveSatelliteTable(name, platform.programDir, dataDir);
    };

    std::optional<satellites::Scenario> truth;
    if (o.truth) {
        std::string error;
        truth = LoadTruth(*o.truth == "builtin" ? *o.truth : resolve(*o.truth), error);
        if (!truth) {
            std::cerr << "error: " << error << "\n";
            return 2;
        }
    }

    if (o.plotFile && !FolderWritable(*o.plotFile)) return 2;
    if (o.spectrumFile && !FolderWritable(*o.spectrumFile)) return 2;
    if (!o.device.record.empty() && !FolderWritable(o.device.record)) return 2;

    DeviceSettings device = o.device;
    device.scenario = resolve(device.scenario);
    // A scenario that is not there is a bad command line, not a device that failed to open.
    std::error_code noFile;
    if (!device.scenario.empty() && !std::filesystem::is_regular_file(device.scenario, noFile)) {
        std::cerr << "quillox-scan: no scenario file '" << o.device.scenario << "' (see --help)\n";
        return 2;
    }
    DeviceOpenResult opened = devices.Open(device);
    if (!opened.device) {
        std::cerr << "error: no tuner device (step " << opened.failedStep << "): " << opened.detail
                  << "\n";
        return 1;
    }
    const std::function<std::string()> sessionProblem = opened.sessionProblem;
    // First of all, what is scanned: nobody may take the simulated dish for a real one.
    std::printf("Device: %s\n\n", opened.detail.c_str());
    std::fflush(stdout);
    for (const std::string& warning : opened.warnings) std::cerr << "warning: " << warning << "\n";
    const bool dvbs2 = opened.dvbs2;
    TForm1 form(platform);
    form.tunerSlot().Attach(std::move(opened.device));
    form.tuner().TunerInitialize();
    if (!ApplyOptions(form, dialogs, o)) return 2;
    // There is no window to close: the close that ends Save & Shutdown only ends the run.
    std::atomic<bool> closeRequested{false};
    form.setCloseRequestHandler([&closeRequested] { closeRequested = true; });

    const bool drawProgress = o.progress && isatty(STDOUT_FILENO);
    if (o.spectrumFile) {
        const int spectrumStatus = RunSpectrum(form, *o.spectrumFile, drawProgress);
        // A stopped or failed pass ends the run; the jobs would not be what was asked for.
        if (spectrumStatus != 0 || o.jobs.empty())
            return EndSession(form, sessionProblem, spectrumStatus);
        std::printf("\n");
    }
    std::vector<int32_t> polarities;
    bool findsSymbolRate = false;
    bool secondMethod = false;  // the page of the last job
    int64_t scanMs = 0;
    int status = 0;
    for (const std::string& caption : o.jobs) {
        const JobEntry* job = FindJob(caption);
        const JobOutcome outcome = RunJob(form, *job, drawProgress);
        if (!outcome.started) {
            std::cerr << "error: job \"" << job->caption << "\" did not start\n";
            return 1;
        }
        scanMs += outcome.scanMs;
        if (job->worker == &TForm1::SrFinderWorker) {
            findsSymbolRate = true;
        } else if (job->polarity == kBothPolarities) {
            polarities.push_back(polarity::kVertical);
            polarities.push_back(polarity::kHorizontal);
        } else {
            polarities.push_back(job->polarity);
        }
        secondMethod = job->secondMethod;
        std::string quoted = "\"";
        quoted.append(job->caption).append("\"");
        std::printf("%-24s %s scan time, %.1f s real time\n", quoted.c_str(),
                    ClockText(outcome.scanMs).c_str(), outcome.realSeconds);
        if (!outcome.error.empty()) {
            std::fflush(stdout);
            std::cerr << "error: job \"" << job->caption << "\" ended early: " << outcome.error
                      << "\n";
            status = 1;
            break;
        }
        if (closeRequested) break;  // saved and "switched off": no job would follow
        if (sessionProblem && !sessionProblem().empty()) {
            status = 1;  // told at the end
            break;
        }
        const bool hasSaveAndShutdown = job->worker == &TForm1::FindAllWorker ||
                                        job->worker == &TForm1::SweepWorker ||
                                        job->worker == &TForm1::SrFinderWorker;
        if (o.saveShutdownFolder && hasSaveAndShutdown) {
            status = 1;  // the result could not be written; the window has said why
            break;
        }
    }
    std::printf("\n");
    if (findsSymbolRate) {
        std::printf("Symbol rate of %s MHz %s: %s\n", form.Edit12.text().c_str(),
                    form.cbPolarity.text().c_str(), form.ed_sr.text().c_str());
        if (truth) PrintSymbolRateTruth(form, *truth, dvbs2);
        if (polarities.empty()) {
            if (o.plotFile && !WritePlot(form, secondMethod, *o.plotFile)) status = 1;
            return EndSession(form, sessionProblem, status);
        }
        std::printf("\n");
    }
    PrintList("Probable frequencies, VERTICAL", form.r_edt_freq_v);
    PrintList("Probable frequencies, HORIZONTAL", form.r_edt_freq_h);
    PrintList("Transponders", form.r_ed_trans_good);
    PrintList("Transponders, rev. 2.3", form.r_ed_trans_good_r23);

    const Lines& found = secondMethod ? form.r_ed_trans_good_r23 : form.r_ed_trans_good;
    if (truth) {
        std::printf("\n");
        ComparisonScope scope = ScopeOf(form, secondMethod, polarities);
        scope.dvbs2 = dvbs2;
        PrintTruthReport(form, found.lines(), !secondMethod, *truth, scope, scanMs);
    }
    if (o.iniFile && !WriteIni(form, secondMethod, *o.iniFile)) status = 1;
    if (o.exportFile && !ExportDvbv5(found, *o.exportFile)) status = 1;
    if (o.compareFile && !PrintChanges(found, form.ScannedRangesOf(found),
                                       form.CurrentOscillators(), *o.compareFile))
        status = 1;
    if (o.plotFile && !WritePlot(form, secondMethod, *o.plotFile)) status = 1;
    return EndSession(form, sessionProblem, status);
}

}  // namespace
}  // namespace quillox::cli

int main(int argc, char** argv) {
    using namespace quillox::cli;
    ParseResult parsed = ParseOptions(argc, argv);
    if (parsed.options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::printf("quillox-scan %s\n", quillox::kVersion);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "quillox-scan: " << parsed.error << " (see --help)\n";
        return 2;
    }
    if (parsed.options.listDevices) {
        std::fputs(FormatDeviceList(quillox::dvb::ListFrontends()).c_str(), stdout);
        if (parsed.options.jobs.empty()) return 0;
        std::printf("\n");
    }
    for (const std::string& caption : parsed.options.jobs) {
        if (FindJob(caption) == nullptr) {
            std::cerr << "quillox-scan: no job \"" << caption << "\" (see --help)\n";
            return 2;
        }
    }
    return Run(parsed.options, argv[0]);
}
