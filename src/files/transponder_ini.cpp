#include "files/transponder_ini.h"

#include <charconv>

#include "base/number_text.h"
#include "files/time_stamp.h"

namespace quillox {
namespace {

constexpr size_t kCodeLength = 4;
constexpr int64_t kFullCircleTenths = 3600;
constexpr const char* kCrLf = "\r\n";

std::optional<int64_t> Int64(const std::string& text) {
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> IniFileNameOf(const std::string& degrees, const std::string& tenths,
                                         const std::string& eastWest) {
    if (degrees.empty() || tenths.empty()) return std::nullopt;
    // Codes are padded to four digits; a negative or longer one names no position.
    const auto noPosition = [](const std::string& code) {
        return code.size() > kCodeLength || code.find('-') != std::string::npos;
    };
    std::string code = std::to_string(StrictInt(degrees)) + std::to_string(StrictInt(tenths));
    if (noPosition(code)) return std::nullopt;
    if (eastWest == "W") {
        const int64_t value = *Int64(code);
        if (value != 0) code = std::to_string(kFullCircleTenths - value);
    }
    if (noPosition(code)) return std::nullopt;
    code.insert(0, kCodeLength - code.size(), '0');
    return code + ".ini";
}

std::string FormatTransponderIni(const TransponderIni& ini) {
    std::string out = "[SATTYPE]";
    out += kCrLf;
    out += "1=" + ini.fileName.substr(0, kCodeLength) + kCrLf;
    out += "2=" + ini.satelliteName + kCrLf;
    out += kCrLf;
    out += "[DVB]";
    out += kCrLf;
    out += "0=" + std::to_string(ini.count) + kCrLf;
    for (const std::string& line : ini.lines) out += line + kCrLf;
    out += kCrLf;
    out += kCrLf;
    out += ";File Generated with <Quillox  by Zyl> " + ini.homePage + kCrLf;
    out += "; on " + DateText(ini.written) + " at " + TimeOfDayText(ini.written) + kCrLf;
    return out;
}

}  // namespace quillox
