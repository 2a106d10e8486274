#include "app/form_signal.h"

namespace quillox {

// Borderless and maximised: the view sizes it to the screen when it is shown.
TForm_Signal::TForm_Signal(Dialogs& dialogs) : Window(dialogs, "Signal", 800, 600) {
    Button1.onClick = [this] { Close(); };
}

}  // namespace quillox
