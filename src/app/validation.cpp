#include "app/form1.h"

namespace quillox {

bool TForm1::RefuseInput(const std::string& message, Control& field) {
    platform().dialogs.ErrorBox(message);
    if (auto* combo = dynamic_cast<ComboBox*>(&field))
        combo->selectAll();
    else
        field.setFocus();
    return false;
}

}  // namespace quillox
