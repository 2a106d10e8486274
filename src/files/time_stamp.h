#pragma once
// The time stamp that written files carry: "6/12/2026" and "19:05:07".
#include <string>

#include "platform/clock.h"

namespace quillox {

std::string DateText(const LocalTime& t);       // day/month/year, no leading zeros
std::string TimeOfDayText(const LocalTime& t);  // hh:mm:ss, 24-hour clock

}  // namespace quillox
