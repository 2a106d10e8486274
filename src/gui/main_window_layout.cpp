#include "gui/main_window_layout.h"

#include <string_view>
#include <unordered_map>

namespace quillox::gui {
namespace {

// Row heights used throughout: fields and buttons 22, check boxes and radios 20.
const std::unordered_map<std::string_view, Geometry>& Table() {
    static const std::unordered_map<std::string_view, Geometry> table = {
        // ---- Top row: what the tuner reports (labels above their fields) -------------------
        {"gbActual_Settings", {4, 2, 328, 106}},
        {"lb_Edit2", {10, 20, 60, 16}},    {"Edit2", {10, 36, 60, 22}},
        {"lb_Edit3", {78, 20, 100, 16}},   {"Edit3", {78, 36, 100, 22}},
        {"lb_Edit5", {186, 20, 60, 16}},   {"Edit5", {186, 36, 60, 22}},
        {"lb_Edit6", {254, 20, 64, 16}},   {"Edit6", {254, 36, 64, 22}},
        {"lb_Edit9", {10, 62, 60, 16}},    {"Edit9", {10, 78, 60, 22}},
        {"lb_Edit7", {78, 62, 100, 16}},   {"Edit7", {78, 78, 100, 22}},
        {"lb_ed_snr", {186, 62, 60, 16}},  {"ed_snr", {186, 78, 60, 22}},
        {"lb_Edit8", {254, 62, 64, 16}},   {"Edit8", {254, 78, 64, 22}},

        // ---- Top row: the outdoor equipment -------------------------------------------------
        {"gbSettings", {336, 2, 405, 106}},
        {"rb_Ku_Linear", {10, 21, 84, 20}},
        {"rb_Cband", {98, 21, 40, 20}},
        {"rb_Custom", {142, 21, 72, 20}},
        {"lb_LOF_low", {10, 52, 64, 16}},  {"ed_LOF_low", {10, 68, 64, 22}},
        {"lb_LOF_sw", {80, 52, 64, 16}},   {"ed_LOF_sw", {80, 68, 64, 22}},
        {"lb_LOF_higth", {150, 52, 64, 16}}, {"ed_LOF_higth", {150, 68, 64, 22}},
        {"lb_LNB_Sel", {228, 20, 56, 22}}, {"cbLNB_Sel", {286, 20, 110, 22}},
        {"lb_DiSEqC", {228, 48, 56, 22}},  {"cbDiSEqC", {286, 48, 110, 22}},
        {"bAplly", {286, 76, 110, 24}},

        // ---- Pages ----------------------------------------------------------------------------
        {"pc_main", {0, 112, 745, 369}},

        // ---- "SkyStar2  rev. 2.6": probable frequencies ------------------------------------
        {"gb_freqs", {4, 2, 318, 216}},
        {"lb_f_start", {10, 20, 38, 22}},  {"ed_f_start", {50, 20, 58, 22}},
        {"lb_f_end", {116, 20, 36, 22}},   {"ed_f_end", {154, 20, 58, 22}},
        {"lb_f_step", {10, 46, 38, 22}},   {"ed_f_step", {50, 46, 58, 22}},
        {"lb_f_delay", {116, 46, 38, 22}}, {"ed_f_delay", {154, 46, 58, 22}},
        {"Button1", {224, 20, 86, 22}},    {"Button3", {224, 46, 86, 22}},
        {"lb_sr_class", {10, 74, 36, 20}},
        {"rb_sr_menor7500", {48, 74, 60, 20}},
        {"rb_sr_menor", {110, 74, 56, 20}},
        {"rb_sr_maior", {168, 74, 56, 20}},
        {"lb_sr_unit", {226, 74, 60, 20}},
        {"rb_sr_custom", {48, 98, 72, 22}},
        {"TBar_custom", {120, 96, 84, 26}},
        {"lb_custom_lt", {206, 98, 20, 22}},
        {"lb_custom", {226, 98, 34, 22}},
        {"lb_custom_unit", {262, 98, 48, 22}},
        {"lb_freq_v", {10, 124, 96, 16}},
        {"r_edt_freq_v", {10, 140, 96, 68}},
        {"bt_Load_v", {108, 140, 48, 22}}, {"bt_Save_v", {108, 163, 48, 22}},
        {"bt_Clear_v", {108, 186, 48, 22}},
        {"lb_freq_h", {162, 124, 96, 16}},
        {"r_edt_freq_h", {162, 140, 96, 68}},
        {"bt_Load_h", {260, 140, 48, 22}}, {"bt_Save_h", {260, 163, 48, 22}},
        {"bt_Clear_h", {260, 186, 48, 22}},

        // ---- "SkyStar2  rev. 2.6": symbol rates ----------------------------------------------
        {"gb_srs", {326, 2, 172, 216}},
        {"lb_symbolrate", {10, 20, 156, 16}},
        {"r_edt_symbolrate", {10, 38, 102, 96}},
        {"b_Load", {116, 38, 48, 22}}, {"b_Save", {116, 61, 48, 22}}, {"b_Clear", {116, 84, 48, 22}},
        {"lb_sr_delay", {10, 140, 40, 22}},
        {"ed_sr_delay", {52, 140, 60, 22}},
        {"lb_sr_delay_ms", {116, 140, 24, 22}},
        {"Button2", {10, 166, 154, 22}},
        {"Button4", {10, 190, 154, 22}},

        // ---- "SkyStar2  rev. 2.6": transponder file ------------------------------------------
        {"gb_ini_file", {502, 2, 235, 216}},
        {"lb_sat_name", {10, 20, 60, 22}},  {"ed_sat_name", {72, 20, 154, 22}},
        {"lb_sat_pos", {10, 46, 60, 22}},   {"ed_sat_pos1", {72, 46, 40, 22}},
        {"lb_sat_comma", {114, 46, 6, 22}}, {"ed_sat_pos2", {122, 46, 24, 22}},
        {"lb_sat_degree", {148, 46, 10, 22}}, {"cb_E_W", {160, 46, 50, 22}},
        {"lb_file_name", {10, 72, 60, 22}}, {"ed_file_name", {72, 72, 90, 22}},
        {"lb_trans_good", {10, 98, 100, 16}},
        {"r_ed_trans_good", {10, 116, 162, 92}},
        {"bt_Save_ini", {176, 116, 50, 22}}, {"bt_trans_clear", {176, 140, 50, 22}},

        // ---- "SkyStar2  rev. 2.6": stop buttons, progress, combined job, notice -------------
        {"b_Stop", {4, 222, 90, 24}},      {"pbar_freq", {98, 222, 224, 24}},
        {"b_Stop_sr", {326, 222, 90, 24}}, {"pbar_sr", {420, 222, 317, 24}},
        {"Panel3", {4, 250, 318, 90}},
        {"bt_Find1234_r26", {6, 6, 120, 24}}, {"bt_Stop1234_r26", {130, 6, 120, 24}},
        {"cb_shutdown_r26", {6, 36, 132, 20}},
        {"rb_win_xp_r26", {140, 36, 104, 20}}, {"rb_win_98_r26", {246, 36, 69, 20}},
        {"ed_shutdown_r26", {6, 62, 270, 22}}, {"bt_Save_ini_r26", {280, 62, 32, 22}},
        {"gb_attention", {326, 248, 315, 92}},
        {"lb_attention_driver", {10, 20, 297, 32}},
        {"lb_attention_help", {10, 54, 297, 32}},
        {"Image1", {647, 262, 90, 60}},

        // ---- "SkyStar2  rev. 2.3" -----------------------------------------------------------
        {"gb_freqs_r23", {4, 2, 240, 80}},
        {"lb_f_start_r23", {10, 20, 38, 22}}, {"ed_f_start_r23", {50, 20, 60, 22}},
        {"lb_f_end_r23", {120, 20, 38, 22}},  {"ed_f_end_r23", {160, 20, 60, 22}},
        {"lb_f_step_r23", {10, 48, 38, 22}},  {"ed_f_step_r23", {50, 48, 60, 22}},
        {"lb_f_delay_r23", {120, 48, 38, 22}}, {"ed_f_delay_r23", {160, 48, 60, 22}},
        {"gb_Polarity", {4, 86, 240, 48}},
        {"cb_Vertical", {10, 20, 100, 20}}, {"cb_Horizontal", {120, 20, 110, 20}},
        {"gb_F_Tuning", {4, 138, 240, 80}},
        {"cb_Fine_Tuning", {10, 20, 100, 20}},
        {"cb_custom_delay", {10, 46, 120, 22}}, {"ed_F_Tuning", {134, 46, 60, 22}},
        {"gb_sr_range", {250, 2, 248, 100}},
        {"rb_sr_all", {10, 20, 230, 20}},
        {"rb_sr_range_custom", {10, 44, 80, 20}},
        {"Label53", {30, 70, 40, 22}}, {"ed_sr_range_from", {72, 70, 40, 22}},
        {"Label73", {120, 70, 24, 22}}, {"ed_sr_range_to", {146, 70, 40, 22}},
        {"Label70", {190, 70, 50, 22}},
        {"bt_go_r23", {250, 108, 120, 30}}, {"b_Stop_r23", {378, 108, 120, 30}},
        {"pbar_freq_r23", {250, 144, 248, 24}},
        {"gb_ini_file_r23", {502, 2, 235, 216}},
        {"lb_sat_name_r23", {10, 20, 60, 22}},  {"ed_sat_name_r23", {72, 20, 154, 22}},
        {"lb_sat_pos_r23", {10, 46, 60, 22}},   {"ed_sat_pos1_r23", {72, 46, 40, 22}},
        {"lb_sat_comma_r23", {114, 46, 6, 22}}, {"ed_sat_pos2_r23", {122, 46, 24, 22}},
        {"lb_sat_degree_r23", {148, 46, 10, 22}}, {"cb_E_W_r23", {160, 46, 50, 22}},
        {"lb_file_name_r23", {10, 72, 60, 22}}, {"ed_file_name_r23", {72, 72, 90, 22}},
        {"lb_trans_good_r23", {10, 98, 100, 16}},
        {"r_ed_trans_good_r23", {10, 116, 162, 92}},
        {"bt_Save_ini_r23", {176, 116, 50, 22}}, {"bt_trans_clear_r23", {176, 140, 50, 22}},
        {"gb_shutdown_r23", {4, 222, 494, 100}},
        {"cb_shutdown_r23", {10, 20, 320, 20}},
        {"rb_win_xp_r23", {360, 20, 120, 20}}, {"rb_win_98_r23", {360, 44, 120, 20}},
        {"ed_shutdown_r23", {10, 46, 300, 22}}, {"bt_save_shutdown_r23", {314, 46, 32, 22}},
        {"lb_overwrite_r23", {10, 74, 330, 16}},
        {"LOGO", {575, 242, 90, 60}},

        // ---- "Get - Symbol Rate" -------------------------------------------------------------
        {"gbTransponder", {4, 2, 200, 104}},
        {"lb_Edit12", {10, 20, 40, 22}},     {"Edit12", {52, 20, 138, 22}},
        {"lb_cbPolarity", {10, 46, 40, 22}}, {"cbPolarity", {52, 46, 138, 22}},
        {"lb_cbFec", {10, 72, 40, 22}},      {"cbFec", {52, 72, 138, 22}},
        {"gb_sr", {208, 2, 290, 104}},
        {"lb_start", {10, 20, 38, 22}}, {"ed_start", {50, 20, 70, 22}},
        {"lb_end", {130, 20, 38, 22}},  {"ed_end", {170, 20, 70, 22}},
        {"lb_step", {10, 46, 38, 22}},  {"ed_step", {50, 46, 70, 22}},
        {"lb_delay", {130, 46, 38, 22}}, {"ed_delay", {170, 46, 70, 22}},
        {"bt_sr_go", {10, 74, 270, 24}},
        {"gb_Fine_Tuning", {502, 2, 235, 104}},
        {"rb_ft_none", {10, 20, 215, 20}}, {"rb_ft_normal", {10, 44, 215, 20}},
        {"rb_ft_best", {10, 68, 215, 20}},
        {"Panel1", {4, 110, 733, 70}},
        {"Image2", {8, 8, 649, 25}}, {"Image3", {9, 9, 647, 23}},
        {"pbar_find_sr", {8, 40, 400, 22}},
        {"lb_ed_sr", {420, 40, 30, 22}}, {"ed_sr", {452, 40, 90, 22}},
        {"bt_stop_find_sr", {560, 40, 97, 22}},
        {"gb_shutdown", {4, 184, 600, 100}},
        {"cb_shutdown", {10, 20, 320, 20}},
        {"rb_win_xp", {460, 20, 120, 20}}, {"rb_win_98", {460, 44, 120, 20}},
        {"ed_sr_job", {10, 46, 400, 22}}, {"bt_save_sr_shutdown", {414, 46, 32, 22}},
        {"lb_overwrite", {10, 74, 330, 16}},
        {"Image4", {628, 204, 90, 60}},

        // ---- "Signal Info" ------------------------------------------------------------------
        {"pbar_sig_q", {4, 4, 733, 240}},
        {"gb_sig_transponder", {4, 250, 610, 80}},
        {"lb_sig_freq", {10, 20, 36, 22}},  {"ed_sig_freq", {48, 20, 60, 22}},
        {"lb_sig_pol", {118, 20, 30, 22}},  {"cb_sig_Polarity", {150, 20, 110, 22}},
        {"lb_sig_sr", {270, 20, 30, 22}},   {"ed_sig_sr", {302, 20, 60, 22}},
        {"lb_sig_fec", {372, 20, 32, 22}},  {"cb_sig_Fec", {406, 20, 72, 22}},
        {"lb_sig_refresh", {10, 48, 90, 22}}, {"ed_sig_refresh", {102, 48, 60, 22}},
        {"bt_sig_Apply", {500, 20, 100, 24}},
        {"Button5", {624, 258, 113, 64}},
    };
    return table;
}

}  // namespace

std::optional<Geometry> MainWindowGeometry(const std::string& controlName) {
    auto found = Table().find(controlName);
    if (found == Table().end()) return std::nullopt;
    return found->second;
}

}  // namespace quillox::gui
