#include "app/form1.h"

namespace quillox {

// Events of the job buttons of the scan pages.
void TForm1::WireScanHandlers() {}

}  // namespace quillox
