#include "app/form_signal.h"

namespace quillox {

// Borderless and maximised: the view sizes it to the screen when it is shown. It is not shown
// until FULL_S opens it, so it starts closed.
TForm_Signal::TForm_Signal(Dialogs& dialogs, TForm1& main)
    : Window(dialogs, "Signal", 800, 600), main_(main) {
    bt_sig_Apply.onClick = [this] { bt_sig_ApplyClick(); };
    ed_sig_freq.onChange = [this] { ed_sig_freqChange(); };
    cb_sig_Polarity.onChange = [this] { cb_sig_PolarityChange(); };
    ed_sig_sr.onChange = [this] { ed_sig_srChange(); };
    cb_sig_Fec.onChange = [this] { cb_sig_FecChange(); };
    ed_sig_refresh.onChange = [this] { ed_sig_refreshChange(); };
    Button1.onClick = [this] { Button1Click(); };
    Close();
}

}  // namespace quillox
