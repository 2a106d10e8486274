#include "app/form1.h"

namespace quillox {

// Events of every control that has a handler, page by page.
void TForm1::WireHandlers() {
    closeHandling_ = [this] { FormClose(); };  // Window::Close() runs it once

    Export1.onClick = [this] { Export1Click(); };
    Compare1.onClick = [this] { Compare1Click(); };
    Close1.onClick = [this] { Close1Click(); };
    Spectrum1.onClick = [this] { Spectrum1Click(); };
    Form_Spectrum.bt_strength.onClick = [this] { bt_strengthClick(); };
    Form_Spectrum.bt_strength_stop.onClick = [this] { bt_strength_stopClick(); };
    HelpPORT1.onClick = [this] { HelpPORT1Click(); };
    HelpENG1.onClick = [this] { HelpENG1Click(); };
    About1.onClick = [this] { About1Click(); };
    Image1.onClick = [this] { Image1Click(); };
    Image4.onClick = [this] { Image1Click(); };
    LOGO.onClick = [this] { LOGOClick(); };

    ts_01.onShow = [this] { ts_01Show(); };
    ts_02.onShow = [this] { ts_02Show(); };
    ts_signal.onShow = [this] { ts_signalShow(); };
    Timer1.onTimer = [this] { Timer1Timer(); };

    // Band radios act on mouse release only: choosing one with the keyboard leaves the LOFs.
    rb_Ku_Linear.onMouseUp = [this] { rb_Ku_LinearMouseUp(); };
    rb_Cband.onMouseUp = [this] { rb_CbandMouseUp(); };
    rb_Custom.onMouseUp = [this] { rb_CustomMouseUp(); };
    bAplly.onClick = [this] { bApllyClick(); };
    bAplly2.onClick = [this] { bAplly2Click(); };

    cb_shutdown_r26.onClick = [this] { cb_shutdown_r26Click(); };
    cb_shutdown_r23.onClick = [this] { cb_shutdown_r23Click(); };
    cb_shutdown.onClick = [this] { cb_shutdownClick(); };
    for (RadioButton* xp : {&rb_win_xp_r26, &rb_win_xp_r23, &rb_win_xp})
        xp->onClick = [this] { rb_win_xp_r26Click(); };
    for (RadioButton* w98 : {&rb_win_98_r26, &rb_win_98_r23, &rb_win_98})
        w98->onClick = [this] { rb_win_98_r26Click(); };
    ed_shutdown_r26.onChange = [this] { ed_shutdown_r26Change(); };
    ed_shutdown_r23.onChange = [this] { ed_shutdown_r23Change(); };
    bt_save_shutdown_r23.onClick = [this] { bt_save_shutdown_r23Click(); };
    bt_Save_ini_r26.onClick = [this] { bt_save_shutdown_r23Click(); };
    bt_save_sr_shutdown.onClick = [this] { bt_save_sr_shutdownClick(); };

    cb_Fine_Tuning.onClick = [this] { cb_Fine_TuningClick(); };
    cb_custom_delay.onClick = [this] { cb_custom_delayClick(); };
    rb_sr_all.onClick = [this] { rb_sr_allClick(); };
    rb_sr_range_custom.onClick = [this] { rb_sr_range_customClick(); };

    rb_sr_menor7500.onClick = [this] { rb_sr_menor7500Click(); };
    rb_sr_menor.onClick = [this] { rb_sr_menorClick(); };
    rb_sr_maior.onClick = [this] { rb_sr_maiorClick(); };
    rb_sr_custom.onClick = [this] { rb_sr_customClick(); };
    TBar_custom.onChange = [this] { TBar_customChange(); };

    // Page rev. 2.6: jobs and lists.
    Button1.onClick = [this] { Button1Click(); };
    Button3.onClick = [this] { Button3Click(); };
    b_Stop.onClick = [this] { b_StopClick(); };
    b_tr_GO.onClick = [this] { b_tr_GOClick(); };
    b_C.onClick = [this] { b_CClick(); };
    bt_Clear_v.onClick = [this] { bt_Clear_vClick(); };
    bt_Clear_h.onClick = [this] { bt_Clear_hClick(); };
    Button2.onClick = [this] { Button2Click(); };
    Button4.onClick = [this] { Button4Click(); };
    b_GO.onClick = [this] { b_GOClick(); };
    b_Stop_sr.onClick = [this] { b_Stop_srClick(); };
    bt_Load_v.onClick = [this] { bt_Load_vClick(); };
    bt_Save_v.onClick = [this] { bt_Save_vClick(); };
    bt_Load_h.onClick = [this] { bt_Load_hClick(); };
    bt_Save_h.onClick = [this] { bt_Save_hClick(); };
    b_Load.onClick = [this] { b_LoadClick(); };
    b_Save.onClick = [this] { b_SaveClick(); };
    b_Clear.onClick = [this] { b_ClearClick(); };
    bt_Find1234_r26.onClick = [this] { bt_Find1234_r26Click(); };
    bt_Stop1234_r26.onClick = [this] { bt_Stop1234_r26Click(); };

    // Page "Get - Symbol Rate".
    bt_sr_go.onClick = [this] { bt_sr_goClick(); };
    bt_stop_find_sr.onClick = [this] { bt_stop_find_srClick(); };
    bt_write_file.onClick = [this] { bt_write_fileClick(); };

    // Page "Signal Info"; the signal window wires its own controls.
    bt_sig_Apply.onClick = [this] { bt_sig_ApplyClick(); };
    Timer_sig.onTimer = [this] { Timer_sigTimer(); };
    Button5.onClick = [this] { Button5Click(); };
    ed_sig_freq.onChange = [this] { ed_sig_freqChange(); };
    cb_sig_Polarity.onChange = [this] { cb_sig_PolarityChange(); };
    ed_sig_sr.onChange = [this] { ed_sig_srChange(); };
    cb_sig_Fec.onChange = [this] { cb_sig_FecChange(); };
    ed_sig_refresh.onChange = [this] { ed_sig_refreshChange(); };

    // Page rev. 2.3: the sweep.
    bt_go_r23.onClick = [this] { bt_go_r23Click(); };
    b_Stop_r23.onClick = [this] { b_Stop_r23Click(); };

    // Both pages: the " INI file " groups; a position control's change renames the file.
    for (Edit* position : std::initializer_list<Edit*>{&ed_sat_pos1, &ed_sat_pos2, &cb_E_W})
        position->onChange = [this] { ed_sat_pos1Change(); };
    for (Edit* position :
         std::initializer_list<Edit*>{&ed_sat_pos1_r23, &ed_sat_pos2_r23, &cb_E_W_r23})
        position->onChange = [this] { ed_sat_pos1_r23Change(); };
    bt_Save_ini.onClick = [this] { bt_Save_iniClick(); };
    bt_Save_ini_r23.onClick = [this] { bt_Save_ini_r23Click(); };
    bt_trans_clear.onClick = [this] { bt_trans_clearClick(); };
    bt_trans_clear_r23.onClick = [this] { bt_trans_clear_r23Click(); };
    // Clicked by the program at a job's end; its caller takes the outcome from the handler.
    bt_write_file_shutdown_r23.onClick = [this] { (void)bt_write_file_shutdown_r23Click(); };
    bt_write_file_r26.onClick = [this] { (void)bt_write_file_r26Click(); };
}

}  // namespace quillox
