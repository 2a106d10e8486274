#include "app/form1.h"

namespace quillox {

// Events of the job buttons of the scan pages.
void TForm1::WireScanHandlers() {
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
}

}  // namespace quillox
