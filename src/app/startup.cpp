// The main window's life: creation, first showing (settings, then the tuner device, then the
// first Apply and the status timer), closing and destruction; page-show handlers, menus, help
// and the About box. Everything here runs on the GUI thread, except that a job's Save &
// Shutdown may close the window from its worker thread.
#include <array>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/settings_file.h"
#include "app/signal_colours.h"
#include "platform/data_files.h"
#include "platform/stop_signal.h"

namespace quillox {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr const char* kCloseNotice = "\n\nThe program will now close.";

// White inside, one-pixel black border: the frame the quality bar is drawn in.
void PaintFrame(Picture& picture) {
    const int width = picture.width();
    const int height = picture.height();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            picture.setPixel(x, y, border ? kBlack : kWhite);
        }
}

std::string Bracketed(const std::string& detail) {
    return detail.empty() ? "" : " [" + detail + "]";
}

// The three ways opening the tuner can fail, in the order the factory tries them.
std::string StartupFailureMessage(int failedStep, const std::string& detail) {
    switch (failedStep) {
        case 1:
            return "ERROR - Could not initialize the tuner subsystem" + Bracketed(detail) +
                   kCloseNotice;
        case 2:
            return "ERROR - Could not create the tuner device" + Bracketed(detail) + kCloseNotice;
        default:
            return "ERROR - Could not open the tuner device" + Bracketed(detail) +
                   "\n\nProbably the card's DVB driver is not loaded, or this user may not use "
                   "the DVB devices (add the user to the group \"video\"), fix it and later run "
                   "the [Quillox] again." +
                   kCloseNotice;
    }
}

// A satellite table read with approximations: the user is told which lines, once.
std::string TableWarnings(const std::vector<std::string>& warnings) {
    constexpr size_t kShown = 10;
    std::string text = "The satellite table was read with approximations:";
    for (size_t i = 0; i < warnings.size() && i < kShown; ++i) text += "\n" + warnings[i];
    if (warnings.size() > kShown)
        text += "\n... and " + std::to_string(warnings.size() - kShown) + " more lines";
    return text;
}

}  // namespace

// ---- Creation and first showing ---------------------------------------------------------------

void TForm1::FormCreate() {
    settingsPath = SettingsPath(platform_.programDir, platform_.homeDir);
    PaintFrame(Image2);
    PaintSignalColours(img_SL_pixel_color);
    trans_counter = 1;
    trans_counter_r23 = 1;
    // Bring the dependent controls in line with the design-time check marks.
    cb_shutdown_r26Click();
    cb_shutdown_r23Click();
    cb_shutdownClick();
    cb_Fine_TuningClick();
    rb_sr_allClick();
}

// Settings come first, so the first Apply uses the saved band, LOF, tone and DiSEqC. A device
// that cannot be opened ends the program after a plain message; the close path still saves the
// settings and makes no tuner call, as no device is held.
void TForm1::FormShow() {
    ReadSettings();
    DeviceSettings device = ReadDeviceSettings(settingsPath);
    device.scenario = ResolveSatelliteTable(device.scenario, platform_.programDir,
                                            InstalledDataDir(platform_.programDir));
    // A recording named without a folder goes beside Settings.ini, not wherever the program
    // was started from.
    if (!device.record.empty() && device.record.front() != '/')
        device.record = settingsPath.substr(0, settingsPath.rfind('/') + 1) + device.record;
    // Only quillox-scan plays a recording back: the window's timers read the frontend whenever
    // they tick, so no session of the window repeats a recording's calls in their order.
    if (device.kind.rfind("replay:", 0) == 0) {
        platform_.dialogs.MessageBox("Kind=" + device.kind +
                                     " in Settings.ini: a recording is played back by "
                                     "quillox-scan --device " +
                                     device.kind + ", not by the window." + kCloseNotice);
        Close();
        return;
    }
    DeviceOpenResult opened = platform_.devices.Open(device);
    if (opened.failedStep != 0 || opened.device == nullptr) {
        platform_.dialogs.MessageBox(StartupFailureMessage(opened.failedStep, opened.detail));
        Close();
        return;
    }
    // Where a Windows driver notice once stood: which device this is, so that nobody takes the
    // simulated dish for the dish on the roof.
    lb_attention_driver.setText("Device in use: " + opened.detail);
    if (!opened.warnings.empty()) platform_.dialogs.MessageBox(TableWarnings(opened.warnings));
    tuner_.Attach(std::move(opened.device));
    tuner_.TunerInitialize();
    bAplly.click();
    Timer1.setEnabled(true);
}

// ---- Closing and destruction ------------------------------------------------------------------

namespace {

std::array<Worker*, 6> AllWorkers(TForm1& f) {
    return {&f.FreqScanWorker, &f.SweepWorker,   &f.SrListWorker,
            &f.SrFinderWorker, &f.FindAllWorker, &f.StrengthWorker};
}

void StopTimersAndFreePages(TForm1& f) {
    f.Timer1.setEnabled(false);
    f.Timer_sig.setEnabled(false);
    for (Page* page : {&f.ts_01, &f.ts_ss2r23, &f.ts_02, &f.ts_signal}) page->setEnabled(true);
}

void SwitchLnbOff(TunerDevice& tuner) {
    tuner.TunerSetPolarity(polarity::kOff);
    tuner.TunerCommit(1);
}

}  // namespace

void TForm1::FormClose() {
    const auto workers = AllWorkers(*this);
    bool jobWasRunning = false;
    for (Worker* worker : workers) jobWasRunning = jobWasRunning || worker->running();

    if (tuner_.attached()) SwitchLnbOff(tuner_);
    StopTimersAndFreePages(*this);
    // Each Stop button ends its job and restores its page; every worker is then stopped as
    // well, whatever its button does, so no job outlives the device.
    for (Button* stop : {&b_Stop, &b_Stop_sr, &b_Stop_r23, &bt_stop_find_sr, &bt_Stop1234_r26,
                         &Form_Spectrum.bt_strength_stop})
        stop->click();
    for (Worker* worker : workers) worker->Stop();
    // A job stopped above may have powered the LNB again between the first switch-off and its
    // end; repeat it so the LNB is left off. Not when a job closes the window from its own
    // thread: that job made its last tuner call before asking to close.
    if (jobWasRunning && tuner_.attached() && CurrentStopSignal() == nullptr) SwitchLnbOff(tuner_);
    WriteSettings();
}

void TForm1::FormDestroy() {
    StopTimersAndFreePages(*this);
    for (Button* stop :
         {&b_Stop, &b_Stop_sr, &b_Stop_r23, &bt_stop_find_sr, &Form_Spectrum.bt_strength_stop})
        stop->click();
    for (Worker* worker : AllWorkers(*this)) worker->Stop();
    // Releasing the device last: no worker and no timer can reach it any more.
    tuner_.Detach();
}

// ---- Pages -------------------------------------------------------------------------------------

// Leaving "Signal Info" for these pages stops the signal monitor; page rev. 2.3 has no such
// handler, so the monitor keeps running there.
void TForm1::ts_01Show() {
    Timer_sig.setEnabled(false);
}

void TForm1::ts_02Show() {
    Image3.setVisible(false);
    ed_sr.setText("");
    Timer_sig.setEnabled(false);
}

void TForm1::ts_signalShow() {
    pbar_sig_q.setPosition(0);
    Form_Signal.pbar_sig_q.setPosition(0);
}

// ---- Menus, help and About --------------------------------------------------------------------

void TForm1::Close1Click() {
    if (FormCloseQuery()) Close();
}

void TForm1::Spectrum1Click() {
    Form_Spectrum.Show();
}

bool TForm1::FormCloseQuery() {
    bool jobRunning = false;
    for (Worker* worker : AllWorkers(*this)) jobRunning = jobRunning || worker->running();
    const int unsaved = UnsavedTransponders();
    if (!jobRunning && unsaved == 0) return true;
    std::string question = jobRunning ? "A scan is running" : "";
    if (unsaved > 0) {
        if (jobRunning) question += " and ";
        question += std::to_string(unsaved) +
                    (unsaved == 1 ? " transponder is not saved" : " transponders are not saved");
    }
    return platform_.dialogs.ConfirmBox(question + ". Close anyway?");
}

namespace {

// A help page beside the program or in the installed data folder. A page found nowhere is
// still asked for beside the program, so whoever shows it names the missing file.
std::string HelpPage(const Platform& p, const std::string& file) {
    const std::string found =
        FindDataFile(p.programDir, InstalledDataDir(p.programDir), "Help/" + file);
    return found.empty() ? p.programDir + "Help/" + file : found;
}

}  // namespace

void TForm1::HelpPORT1Click() {
    platform_.shell.Open(HelpPage(platform_, "direita_ss2_qx_zyl.htm"));
}
void TForm1::HelpENG1Click() {
    platform_.shell.Open(HelpPage(platform_, "direita_ss2_qx_zyl_eng.htm"));
}

void TForm1::About1Click() {
    AboutBox.Reopen();
    platform_.dialogs.ShowModal(AboutBox);
}
void TForm1::Image1Click() {
    About1Click();
}
void TForm1::LOGOClick() {
    About1Click();
}

}  // namespace quillox
