#include "app/form1.h"

namespace quillox {

// Events of the start-up, settings, tuning, status and page-state controls.
// To do with FormClose: connect the window's close handling here with
//     closeHandling_ = [this] { FormClose(); };
// (TForm1::OnClose runs it; Window::Close() guarantees it runs once.)
void TForm1::WireAppHandlers() {}

}  // namespace quillox
