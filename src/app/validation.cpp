#include "app/form1.h"
#include "base/number_text.h"

namespace quillox {

bool TForm1::RefuseInput(const std::string& message, Control& field) {
    platform().dialogs.ErrorBox(message);
    if (auto* combo = dynamic_cast<ComboBox*>(&field))
        combo->selectAll();
    else
        field.setFocus();
    return false;
}

bool TForm1::RefuseFirstFailing(std::initializer_list<FieldCheck> checks,
                                const std::function<void()>& beforeRefusing) {
    for (const FieldCheck& check : checks) {
        if (!check.failed) continue;
        if (beforeRefusing) beforeRefusing();
        return RefuseInput(check.message, check.focus);
    }
    return true;
}

bool TForm1::ValidateFrequencyFields(Edit& startField, Edit& endField, Edit& stepField,
                                     Edit& delayField) {
    const Band band = SelectedBand();
    const bool ku = band == Band::KuLinear, c = band == Band::C, custom = band == Band::Custom;
    const int32_t start = LenientInt(startField.text());
    const int32_t end = LenientInt(endField.text());
    const auto outside = [band](int32_t mhz) { return !FrequencyInBand(band, mhz); };
    return RefuseFirstFailing({
        {ku && outside(start),
         "Invalid START frequency for Ku-Linear Band\n"
         "Please put a frequency from 10700 Mhz to 12750 MHz.",
         startField},
        {c && outside(start),
         "Invalid START frequency for C-Linear Band\n"
         "Please put a frequency from 3400 MHz to 4200 MHz.",
         startField},
        {custom && start < 1, "Invalid START frequency\nPlease put a valid frequency.", startField},
        {ku && outside(end),
         "Invalid END frequency for Ku-Linear Band\n"
         "Please put a frequency from 10700 Mhz to 12750 MHz.",
         endField},
        {c && outside(end),
         "Invalid END frequency for C-Linear Band\n"
         "Please put a frequency from 3400 MHz to 4200 MHz.",
         endField},
        {custom && end < 1, "Invalid END frequency\nPlease put a valid frequency.", endField},
        {end < start, "The START frequency can't be superior to the END frequency.", startField},
        {LenientInt(stepField.text()) < 1, "Invalid STEP, please put a step superior to 0.",
         stepField},
        {LenientInt(delayField.text()) < 200, "Invalid Delay, the minimum value is 200.",
         delayField},
    });
}

}  // namespace quillox
