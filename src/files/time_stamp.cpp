#include "files/time_stamp.h"

#include <cstdio>

namespace quillox {

std::string DateText(const LocalTime& t) {
    return std::to_string(t.day) + "/" + std::to_string(t.month) + "/" + std::to_string(t.year);
}

std::string TimeOfDayText(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

}  // namespace quillox
