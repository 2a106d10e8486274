#include "base/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace quillox {
namespace {

std::optional<int32_t> ParseInt32(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {  // from_chars takes '-' but not '+'
        ++first;
        if (first == last || *first < '0' || *first > '9') return std::nullopt;
    }
    int32_t value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

// 10 - 640 * 2^-60: the largest 64-bit-mantissa value just below ten.
constexpr long double kJustBelowTen = 10.0L - 640.0L / 1152921504606846976.0L;

}  // namespace

ConversionError::ConversionError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

int32_t LenientInt(const std::string& text) {
    return IntOr(text, -1);
}

int32_t IntOr(const std::string& text, int32_t fallback) {
    return ParseInt32(text).value_or(fallback);
}

int32_t StrictInt(const std::string& text) {
    std::optional<int32_t> value = ParseInt32(text);
    if (!value) throw ConversionError(text);
    return *value;
}

double RoundToTenth(double x) {
    double y = x * 10.0;
    double m = std::trunc(y);
    long double d = std::trunc(static_cast<long double>(y - m) * kJustBelowTen);
    if (d >= 5) m += 1;
    return m * 0.1 + 0.0;  // + 0.0 turns a negative zero into zero
}

std::string ReadingText(double value) {
    value += 0.0;
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string ClockText(int64_t ms) {
    const int64_t s = std::max<int64_t>(ms, 0) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
}

}  // namespace quillox
