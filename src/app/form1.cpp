#include "app/form1.h"

#include <string>

#include "base/version.h"

namespace quillox {
namespace {

// The symbol rates tried by default, in kS/s, most common first.
constexpr const char* kDefaultSymbolRates =
    "27500\r\n20000\r\n30000\r\n22000\r\n21096\r\n13332\r\n26000\r\n26662\r\n28000\r\n24500\r\n"
    "27800\r\n19510\r\n26475\r\n22500\r\n27685\r\n28126\r\n28066\r\n15000\r\n30778\r\n21500\r\n"
    "27000\r\n27490\r\n21300\r\n22425\r\n28340\r\n19534\r\n19845\r\n26036\r\n26694\r\n15548\r\n"
    "20150\r\n20600\r\n25000\r\n25600\r\n25771\r\n26850\r\n29270\r\n29950\r\n17000";

void Hide(Control& control) {
    control.setVisible(false);
    control.setEnabled(false);
}

}  // namespace

TForm1::TForm1(Platform& platform)
    : Window(platform.dialogs, std::string("Quillox v") + kVersion + "  for SkyStar2    by Zyl",
             745, 481),
      SaveDialog(*this, "SaveDialog", FileDialog::Mode::Save, "ini", "*.ini|*.ini", ""),
      od_sr_list(*this, "od_sr_list", FileDialog::Mode::Open, "Zyl",
                 "Symbol Rates List  *.Zyl|*.Zyl", "SymbolRates.Zyl"),
      sd_sr_list(*this, "sd_sr_list", FileDialog::Mode::Save, "Zyl",
                 "Symbol Rates List  *.Zyl|*.Zyl", "SymbolRates.Zyl"),
      od_freq_list(*this, "od_freq_list", FileDialog::Mode::Open, "frl",
                   "Frequencies_List   *.frl|*.frl", "Freq_List.frl"),
      sd_freq_list(*this, "sd_freq_list", FileDialog::Mode::Save, "frl",
                   "Frequencies_List   *.frl|*.frl", "Freq_List.frl"),
      sd_shutdown_r23(*this, "sd_shutdown_r23", FileDialog::Mode::Save, "ini", "*.ini|*.ini",
                      platform.homeDir + "ignore_file_name.ini"),
      sd_sr_shutdown(*this, "sd_sr_shutdown", FileDialog::Mode::Save, "txt", "*.txt|*.txt",
                     platform.homeDir + "Get_-_Symbol_Rate_(result).txt"),
      AboutBox(platform.dialogs, platform.shell),
      Form_Signal(platform.dialogs, *this),
      Form_Spectrum(platform.dialogs, SpectrumReadings, StrengthReadings, platform.homeDir),
      platform_(platform) {
    closeOnce_ = true;

    // Design-time states: display-only, hidden and read-only controls.
    gbActual_Settings.setEnabled(false);
    Hide(Edit10);
    Hide(lb_Edit10);
    for (Edit* lof : {&ed_LOF_low, &ed_LOF_sw, &ed_LOF_higth}) lof->setEnabled(false);
    for (Control* hidden : std::initializer_list<Control*>{
             &ed_f_delay2, &ed_Sig_L, &ed_sr_delay2, &b_GO, &ed_f_delay2_r23, &ed_sr_r23, &Edit14,
             &bAplly2, &ed_delay2, &ed_sr_Sig_L, &bt_write_file_shutdown_r23, &bt_write_file})
        Hide(*hidden);
    ed_file_name.setReadOnly(true);
    ed_file_name_r23.setReadOnly(true);
    r_ed_trans_good.setReadOnly(true);
    r_ed_trans_good_r23.setReadOnly(true);
    ed_sat_pos2.setMaxLength(1);
    ed_sat_pos2_r23.setMaxLength(1);
    cb_custom_delay.setEnabled(false);
    ed_F_Tuning.setEnabled(false);
    ed_sr.setReadOnly(true);
    Image3.setVisible(false);
    Panel2.setVisible(false);

    // Folders default to the user's home folder.
    ed_shutdown_r26.setText(platform.homeDir);
    ed_shutdown_r23.setText(platform.homeDir);
    ed_sr_job.setText(platform.homeDir + "Get_-_Symbol_Rate_(result).txt");
    r_edt_symbolrate.setText(kDefaultSymbolRates);
    pc_main.setActivePage(&ts_01);

    // The Save & Shutdown choices keep their Windows captions; what they do here is their hint.
    for (RadioButton* normal : {&rb_win_xp_r26, &rb_win_xp_r23, &rb_win_xp})
        normal->setHint(
            "On Linux: asks systemd-logind to power off, honouring inhibitors (an update or a "
            "burn in progress holds the switch-off back).");
    for (RadioButton* forced : {&rb_win_98_r26, &rb_win_98_r23, &rb_win_98})
        forced->setHint(
            "On Linux: asks systemd-logind to power off ignoring inhibitors, where logind "
            "allows it.");

    WireHandlers();
}

void TForm1::OnClose() {
    if (closeHandling_) closeHandling_();
}

TForm1::~TForm1() {
    // No worker may outlive the tuner or the controls it uses.
    for (Worker* worker :
         {&FreqScanWorker, &SweepWorker, &SrListWorker, &SrFinderWorker, &FindAllWorker})
        worker->Stop();
}

}  // namespace quillox
