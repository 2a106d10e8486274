#pragma once
// The full-screen signal window: a large quality bar and a copy of the Signal Info inputs,
// kept alike with the main window's. Its handlers are defined with the Signal Info page
// (page_signal_info.cpp).
#include "app/tuning_texts.h"
#include "form/controls.h"
#include "form/window.h"

namespace quillox {

class TForm1;

class TForm_Signal : public Window {
public:
    TForm_Signal(Dialogs& dialogs, TForm1& main);

    Gauge pbar_sig_q{*this, nullptr, "pbar_sig_q"};
    GroupBox gb_sig_transponder{*this, nullptr, "gb_sig_transponder", "Transponder"};
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
    Button Button1{*this, nullptr, "Button1", "Restore"};

    // Apply is the main window's Apply; the inputs copy themselves into the main window.
    void bt_sig_ApplyClick();
    void ed_sig_freqChange();
    void cb_sig_PolarityChange();
    void ed_sig_srChange();
    void cb_sig_FecChange();
    void ed_sig_refreshChange();
    void Button1Click();  // "Restore": back to the main window

private:
    TForm1& main_;
};

}  // namespace quillox
