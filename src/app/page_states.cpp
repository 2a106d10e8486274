// Handlers that keep dependent controls in step with a box, a radio or a field. Each also runs
// when settings are loaded (setting a box or radio from code runs its click handler).
#include <string>

#include "app/form1.h"

namespace quillox {
namespace {

void EnableAll(std::initializer_list<Control*> controls, bool enabled) {
    for (Control* control : controls) control->setEnabled(enabled);
}

}  // namespace

// ---- Save & Shutdown boxes: the page's variant radios, path field and browse button ----------

void TForm1::cb_shutdown_r26Click() {
    EnableAll({&rb_win_xp_r26, &rb_win_98_r26, &ed_shutdown_r26, &bt_Save_ini_r26},
              cb_shutdown_r26.checked());
}

void TForm1::cb_shutdown_r23Click() {
    EnableAll({&rb_win_xp_r23, &rb_win_98_r23, &ed_shutdown_r23, &bt_save_shutdown_r23},
              cb_shutdown_r23.checked());
}

void TForm1::cb_shutdownClick() {
    EnableAll({&rb_win_xp, &rb_win_98, &ed_sr_job, &bt_save_sr_shutdown}, cb_shutdown.checked());
}

// One shutdown variant for all three pages; checking a radio that is already checked runs no
// handler, so the mutual calls end after one round.
void TForm1::rb_win_xp_r26Click() {
    for (RadioButton* xp : {&rb_win_xp_r26, &rb_win_xp_r23, &rb_win_xp}) xp->setChecked(true);
}

void TForm1::rb_win_98_r26Click() {
    for (RadioButton* w98 : {&rb_win_98_r26, &rb_win_98_r23, &rb_win_98}) w98->setChecked(true);
}

// One result folder for both blind-scan pages; an equal text changes nothing and ends the echo.
void TForm1::ed_shutdown_r26Change() {
    ed_shutdown_r23.setText(ed_shutdown_r26.text());
}
void TForm1::ed_shutdown_r23Change() {
    ed_shutdown_r26.setText(ed_shutdown_r23.text());
}

// ---- Page rev. 2.3: fine tuning and symbol-rate range ----------------------------------------

void TForm1::cb_Fine_TuningClick() {
    if (cb_Fine_Tuning.checked()) {
        cb_custom_delay.setEnabled(true);
        cb_custom_delayClick();
    } else {
        cb_custom_delay.setEnabled(false);
        ed_F_Tuning.setEnabled(false);
    }
}

// The delay field is usable only while its box is both ticked and usable: loading a ticked
// custom delay with fine tuning off must not leave the field enabled under a disabled box.
void TForm1::cb_custom_delayClick() {
    ed_F_Tuning.setEnabled(cb_custom_delay.checked() && cb_custom_delay.enabled());
}

void TForm1::rb_sr_allClick() {
    EnableAll({&ed_sr_range_from, &ed_sr_range_to, &Label53, &Label73, &Label70}, false);
}

void TForm1::rb_sr_range_customClick() {
    EnableAll({&ed_sr_range_from, &ed_sr_range_to, &Label53, &Label73, &Label70}, true);
}

// ---- Page rev. 2.6: symbol-rate class of the probable-frequency sweep ------------------------

void TForm1::rb_sr_menor7500Click() {
    ed_f_sr.setText("7500");
}
void TForm1::rb_sr_menorClick() {
    ed_f_sr.setText("15000");
}
void TForm1::rb_sr_maiorClick() {
    ed_f_sr.setText("35000");
}
void TForm1::rb_sr_customClick() {
    ed_f_sr.setText(std::to_string(TBar_custom.position() * 1000));
}

void TForm1::TBar_customChange() {
    const std::string ksps = std::to_string(TBar_custom.position() * 1000);
    lb_custom.setText(ksps);
    if (rb_sr_custom.checked()) ed_f_sr.setText(ksps);
}

}  // namespace quillox
