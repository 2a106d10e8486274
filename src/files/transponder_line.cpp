#include "files/transponder_line.h"

#include <charconv>
#include <iterator>
#include <vector>

#include "base/tuning_code_values.h"

namespace quillox {
namespace {

std::optional<int32_t> Int(const std::string& text) {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

constexpr const char* kTransponderFec[] = {nullptr, "12", "23", "34", "56", "78", "0"};

}  // namespace

const char* PolarityLetter(int32_t code) {
    if (code == polarity::kHorizontal) return "H";
    if (code == polarity::kVertical) return "V";
    return "?";
}

const char* TransponderFecText(int32_t code) {
    if (code < 0 || static_cast<size_t>(code) >= std::size(kTransponderFec)) return "";
    const char* text = kTransponderFec[code];
    return text != nullptr ? text : "";
}

std::string FormatTransponderLine(const TransponderLine& line) {
    return std::to_string(line.number) + "=" + std::to_string(line.mhz) + "," +
           PolarityLetter(line.polarity) + "," + std::to_string(line.ksps) + "," + line.fecText;
}

std::optional<TransponderLine> ParseTransponderLine(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    const std::vector<std::string> fields = Split(line.substr(equals + 1), ',');
    if (fields.size() != 4) return std::nullopt;
    const auto number = Int(line.substr(0, equals));
    const auto mhz = Int(fields[0]);
    const auto ksps = Int(fields[2]);
    if (!number || !mhz || !ksps) return std::nullopt;
    TransponderLine parsed{*number, *mhz, -1, *ksps, fields[3]};
    if (fields[1] == PolarityLetter(polarity::kHorizontal)) parsed.polarity = polarity::kHorizontal;
    if (fields[1] == PolarityLetter(polarity::kVertical)) parsed.polarity = polarity::kVertical;
    return parsed;
}

}  // namespace quillox
