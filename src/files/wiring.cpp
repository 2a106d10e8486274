#include "app/form1.h"

namespace quillox {

// Events of the list and file buttons.
void TForm1::WireFileHandlers() {
    bt_Load_v.onClick = [this] { bt_Load_vClick(); };
    bt_Save_v.onClick = [this] { bt_Save_vClick(); };
    bt_Load_h.onClick = [this] { bt_Load_hClick(); };
    bt_Save_h.onClick = [this] { bt_Save_hClick(); };
    b_Load.onClick = [this] { b_LoadClick(); };
    b_Save.onClick = [this] { b_SaveClick(); };
    b_Clear.onClick = [this] { b_ClearClick(); };
}

}  // namespace quillox
