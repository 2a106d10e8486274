#include "app/form1.h"

namespace quillox {

// Events of the list and file buttons.
void TForm1::WireFileHandlers() {}

}  // namespace quillox
