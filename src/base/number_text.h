#pragma once
// Number conversions shared by every page: integer fields, SNR rounding and reading texts.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillox {

// Raised by StrictInt; what() is "'<text>' is not a valid integer value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
};

// Value of a 32-bit decimal integer text (optional sign), or -1 for any other text.
int32_t LenientInt(const std::string& text);
// Same, but throws ConversionError for a text that is not a 32-bit decimal integer.
int32_t StrictInt(const std::string& text);
// Like LenientInt with a chosen fallback for texts that are not integers.
int32_t IntOr(const std::string& text, int32_t fallback);

// Rounds an SNR reading to one decimal, half up on the magnitude, with the program's
// historical arithmetic (an extended constant just below 10), so thresholds compare exactly.
double RoundToTenth(double x);

// Decimal text of a reading: fewest digits, at most 15 significant, no trailing zeros
// (3.7, 12, 0). Always uses '.' as the decimal separator.
std::string ReadingText(double value);

// A duration as hours, minutes and seconds: "1:02:03" for 3723000 ms (negative counts as 0).
std::string ClockText(int64_t ms);

}  // namespace quillox
