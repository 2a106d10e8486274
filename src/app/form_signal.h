#pragma once
// The full-screen signal window: a large quality bar and a copy of the Signal Info inputs.
#include "device/tuning_codes.h"
#include "form/controls.h"
#include "form/window.h"

namespace quillox {

class TForm_Signal : public Window {
public:
    explicit TForm_Signal(Dialogs& dialogs);

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
};

}  // namespace quillox
