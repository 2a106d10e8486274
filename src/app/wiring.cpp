#include "app/form1.h"

namespace quillox {

// Events of the start-up, settings, tuning, status and page-state controls.
void TForm1::WireAppHandlers() {}

}  // namespace quillox
