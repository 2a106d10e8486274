#pragma once
// The main window as a plain object: every input, result and scratch control of the program,
// the tuner, the transponder counters, the timers and the five job workers. Handlers are
// defined in this folder, one file per page or area of the window (named in the sections
// below); the jobs' algorithms are engines in scan/, the file formats live in files/.
//
// Threads: the GUI thread runs handlers and timers; at most one worker runs a job. Both reach
// controls (thread-safe) and the tuner (serialised per call) only through this object.
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/form_signal.h"
#include "app/form_sweep_view.h"
#include "app/sweep_readings.h"
#include "app/time_left.h"
#include "app/tuning_texts.h"
#include "base/tuning_code_values.h"
#include "device/serialized_tuner.h"
#include "files/atomic_file.h"
#include "files/lnb_offset.h"
#include "files/transponder_compare.h"
#include "form/controls.h"
#include "form/file_dialog.h"
#include "form/window.h"
#include "platform/platform.h"
#include "platform/worker.h"
#include "scan/lnb_tuning.h"
#include "scan/scan_host.h"
#include "scan/strength_spectrum.h"
#include "scan/sweep_scan.h"

namespace quillox {

// The pages whose jobs can end by saving their result and switching the machine off.
enum class ShutdownPage { Rev26, Rev23, SymbolRate };

class TForm1 : public Window {
public:
    explicit TForm1(Platform& platform);
    ~TForm1() override;

    Platform& platform() const { return platform_; }
    TunerDevice& tuner() { return tuner_; }
    SerializedTuner& tunerSlot() { return tuner_; }

    // ---- State besides the controls -------------------------------------------------------
    std::string settingsPath;  // Settings.ini (see settings_file.h)
    // Number of the next line of r_ed_trans_good / r_ed_trans_good_r23. While a scan runs, change
    // a list and its counter only through AppendTransponder and the Clear buttons.
    int32_t trans_counter = 1;
    int32_t trans_counter_r23 = 1;
    // The latest sweep readings of both methods and the transponders their jobs found, for the
    // Spectrum window; written by the jobs' workers.
    SpectrumStore SpectrumReadings;
    // The strength passes of the Spectrum window, for its picture; written by their worker.
    StrengthStore StrengthReadings;
    // The polarity the first method's current job staged on the tuner, which tags its readings.
    std::atomic<int32_t> stagedPolarityCode{polarity::kVertical};

    // ---- Menus ----------------------------------------------------------------------------
    Menu File1{*this, "File1", "&File"};
    MenuItem Export1{*this, &File1, "Export1", "Export…"};
    MenuItem Compare1{*this, &File1, "Compare1", "Compare…"};
    MenuItem Close1{*this, &File1, "Close1", "Close"};
    Menu View1{*this, "View1", "&View"};
    MenuItem Spectrum1{*this, &View1, "Spectrum1", "Spectrum"};
    Menu Help1{*this, "Help1", "&Help"};
    MenuItem HelpPORT1{*this, &Help1, "HelpPORT1", "Help (PORT)"};
    MenuItem HelpENG1{*this, &Help1, "HelpENG1", "Help (ENG)"};
    MenuItem About1{*this, &Help1, "About1", "About"};

    // ---- Top row: what the tuner reports (display only) ------------------------------------
    GroupBox gbActual_Settings{*this, nullptr, "gbActual_Settings", " Actual Settings "};
    Label lb_Edit2{*this, &gbActual_Settings, "lb_Edit2", "Freq:"};
    Edit Edit2{*this, &gbActual_Settings, "Edit2"};
    Label lb_Edit3{*this, &gbActual_Settings, "lb_Edit3", "Pol:"};
    Edit Edit3{*this, &gbActual_Settings, "Edit3"};
    Label lb_Edit5{*this, &gbActual_Settings, "lb_Edit5", "FEC:"};
    Edit Edit5{*this, &gbActual_Settings, "Edit5"};
    Label lb_Edit6{*this, &gbActual_Settings, "lb_Edit6", "LNB Freq:"};
    Edit Edit6{*this, &gbActual_Settings, "Edit6"};
    Label lb_Edit7{*this, &gbActual_Settings, "lb_Edit7", "DiSEqC:"};
    Edit Edit7{*this, &gbActual_Settings, "Edit7"};
    Label lb_Edit8{*this, &gbActual_Settings, "lb_Edit8", "LNB Sel:"};
    Edit Edit8{*this, &gbActual_Settings, "Edit8"};
    Label lb_Edit9{*this, &gbActual_Settings, "lb_Edit9", "SigQual:"};
    Edit Edit9{*this, &gbActual_Settings, "Edit9"};
    Label lb_ed_snr{*this, &gbActual_Settings, "lb_ed_snr", "SNR:"};
    Edit ed_snr{*this, &gbActual_Settings, "ed_snr"};
    Label lb_Edit10{*this, &gbActual_Settings, "lb_Edit10", "Sigtre:"};
    Edit Edit10{*this, &gbActual_Settings, "Edit10"};

    // ---- Top row: the outdoor equipment -----------------------------------------------------
    GroupBox gbSettings{*this, nullptr, "gbSettings", " Settings "};
    RadioButton rb_Ku_Linear{*this, &gbSettings, "rb_Ku_Linear", "Ku-Linear", true};
    RadioButton rb_Cband{*this, &gbSettings, "rb_Cband", "C"};
    RadioButton rb_Custom{*this, &gbSettings, "rb_Custom", "Custom"};
    Label lb_LOF_low{*this, &gbSettings, "lb_LOF_low", "LOF Low:"};
    Edit ed_LOF_low{*this, &gbSettings, "ed_LOF_low", "9750"};
    Label lb_LOF_sw{*this, &gbSettings, "lb_LOF_sw", "Switch:"};
    Edit ed_LOF_sw{*this, &gbSettings, "ed_LOF_sw", "11700"};
    Label lb_LOF_higth{*this, &gbSettings, "lb_LOF_higth", "LOF High:"};
    Edit ed_LOF_higth{*this, &gbSettings, "ed_LOF_higth", "10600"};
    Label lb_LNB_Sel{*this, &gbSettings, "lb_LNB_Sel", "LNB Sel:"};
    ComboBox cbLNB_Sel{*this, &gbSettings, "cbLNB_Sel", "22 KHz", ToneItems()};
    Label lb_DiSEqC{*this, &gbSettings, "lb_DiSEqC", "DiSEqC:"};
    ComboBox cbDiSEqC{*this, &gbSettings, "cbDiSEqC", "None", DiseqcItems()};
    Button bAplly{*this, &gbSettings, "bAplly", "Apply"};

    // ---- Pages ------------------------------------------------------------------------------
    PageControl pc_main{*this, nullptr, "pc_main"};
    Page ts_01{*this, &pc_main, "ts_01", "SkyStar2  rev. 2.6"};
    Page ts_ss2r23{*this, &pc_main, "ts_ss2r23", "SkyStar2  rev. 2.3"};
    Page ts_02{*this, &pc_main, "ts_02", "Get - Symbol Rate"};
    Page ts_signal{*this, &pc_main, "ts_signal", "Signal Info"};

    // ---- Page "SkyStar2  rev. 2.6": probable frequencies -----------------------------------
    GroupBox gb_freqs{*this, &ts_01, "gb_freqs", " Probable Frequencies "};
    Label lb_f_start{*this, &gb_freqs, "lb_f_start", "Start:"};
    Edit ed_f_start{*this, &gb_freqs, "ed_f_start", "10700"};
    Label lb_f_end{*this, &gb_freqs, "lb_f_end", "End:"};
    Edit ed_f_end{*this, &gb_freqs, "ed_f_end", "12750"};
    Label lb_f_step{*this, &gb_freqs, "lb_f_step", "Step:"};
    Edit ed_f_step{*this, &gb_freqs, "ed_f_step", "5"};
    Label lb_f_delay{*this, &gb_freqs, "lb_f_delay", "Delay:"};
    Edit ed_f_delay{*this, &gb_freqs, "ed_f_delay", "750"};
    Edit ed_f_delay2{*this, &gb_freqs, "ed_f_delay2", "20"};  // never visible: read interval
    Label lb_sr_class{*this, &gb_freqs, "lb_sr_class", "S/Rs:"};
    RadioButton rb_sr_menor7500{*this, &gb_freqs, "rb_sr_menor7500", "< 7.5"};
    RadioButton rb_sr_menor{*this, &gb_freqs, "rb_sr_menor", "< 15"};
    RadioButton rb_sr_maior{*this, &gb_freqs, "rb_sr_maior", "> 15", true};
    Label lb_sr_unit{*this, &gb_freqs, "lb_sr_unit", " (MS/s)"};
    RadioButton rb_sr_custom{*this, &gb_freqs, "rb_sr_custom", "Custom"};
    TrackBar TBar_custom{*this, &gb_freqs, "TBar_custom", 1, 10, 8};
    Label lb_custom_lt{*this, &gb_freqs, "lb_custom_lt", "  <  "};
    Label lb_custom{*this, &gb_freqs, "lb_custom", "8000"};
    Label lb_custom_unit{*this, &gb_freqs, "lb_custom_unit", "(KS/s)"};
    Label lb_freq_v{*this, &gb_freqs, "lb_freq_v", "VERTICAL:"};
    Lines r_edt_freq_v{*this, &gb_freqs, "r_edt_freq_v"};
    Button bt_Load_v{*this, &gb_freqs, "bt_Load_v", "Load"};
    Button bt_Save_v{*this, &gb_freqs, "bt_Save_v", "Save"};
    Button bt_Clear_v{*this, &gb_freqs, "bt_Clear_v", "Clear"};
    Label lb_freq_h{*this, &gb_freqs, "lb_freq_h", "HORIZONTAL:"};
    Lines r_edt_freq_h{*this, &gb_freqs, "r_edt_freq_h"};
    Button bt_Load_h{*this, &gb_freqs, "bt_Load_h", "Load"};
    Button bt_Save_h{*this, &gb_freqs, "bt_Save_h", "Save"};
    Button bt_Clear_h{*this, &gb_freqs, "bt_Clear_h", "Clear"};
    Button Button1{*this, &gb_freqs, "Button1", "1 - FIND"};
    Button Button3{*this, &gb_freqs, "Button3", "3 - FIND"};

    // ---- Page "SkyStar2  rev. 2.6": symbol rates -------------------------------------------
    GroupBox gb_srs{*this, &ts_01, "gb_srs", " Symbol Rates "};
    Label lb_symbolrate{*this, &gb_srs, "lb_symbolrate", "Symbol Rates List (KS/s):"};
    Lines r_edt_symbolrate{*this, &gb_srs, "r_edt_symbolrate"};
    Button b_Load{*this, &gb_srs, "b_Load", "Load"};
    Button b_Save{*this, &gb_srs, "b_Save", "Save"};
    Button b_Clear{*this, &gb_srs, "b_Clear", "Clear"};
    Label lb_sr_delay{*this, &gb_srs, "lb_sr_delay", "Delay:"};
    Edit ed_sr_delay{*this, &gb_srs, "ed_sr_delay", "1500"};
    Label lb_sr_delay_ms{*this, &gb_srs, "lb_sr_delay_ms", "ms"};
    Edit ed_Sig_L{*this, &gb_srs, "ed_Sig_L", "39"};           // never visible: SNR threshold code
    Edit ed_sr_delay2{*this, &gb_srs, "ed_sr_delay2", "600"};  // never visible: extra settle
    Button b_GO{*this, &gb_srs, "b_GO", "GO"};                 // never visible: starts the worker
    Button Button2{*this, &gb_srs, "Button2", "2- Find VERT S/Rs"};
    Button Button4{*this, &gb_srs, "Button4", " 4- Find HOR   S/Rs "};

    // ---- Page "SkyStar2  rev. 2.6": transponder file ---------------------------------------
    GroupBox gb_ini_file{*this, &ts_01, "gb_ini_file", " INI file "};
    Label lb_sat_name{*this, &gb_ini_file, "lb_sat_name", "Name:"};
    Edit ed_sat_name{*this, &gb_ini_file, "ed_sat_name", "sat_name"};
    Label lb_sat_pos{*this, &gb_ini_file, "lb_sat_pos", "Position:"};
    Edit ed_sat_pos1{*this, &gb_ini_file, "ed_sat_pos1", "0"};
    Label lb_sat_comma{*this, &gb_ini_file, "lb_sat_comma", ","};
    Edit ed_sat_pos2{*this, &gb_ini_file, "ed_sat_pos2", "0"};
    Label lb_sat_degree{*this, &gb_ini_file, "lb_sat_degree", "º"};
    ComboBox cb_E_W{*this, &gb_ini_file, "cb_E_W", "E", {"E", "W"}};
    Label lb_file_name{*this, &gb_ini_file, "lb_file_name", "File:"};
    Edit ed_file_name{*this, &gb_ini_file, "ed_file_name", "0000.ini"};
    Label lb_trans_good{*this, &gb_ini_file, "lb_trans_good", "Transponders:"};
    Lines r_ed_trans_good{*this, &gb_ini_file, "r_ed_trans_good"};
    Button bt_Save_ini{*this, &gb_ini_file, "bt_Save_ini", "Save"};
    Button bt_trans_clear{*this, &gb_ini_file, "bt_trans_clear", "Clear"};

    // ---- Page "SkyStar2  rev. 2.6": combined job -------------------------------------------
    Panel Panel3{*this, &ts_01, "Panel3"};
    Button bt_Find1234_r26{*this, &Panel3, "bt_Find1234_r26", "Find (1,2,3,4)"};
    Button bt_Stop1234_r26{*this, &Panel3, "bt_Stop1234_r26", "Stop (1,2,3,4)"};
    CheckBox cb_shutdown_r26{*this, &Panel3, "cb_shutdown_r26", "Save && Shutdown"};
    Edit ed_shutdown_r26{*this, &Panel3, "ed_shutdown_r26", ""};  // home folder, set at creation
    Button bt_Save_ini_r26{*this, &Panel3, "bt_Save_ini_r26", "..."};
    RadioButton rb_win_xp_r26{*this, &Panel3, "rb_win_xp_r26", "WIN 2000/XP", true};
    RadioButton rb_win_98_r26{*this, &Panel3, "rb_win_98_r26", "WIN 98"};

    // ---- Page "SkyStar2  rev. 2.6": jobs' stop buttons and progress -------------------------
    Button b_Stop{*this, &ts_01, "b_Stop", "Stop_FREQ"};
    Button b_Stop_sr{*this, &ts_01, "b_Stop_sr", "Stop_S/R"};
    Gauge pbar_freq{*this, &ts_01, "pbar_freq"};
    Gauge pbar_sr{*this, &ts_01, "pbar_sr"};
    Picture Image1{*this, &ts_01, "Image1", 90, 60};
    GroupBox gb_attention{*this, &ts_01, "gb_attention", "Attention:"};
    // The device in use, once FormShow has opened it (startup.cpp).
    Label lb_attention_driver{*this, &gb_attention, "lb_attention_driver",
                              "Device in use: none opened yet"};
    Label lb_attention_help{*this, &gb_attention, "lb_attention_help",
                            "It's recommended that you read the Help files to understand how the "
                            "program works."};

    // ---- Page "SkyStar2  rev. 2.3" --------------------------------------------------------
    GroupBox gb_freqs_r23{*this, &ts_ss2r23, "gb_freqs_r23", " Frequencies "};
    Label lb_f_start_r23{*this, &gb_freqs_r23, "lb_f_start_r23", "Start:"};
    Edit ed_f_start_r23{*this, &gb_freqs_r23, "ed_f_start_r23", "10700"};
    Label lb_f_end_r23{*this, &gb_freqs_r23, "lb_f_end_r23", "End:"};
    Edit ed_f_end_r23{*this, &gb_freqs_r23, "ed_f_end_r23", "12750"};
    Label lb_f_step_r23{*this, &gb_freqs_r23, "lb_f_step_r23", "Step:"};
    Edit ed_f_step_r23{*this, &gb_freqs_r23, "ed_f_step_r23", "5"};
    Label lb_f_delay_r23{*this, &gb_freqs_r23, "lb_f_delay_r23", "Delay:"};
    Edit ed_f_delay_r23{*this, &gb_freqs_r23, "ed_f_delay_r23", "750"};
    Edit ed_f_delay2_r23{*this, &gb_freqs_r23, "ed_f_delay2_r23", "20"};  // hidden poll divisor

    GroupBox gb_ini_file_r23{*this, &ts_ss2r23, "gb_ini_file_r23", " INI file "};
    Label lb_sat_name_r23{*this, &gb_ini_file_r23, "lb_sat_name_r23", "Name:"};
    Edit ed_sat_name_r23{*this, &gb_ini_file_r23, "ed_sat_name_r23", "sat_name"};
    Label lb_sat_pos_r23{*this, &gb_ini_file_r23, "lb_sat_pos_r23", "Position:"};
    Edit ed_sat_pos1_r23{*this, &gb_ini_file_r23, "ed_sat_pos1_r23", "0"};
    Label lb_sat_comma_r23{*this, &gb_ini_file_r23, "lb_sat_comma_r23", ","};
    Edit ed_sat_pos2_r23{*this, &gb_ini_file_r23, "ed_sat_pos2_r23", "0"};
    Label lb_sat_degree_r23{*this, &gb_ini_file_r23, "lb_sat_degree_r23", "º"};
    ComboBox cb_E_W_r23{*this, &gb_ini_file_r23, "cb_E_W_r23", "E", {"E", "W"}};
    Label lb_file_name_r23{*this, &gb_ini_file_r23, "lb_file_name_r23", "File:"};
    Edit ed_file_name_r23{*this, &gb_ini_file_r23, "ed_file_name_r23", "0000.ini"};
    Label lb_trans_good_r23{*this, &gb_ini_file_r23, "lb_trans_good_r23", "Transponders:"};
    Lines r_ed_trans_good_r23{*this, &gb_ini_file_r23, "r_ed_trans_good_r23"};
    Button bt_Save_ini_r23{*this, &gb_ini_file_r23, "bt_Save_ini_r23", "Save"};
    Button bt_trans_clear_r23{*this, &gb_ini_file_r23, "bt_trans_clear_r23", "Clear"};

    GroupBox gb_shutdown_r23{*this, &ts_ss2r23, "gb_shutdown_r23", " Save && Shutdown "};
    CheckBox cb_shutdown_r23{*this, &gb_shutdown_r23, "cb_shutdown_r23",
                             "When finish the job save it and exit the Windows"};
    Edit ed_shutdown_r23{*this, &gb_shutdown_r23, "ed_shutdown_r23", ""};
    Button bt_save_shutdown_r23{*this, &gb_shutdown_r23, "bt_save_shutdown_r23", "..."};
    Label lb_overwrite_r23{*this, &gb_shutdown_r23, "lb_overwrite_r23",
                           "(if the file exist, it will be overwrite)"};
    RadioButton rb_win_xp_r23{*this, &gb_shutdown_r23, "rb_win_xp_r23", "WIN 2000/XP", true};
    RadioButton rb_win_98_r23{*this, &gb_shutdown_r23, "rb_win_98_r23", "WIN 98"};
    Button bt_write_file_shutdown_r23{*this, &gb_shutdown_r23, "bt_write_file_shutdown_r23",
                                      "write_file"};

    GroupBox gb_Polarity{*this, &ts_ss2r23, "gb_Polarity", " Polarity "};
    CheckBox cb_Vertical{*this, &gb_Polarity, "cb_Vertical", "Vertical", true};
    CheckBox cb_Horizontal{*this, &gb_Polarity, "cb_Horizontal", "Horizontal", true};

    GroupBox gb_F_Tuning{*this, &ts_ss2r23, "gb_F_Tuning", " Fine Tuning "};
    CheckBox cb_Fine_Tuning{*this, &gb_F_Tuning, "cb_Fine_Tuning", "Enable", true};
    CheckBox cb_custom_delay{*this, &gb_F_Tuning, "cb_custom_delay", "Custom Delay:"};
    Edit ed_F_Tuning{*this, &gb_F_Tuning, "ed_F_Tuning", "350"};
    Edit ed_sr_r23{*this, &ts_ss2r23, "ed_sr_r23", "0"};  // hidden: symbol rate of the sweep

    GroupBox gb_sr_range{*this, &ts_ss2r23, "gb_sr_range", " Symbol - Rates Range "};
    RadioButton rb_sr_all{*this, &gb_sr_range, "rb_sr_all", "ALL (from 3500 KS/s to 45 MS/s)",
                          true};
    RadioButton rb_sr_range_custom{*this, &gb_sr_range, "rb_sr_range_custom", "Custom:"};
    Label Label53{*this, &gb_sr_range, "Label53", "From:"};
    Edit ed_sr_range_from{*this, &gb_sr_range, "ed_sr_range_from", "4"};
    Label Label73{*this, &gb_sr_range, "Label73", "To:"};
    Edit ed_sr_range_to{*this, &gb_sr_range, "ed_sr_range_to", "35"};
    Label Label70{*this, &gb_sr_range, "Label70", "(MS/s)"};

    Button bt_go_r23{*this, &ts_ss2r23, "bt_go_r23", "GO"};
    Button b_Stop_r23{*this, &ts_ss2r23, "b_Stop_r23", "STOP"};
    Gauge pbar_freq_r23{*this, &ts_ss2r23, "pbar_freq_r23"};
    Picture LOGO{*this, &ts_ss2r23, "LOGO", 90, 60};

    // ---- Page "Get - Symbol Rate" ---------------------------------------------------------
    GroupBox gbTransponder{*this, &ts_02, "gbTransponder", " Transponder "};
    Label lb_Edit12{*this, &gbTransponder, "lb_Edit12", "Freq:"};
    Edit Edit12{*this, &gbTransponder, "Edit12", "10700"};
    Label lb_cbPolarity{*this, &gbTransponder, "lb_cbPolarity", "Pol:"};
    ComboBox cbPolarity{*this, &gbTransponder, "cbPolarity", "VERTICAL", PolarityItems()};
    Label lb_cbFec{*this, &gbTransponder, "lb_cbFec", "FEC:"};
    ComboBox cbFec{*this, &gbTransponder, "cbFec", "AUTO", FecItems()};
    Edit Edit14{*this, &gbTransponder, "Edit14", "1"};          // hidden: staged symbol rate
    Button bAplly2{*this, &gbTransponder, "bAplly2", "Apply"};  // hidden: clicked by the finder

    GroupBox gb_sr{*this, &ts_02, "gb_sr", " Symbol Rate "};
    Label lb_start{*this, &gb_sr, "lb_start", "Start:"};
    Edit ed_start{*this, &gb_sr, "ed_start", "1"};
    Label lb_end{*this, &gb_sr, "lb_end", "End:"};
    Edit ed_end{*this, &gb_sr, "ed_end", "45000"};
    Label lb_step{*this, &gb_sr, "lb_step", "Step:"};
    Edit ed_step{*this, &gb_sr, "ed_step", "20"};
    Label lb_delay{*this, &gb_sr, "lb_delay", "Delay:"};
    Edit ed_delay{*this, &gb_sr, "ed_delay", "300"};
    Edit ed_delay2{*this, &gb_sr, "ed_delay2", "2000"};    // hidden: extra dwell
    Edit ed_sr_Sig_L{*this, &gb_sr, "ed_sr_Sig_L", "39"};  // hidden: SNR threshold code
    Button bt_sr_go{*this, &gb_sr, "bt_sr_go", "Find_S/R"};

    Panel Panel1{*this, &ts_02, "Panel1"};
    Picture Image2{*this, &Panel1, "Image2", 649, 25};  // white frame of the quality bar
    Picture Image3{*this, &Panel1, "Image3", 647, 23};  // the quality bar itself
    Gauge pbar_find_sr{*this, &Panel1, "pbar_find_sr"};
    Label lb_ed_sr{*this, &Panel1, "lb_ed_sr", "S/R:"};
    Edit ed_sr{*this, &Panel1, "ed_sr", ""};
    Button bt_stop_find_sr{*this, &Panel1, "bt_stop_find_sr", "Stop_S/R"};

    GroupBox gb_Fine_Tuning{*this, &ts_02, "gb_Fine_Tuning", " Fine Tuning "};
    RadioButton rb_ft_none{*this, &gb_Fine_Tuning, "rb_ft_none", "NONE       ( Fastest )"};
    RadioButton rb_ft_normal{*this, &gb_Fine_Tuning, "rb_ft_normal", "NORMAL  ( Fast  )", true};
    RadioButton rb_ft_best{*this, &gb_Fine_Tuning, "rb_ft_best", "BEST        ( Slow )"};

    GroupBox gb_shutdown{*this, &ts_02, "gb_shutdown", " Save && Shutdown "};
    CheckBox cb_shutdown{*this, &gb_shutdown, "cb_shutdown",
                         "When finish the job save it and exit the Windows"};
    Edit ed_sr_job{*this, &gb_shutdown, "ed_sr_job", ""};
    Button bt_save_sr_shutdown{*this, &gb_shutdown, "bt_save_sr_shutdown", "..."};
    Label lb_overwrite{*this, &gb_shutdown, "lb_overwrite",
                       "(if the file exist, it will be overwrite)"};
    RadioButton rb_win_xp{*this, &gb_shutdown, "rb_win_xp", "WIN 2000/XP", true};
    RadioButton rb_win_98{*this, &gb_shutdown, "rb_win_98", "WIN 98"};
    Button bt_write_file{*this, &gb_shutdown, "bt_write_file", "write_file"};
    Picture Image4{*this, &ts_02, "Image4", 90, 60};

    // ---- Page "Signal Info" ---------------------------------------------------------------
    Gauge pbar_sig_q{*this, &ts_signal, "pbar_sig_q"};
    GroupBox gb_sig_transponder{*this, &ts_signal, "gb_sig_transponder", " Transponder "};
    Label lb_sig_freq{*this, &gb_sig_transponder, "lb_sig_freq", "Freq:"};
    Edit ed_sig_freq{*this, &gb_sig_transponder, "ed_sig_freq", "10700"};
    Label lb_sig_pol{*this, &gb_sig_transponder, "lb_sig_pol", "Pol:"};
    ComboBox cb_sig_Polarity{*this, &gb_sig_transponder, "cb_sig_Polarity", "VERTICAL",
                             PolarityItems()};
    Label lb_sig_sr{*this, &gb_sig_transponder, "lb_sig_sr", "S/R:"};
    Edit ed_sig_sr{*this, &gb_sig_transponder, "ed_sig_sr", "1"};
    Label lb_sig_fec{*this, &gb_sig_transponder, "lb_sig_fec", "FEC:"};
    ComboBox cb_sig_Fec{*this, &gb_sig_transponder, "cb_sig_Fec", "AUTO", FecItems()};
    Label lb_sig_refresh{*this, &gb_sig_transponder, "lb_sig_refresh", "Refresh (ms):"};
    Edit ed_sig_refresh{*this, &gb_sig_transponder, "ed_sig_refresh", "500"};
    Button bt_sig_Apply{*this, &gb_sig_transponder, "bt_sig_Apply", "Apply"};
    Button Button5{*this, &ts_signal, "Button5", "FULL_S"};

    // ---- Work panel: below the visible area, never shown -----------------------------------
    Panel Panel2{*this, nullptr, "Panel2"};
    Lines RichEdit1{*this, &Panel2, "RichEdit1"};  // diagnostic log, never emptied
    Lines RichEdit2{*this, &Panel2, "RichEdit2"};  // raw hits of the running sweep
    Lines re_sr_tmp{*this, &Panel2, "re_sr_tmp"};
    Lines re_freq_tmp{*this, &Panel2, "re_freq_tmp"};  // merged hits / frequencies to try
    Edit ed_f_sr{*this, &Panel2, "ed_f_sr", "35000"};  // symbol rate of the sweep
    Label lb_Edit4{*this, &Panel2, "lb_Edit4", "S/R:"};
    Edit Edit4{*this, &Panel2, "Edit4"};
    Picture img_SL_pixel_color{*this, &Panel2, "img_SL_pixel_color", 101, 1};
    CheckBox CheckB_AddToRot{*this, &Panel2, "CheckB_AddToRot", "AddToRot"};
    Button bClear{*this, &Panel2, "bClear", "Clear"};
    Button b_L{*this, &Panel2, "b_L", "L"};
    Button b_S{*this, &Panel2, "b_S", "S"};
    Button b_C{*this, &Panel2, "b_C", "C"};
    Button b_tr_GO{*this, &Panel2, "b_tr_GO", "GO"};
    Button bt_write_file_r26{*this, &Panel2, "bt_write_file_r26", "write_file_r26"};
    // The window's status line, which the front end shows below the pages: one line on what the
    // jobs are doing or did (job_status.cpp). Not kept in Settings.ini.
    Label lb_status{*this, &Panel2, "lb_status", ""};

    // ---- Non-visual components -------------------------------------------------------------
    Timer Timer1{*this, "Timer1", 1000, false};       // status panel
    Timer Timer_sig{*this, "Timer_sig", 500, false};  // signal monitor
    FileDialog SaveDialog;
    FileDialog od_sr_list;
    FileDialog sd_sr_list;
    FileDialog od_freq_list;
    FileDialog sd_freq_list;
    FileDialog sd_shutdown_r23;
    FileDialog sd_sr_shutdown;
    FileDialog sd_export{*this,
                         "sd_export",
                         FileDialog::Mode::Save,
                         "conf",
                         "DVBv5 initial tuning  *.conf|*.conf",
                         "transponders.conf"};
    FileDialog od_compare{*this, "od_compare", FileDialog::Mode::Open, "ini", "*.ini|*.ini", ""};

    // ---- Secondary windows ---------------------------------------------------------------
    TAboutBox AboutBox;
    TForm_Signal Form_Signal;
    TForm_Spectrum Form_Spectrum;

    // ---- Workers ---------------------------------------------------------------------------
    Worker FreqScanWorker{"FreqScanWorker"};
    Worker SweepWorker{"SweepWorker"};
    Worker SrListWorker{"SrListWorker"};
    Worker SrFinderWorker{"SrFinderWorker"};
    Worker FindAllWorker{"FindAllWorker"};
    Worker StrengthWorker{"StrengthWorker"};  // the Spectrum window's strength pass

    // ---- Start-up and close (startup.cpp) -------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void ts_01Show();
    void ts_02Show();
    void ts_signalShow();
    void HelpPORT1Click();
    void HelpENG1Click();
    void About1Click();
    void Image1Click();
    void LOGOClick();
    void Close1Click();
    void Spectrum1Click();  // shows the Spectrum window
    // Asked before a close that the user starts (the title bar, File → Close), never before one
    // of Save & Shutdown or of a failed start-up: while a job runs or a transponder list holds
    // lines that no file has received, one Yes/No question. True when the window may close.
    bool FormCloseQuery();
    // Lines of both transponder lists that were never written to a file (ini file or export).
    int UnsavedTransponders();

    // ---- Export and compare of the found transponders (file_menu.cpp) -----------------------
    // The transponder list of the rev. 2.3 page while it is shown, else that of rev. 2.6.
    Lines& ShownTransponderList();
    void Export1Click();   // the list as a DVBv5 initial-tuning file
    void Compare1Click();  // the list against an earlier transponder file, in a message box

    // ---- Validation (validation.cpp) --------------------------------------------------------
    // Shows a validation message, gives the field the focus (a combo box gets its whole text
    // selected) and returns false, for `return RefuseInput(...)`.
    bool RefuseInput(const std::string& message, Control& field);
    // One check of a page's validation: when it failed, its message is shown and its field
    // gets the focus.
    struct FieldCheck {
        bool failed;
        const char* message;
        Control& focus;
    };
    // Refuses with the first check that failed, in order (running beforeRefusing first, if
    // given); true when none failed.
    bool RefuseFirstFailing(std::initializer_list<FieldCheck> checks,
                            const std::function<void()>& beforeRefusing = {});
    // The range and dwell of either blind-scan page's sweep, checked in the same order with the
    // same messages; the first failing check refuses.
    bool ValidateFrequencyFields(Edit& start, Edit& end, Edit& step, Edit& delay);

    // ---- Settings file (settings_file.cpp) -------------------------------------------------
    void ReadSettings();
    void WriteSettings();

    // ---- Settings group, band and tuning (settings_group.cpp) ------------------------------
    void rb_Ku_LinearMouseUp();
    void rb_CbandMouseUp();
    void rb_CustomMouseUp();
    void bApllyClick();
    void bAplly2Click();
    bool ValidateTransponderGroup();  // "Get - Symbol Rate" transponder fields
    void TuneTo(int32_t mhz);         // the tuning step every job uses
    Band SelectedBand() const;
    LnbSettings CurrentLnb() const;             // the LNB fields as they stand now
    LnbOscillators CurrentOscillators() const;  // the same as numbers (0 where no number)

    // ---- Status panel (status_panel.cpp) ---------------------------------------------------
    void Timer1Timer();

    // ---- Control-state handlers of the pages (page_states.cpp) ----------------------------
    void cb_shutdown_r26Click();
    void cb_shutdown_r23Click();
    void cb_shutdownClick();
    void cb_Fine_TuningClick();
    void cb_custom_delayClick();
    void rb_sr_allClick();
    void rb_sr_range_customClick();
    void rb_win_xp_r26Click();
    void rb_win_98_r26Click();
    void ed_shutdown_r26Change();
    void ed_shutdown_r23Change();
    void rb_sr_menor7500Click();
    void rb_sr_menorClick();
    void rb_sr_maiorClick();
    void rb_sr_customClick();
    void TBar_customChange();

    // ---- Save & Shutdown: browse buttons and the sequence itself (save_and_shutdown.cpp) ------
    void bt_save_shutdown_r23Click();  // also the handler of bt_Save_ini_r26
    void bt_save_sr_shutdownClick();
    // A job's last step when its page's box is ticked, on the job's worker thread. Ends with a
    // close request unless the result could not be written; the caller does nothing after it.
    void SaveAndShutdown(ShutdownPage page);

    // ---- Workers (workers.cpp) -------------------------------------------------------------
    void StartWorker(Worker& worker);
    void StopWorker(Worker& worker);

    // ---- Status line (job_status.cpp) ------------------------------------------------------
    void ShowStatus(const std::string& text);
    // Timer1: the running job's time taken and an estimate of the time left.
    void ShowJobProgress();

    // ---- Page rev. 2.6: probable-frequency sweep (page_rev26.cpp) -------------------------
    void Button1Click();
    void Button3Click();
    bool ValidateFrequencyRange();
    void ProbableFrequencyScan();
    void b_tr_GOClick();
    void b_CClick();
    void b_StopClick();
    void bt_Clear_vClick();
    void bt_Clear_hClick();

    // ---- Page rev. 2.6: symbol-rate list scan (page_rev26.cpp) ----------------------------
    bool SymbolRateStartCheck();
    void Button2Click();
    void Button4Click();
    void b_GOClick();
    void SymbolRateListScan();
    void b_Stop_srClick();

    // ---- Page rev. 2.6: "Find (1,2,3,4)" (page_rev26_find_all.cpp) -------------------------
    void bt_Find1234_r26Click();
    void FindAllJob();
    void bt_Stop1234_r26Click();

    // ---- Page rev. 2.3: sweep and confirmation (page_rev23.cpp) -----------------------------
    bool ValidateSweepInput();
    void bt_go_r23Click();
    void b_Stop_r23Click();
    void SweepScan();
    void WarnWhenTooQuickToLock(const SweepScanParams& params);

    // ---- Spectrum window: the strength pass (window_strength_pass.cpp) ------------------------
    void bt_strengthClick();
    void StrengthPass();
    void bt_strength_stopClick();

    // ---- Transponder lists and ini files of both pages (transponder_files.cpp) -------------
    // Appends the next numbered line and advances the counter in one step with respect to the
    // Clear buttons and the writers, which a user may press while a scan appends.
    void AppendTransponder(Lines& list, int32_t& counter, const FoundTransponder& transponder);
    void bt_trans_clearClick();
    void bt_trans_clear_r23Click();
    // Where the jobs that filled a transponder list looked (polarity and range of each), so
    // that a comparison calls gone only what they could have found; a list no job has filled
    // since its last Clear covers its own span.
    void NoteScanned(const Lines& list, const ScannedRange& range);
    std::vector<ScannedRange> ScannedRangesOf(const Lines& list);
    // Rewrites the file-name field from the position fields; an empty field, or a position
    // whose code would not fit four characters, keeps the name it has.
    void MakeIniFileName(Edit& degrees, Edit& tenths, ComboBox& eastWest, Edit& fileName);
    void ed_sat_pos1Change();
    void ed_sat_pos1_r23Change();
    FileWriteResult WriteTransponderIni(const std::string& path, const Edit& name,
                                        const Edit& fileName, Lines& list, int32_t& counter);
    void bt_Save_iniClick();
    void bt_Save_ini_r23Click();
    // The writers that run at a job's end: no question, and the outcome goes to the caller.
    FileWriteResult bt_write_file_shutdown_r23Click();
    FileWriteResult bt_write_file_r26Click();

    // ---- List files (list_files.cpp) ------------------------------------------------------
    void bt_Load_vClick();
    void bt_Save_vClick();
    void bt_Load_hClick();
    void bt_Save_hClick();
    void b_LoadClick();
    void b_SaveClick();
    void b_ClearClick();
    void ReadListFile(FileDialog& dialog, Lines& list);
    void WriteListFile(FileDialog& dialog, Lines& list);
    void ValidateScanLists();

    // ---- Page "Get - Symbol Rate" (page_get_symbol_rate.cpp) -------------------------------
    bool ValidateSymbolRateSearch();  // the page's own fields, after the transponder group
    void bt_sr_goClick();
    void FindSymbolRate();
    void bt_stop_find_srClick();
    FileWriteResult bt_write_fileClick();  // the report; tells its caller whether it was written

    // ---- Page "Signal Info" (page_signal_info.cpp) ----------------------------------------
    bool ValidateSignalInput();
    void bt_sig_ApplyClick();
    void Timer_sigTimer();
    void Button5Click();
    void ed_sig_freqChange();
    void cb_sig_PolarityChange();
    void ed_sig_srChange();
    void cb_sig_FecChange();
    void ed_sig_refreshChange();

protected:
    // Runs FormClose once WireHandlers has connected it (a bare model closes silently).
    void OnClose() override;
    std::function<void()> closeHandling_;

private:
    // Connects every control's events to its handler (wiring.cpp).
    void WireHandlers();

    // The job whose time the status line shows (job_status.cpp); guarded by jobClockMutex_.
    struct JobClock {
        std::string caption;
        std::function<int()> percent;  // the job's share done, from its gauges
        int64_t startMs = 0;
        TimeLeftEstimate estimate;
        std::string notice;  // a warning of the job's start that stays in sight
        bool running = false;
    };
    void JobClockStarted(std::string caption, std::function<int()> percent);
    void JobClockNotice(const std::string& notice);  // also appended to the diagnostic log
    void JobClockFinished();
    void JobClockEnded(const std::string& status);  // stopped or failed: the status given
    std::mutex jobClockMutex_;
    JobClock jobClock_;
    std::atomic<int> findAllStep_{0};      // 0..3: which step of "Find (1,2,3,4)" runs
    StrengthSpectrumParams strengthPass_;  // the strength pass's range, set by its start

    Platform& platform_;
    SerializedTuner tuner_;
    // The lines of a transponder list as a file last received them.
    void NoteWritten(const Lines& list, std::vector<std::string> lines);
    std::mutex transponderLists_;  // orders each list with its counter (see AppendTransponder)
    std::map<const Lines*, std::vector<std::string>> writtenLines_;    // under transponderLists_
    std::map<const Lines*, std::vector<ScannedRange>> scannedRanges_;  // the same
};

}  // namespace quillox
