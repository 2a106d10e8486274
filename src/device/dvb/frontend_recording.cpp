#include "device/dvb/frontend_recording.h"

#include <libdvbv5/dvb-fe.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

namespace quillox::dvb {
namespace {

template <typename T>
std::optional<T> Number(std::string_view text, int base = 10) {
    T value{};
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

template <typename T>
std::optional<T> HexNumber(std::string_view text) {
    if (text.substr(0, 2) != "0x") return std::nullopt;
    return Number<T>(text.substr(2), 16);
}

std::string Hex(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::vector<std::string> Tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

// A text (a path, a driver's name) stays one token: blanks, '%' and bytes outside printable
// ASCII are written as %XX.
std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7f || c == '%') {
            out += '%';
            out += Hex(byte, 2);
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const std::optional<uint8_t> byte =
            i + 2 < text.size() ? Number<uint8_t>(text.substr(i + 1, 2), 16) : std::nullopt;
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
        i += 2;
    }
    return out;
}

// Property commands by the names libdvbv5 gives them ("FREQUENCY", "STAT_CNR"); a command it
// does not name is written as its number.
std::string CommandName(uint32_t cmd) {
    const char* name = cmd <= DTV_MAX_COMMAND ? dvb_cmd_name(static_cast<int>(cmd)) : nullptr;
    return name != nullptr ? name : std::to_string(cmd);
}

std::optional<uint32_t> CommandOf(std::string_view text) {
    for (uint32_t cmd = 0; cmd <= DTV_MAX_COMMAND; ++cmd) {
        const char* name = dvb_cmd_name(static_cast<int>(cmd));
        if (name != nullptr && text == name) return cmd;
    }
    return Number<uint32_t>(text);
}

bool IsStatistic(uint32_t cmd) {
    return cmd >= DTV_STAT_SIGNAL_STRENGTH && cmd <= DTV_STAT_TOTAL_BLOCK_COUNT;
}

std::string EnumText(uint32_t value, std::initializer_list<const char*> names) {
    if (value < names.size()) return names.begin()[value];
    std::string text = "?";
    return text += std::to_string(value);
}

std::optional<int> ResultOf(const std::string& text) {
    if (std::optional<int> number = Number<int>(text); number && *number >= 0) return number;
    for (int e = 1; e < 4096; ++e) {
        const char* name = strerrorname_np(e);
        if (name != nullptr && text == name) return e;
    }
    return std::nullopt;
}

// ---- What calls give back -------------------------------------------------------------------

struct InfoField {
    const char* key;
    __u32 dvb_frontend_info::*member;
};
constexpr InfoField kInfoFields[] = {
    {"frequency_min", &dvb_frontend_info::frequency_min},
    {"frequency_max", &dvb_frontend_info::frequency_max},
    {"frequency_stepsize", &dvb_frontend_info::frequency_stepsize},
    {"frequency_tolerance", &dvb_frontend_info::frequency_tolerance},
    {"symbol_rate_min", &dvb_frontend_info::symbol_rate_min},
    {"symbol_rate_max", &dvb_frontend_info::symbol_rate_max},
    {"symbol_rate_tolerance", &dvb_frontend_info::symbol_rate_tolerance},
    {"notifier_delay", &dvb_frontend_info::notifier_delay},
};
constexpr size_t kInfoKeys = std::size(kInfoFields) + 3;  // and name, type, caps

std::string ReadInfo(const std::vector<std::string>& values, dvb_frontend_info& info) {
    std::set<std::string> seen;
    for (const std::string& value : values) {
        const size_t eq = value.find('=');
        const std::string key = value.substr(0, eq);
        const std::string_view text =
            eq == std::string::npos ? "" : std::string_view(value).substr(eq + 1);
        bool ok = false;
        if (key == "name") {
            const std::optional<std::string> name = Unescaped(text);
            ok = name && name->size() < sizeof info.name;
            if (ok) std::memcpy(info.name, name->c_str(), name->size() + 1);
        } else if (key == "type") {
            const auto type = Number<uint32_t>(text);
            if ((ok = type.has_value())) info.type = static_cast<fe_type>(*type);
        } else if (key == "caps") {
            const auto caps = HexNumber<uint32_t>(text);
            if ((ok = caps.has_value())) info.caps = static_cast<fe_caps>(*caps);
        } else {
            for (const InfoField& field : kInfoFields) {
                if (key != field.key) continue;
                const auto number = Number<uint32_t>(text);
                if ((ok = number.has_value())) info.*field.member = *number;
            }
        }
        if (!ok || !seen.insert(key).second) return "'" + value + "' is no value of info";
    }
    return seen.size() == kInfoKeys ? "" : "info needs name, type, caps and the limits";
}

bool ReadPropertyValue(std::string_view text, dtv_property& p) {
    const std::vector<std::string_view> items = Split(text, ',');
    if (p.cmd == DTV_ENUM_DELSYS) {
        if (items.size() > std::size(p.u.buffer.data)) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            const auto system = Number<uint8_t>(items[i]);
            if (!system) return false;
            p.u.buffer.data[i] = *system;
        }
        p.u.buffer.len = static_cast<__u32>(items.size());
        return true;
    }
    if (IsStatistic(p.cmd)) {
        if (items.size() > MAX_DTV_STATS) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            const size_t colon = items[i].find(':');
            const auto scale = Number<uint8_t>(items[i].substr(0, colon));
            if (!scale || colon == std::string_view::npos) return false;
            dtv_stats stat{};
            stat.scale = *scale;
            const std::string_view number = items[i].substr(colon + 1);
            if (*scale == FE_SCALE_DECIBEL) {
                const auto value = Number<int64_t>(number);
                if (!value) return false;
                stat.svalue = *value;
            } else {
                const auto value = Number<uint64_t>(number);
                if (!value) return false;
                stat.uvalue = *value;
            }
            p.u.st.stat[i] = stat;
        }
        p.u.st.len = static_cast<__u8>(items.size());
        return true;
    }
    const auto data = Number<uint32_t>(text);
    if (data) p.u.data = *data;
    return data.has_value();
}

std::string PropertyValueText(const dtv_property& p) {
    std::string text = CommandName(p.cmd) + "=";
    if (p.cmd == DTV_ENUM_DELSYS) {
        const uint32_t len = std::min<uint32_t>(p.u.buffer.len, sizeof p.u.buffer.data);
        for (uint32_t i = 0; i < len; ++i) {
            if (i > 0) text += ',';
            text += std::to_string(p.u.buffer.data[i]);
        }
    } else if (IsStatistic(p.cmd)) {
        const unsigned len = std::min<unsigned>(p.u.st.len, MAX_DTV_STATS);
        for (unsigned i = 0; i < len; ++i) {
            const dtv_stats stat = p.u.st.stat[i];  // packed: copied, never referred to
            if (i > 0) text += ',';
            text += std::to_string(stat.scale);
            text += ':';
            text += stat.scale == FE_SCALE_DECIBEL ? std::to_string(stat.svalue)
                                                   : std::to_string(stat.uvalue);
        }
    } else {
        text += std::to_string(p.u.data);
    }
    return text;
}

// ---- Reading one line -----------------------------------------------------------------------

// Checks a call's arguments and reads what it gave back into call; returns what is wrong.
std::string ReadCall(RecordedCall& call, const std::vector<std::string>& args,
                     const std::vector<std::string>& values) {
    const std::string& name = args[0];
    const bool ok = call.result == 0;
    auto single = [&](auto parse) -> std::string {
        if (args.size() != 1) return "'" + name + "' takes no arguments";
        if (!ok) return "";
        const auto value = values.size() == 1 ? parse(values[0]) : std::nullopt;
        if (!value) return "'" + name + "' needs one value";
        call.value = *value;
        return "";
    };
    auto nothingBack = [&](size_t minArgs, size_t maxArgs) -> std::string {
        if (args.size() < minArgs || args.size() > maxArgs)
            return "wrong number of arguments for '" + name + "'";
        return values.empty() ? "" : "'" + name + "' gives nothing back";
    };
    if (name == "open") {
        if (args.size() != 3 || (args[2] != "rw" && args[2] != "ro") || !Unescaped(args[1]))
            return "'open' takes a path and rw or ro";
        return nothingBack(3, 3);
    }
    if (name == "close") return nothingBack(1, 1);
    if (name == "voltage" || name == "tone" || name == "burst" || name == "tune-mode")
        return nothingBack(2, 2);
    if (name == "diseqc") {
        for (size_t i = 1; i < args.size(); ++i)
            if (!Number<uint8_t>(args[i], 16)) return "'" + args[i] + "' is no DiSEqC byte";
        return nothingBack(2, 1 + sizeof dvb_diseqc_master_cmd{}.msg);
    }
    if (name == "set") {
        for (size_t i = 1; i < args.size(); ++i) {
            const size_t eq = args[i].find('=');
            if (eq == std::string::npos || !CommandOf(args[i].substr(0, eq)) ||
                !Number<uint32_t>(std::string_view(args[i]).substr(eq + 1)))
                return "'" + args[i] + "' is no property and value";
        }
        return nothingBack(2, 1 + DTV_IOCTL_MAX_MSGS);
    }
    if (name == "get") {
        if (args.size() < 2) return "'get' needs properties";
        for (size_t i = 1; i < args.size(); ++i) {
            dtv_property p{};
            const std::optional<uint32_t> cmd = CommandOf(args[i]);
            if (!cmd) return "'" + args[i] + "' is no property";
            p.cmd = *cmd;
            call.props.push_back(p);
        }
        if (!ok) return values.empty() ? "" : "a failed call gives nothing back";
        if (values.size() != call.props.size()) return "'get' needs one value per property";
        for (size_t i = 0; i < values.size(); ++i) {
            const std::string prefix = args[i + 1] + "=";
            if (values[i].rfind(prefix, 0) != 0 ||
                !ReadPropertyValue(std::string_view(values[i]).substr(prefix.size()),
                                   call.props[i]))
                return "'" + values[i] + "' is no value of " + args[i + 1];
        }
        return "";
    }
    if (name == "info") {
        if (args.size() != 1) return "'info' takes no arguments";
        return ok ? ReadInfo(values, call.info) : "";
    }
    if (name == "status")
        return single([](const std::string& v) { return HexNumber<uint32_t>(v); });
    if (name == "snr" || name == "strength")
        return single([](const std::string& v) -> std::optional<uint32_t> {
            const auto n = Number<uint16_t>(v);
            return n ? std::optional<uint32_t>(*n) : std::nullopt;
        });
    if (name == "ber") return single([](const std::string& v) { return Number<uint32_t>(v); });
    return "unknown call '" + name + "'";
}

}  // namespace

std::string OpenCallText(const std::string& path, bool readWrite) {
    return "open " + Escaped(path) + (readWrite ? " rw" : " ro");
}

std::string SetCallText(std::span<const dtv_property> props) {
    std::string text = "set";
    for (const dtv_property& p : props) {
        text += ' ';
        text += CommandName(p.cmd);
        text += '=';
        text += std::to_string(p.u.data);
    }
    return text;
}

std::string GetCallText(std::span<const dtv_property> props) {
    std::string text = "get";
    for (const dtv_property& p : props) {
        text += ' ';
        text += CommandName(p.cmd);
    }
    return text;
}

std::string VoltageCallText(fe_sec_voltage voltage) {
    return "voltage " + EnumText(voltage, {"13", "18", "off"});
}

std::string ToneCallText(fe_sec_tone_mode tone) {
    return "tone " + EnumText(tone, {"on", "off"});
}

std::string MasterCmdCallText(const dvb_diseqc_master_cmd& cmd) {
    std::string text = "diseqc";
    const size_t len = std::min<size_t>(cmd.msg_len, sizeof cmd.msg);
    for (size_t i = 0; i < len; ++i) {
        text += ' ';
        text += Hex(cmd.msg[i], 2);
    }
    return text;
}

std::string BurstCallText(fe_sec_mini_cmd burst) {
    return "burst " + EnumText(burst, {"A", "B"});
}

std::string TuneModeCallText(uint32_t flags) {
    return flags & FE_TUNE_MODE_ONESHOT ? "tune-mode oneshot" : "tune-mode normal";
}

std::string InfoValuesText(const dvb_frontend_info& info) {
    std::string text = "name=" + Escaped({info.name, strnlen(info.name, sizeof info.name)}) +
                       " type=" + std::to_string(info.type);
    for (const InfoField& field : kInfoFields)
        text += std::string(" ") + field.key + "=" + std::to_string(info.*field.member);
    return text + " caps=0x" + Hex(info.caps, 8);
}

std::string GetValuesText(std::span<const dtv_property> props) {
    std::string text;
    for (const dtv_property& p : props) {
        if (!text.empty()) text += ' ';
        text += PropertyValueText(p);
    }
    return text;
}

std::string ResultText(int result) {
    const char* name = result > 0 ? strerrorname_np(result) : nullptr;
    return name != nullptr ? name : std::to_string(result);
}

std::string RecordingLine(int64_t ms, const std::string& call, int result,
                          const std::string& values) {
    std::string line = std::to_string(ms) + " " + call + " -> " + ResultText(result);
    if (result == 0 && !values.empty()) line += " " + values;
    return line;
}

RecordingRead ParseRecording(const std::string& text) {
    RecordingRead read;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        read.calls.clear();
        read.error = "line " + std::to_string(number) + ": " + what;
        return read;
    };
    auto next = [&] {
        if (!std::getline(in, line)) return false;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    };
    const std::string magic = std::string(kRecordingMagic) + " ";
    if (!next()) number = 1;  // an empty file: its first line is missing
    if (line.rfind(magic, 0) != 0)
        return fail("not a frontend recording (the first line must be \"" + magic +
                    std::to_string(kRecordingVersion) + "\")");
    if (Number<int>(line.substr(magic.size())) != kRecordingVersion)
        return fail("recording format \"" + line.substr(magic.size()) +
                    "\"; this program reads version " + std::to_string(kRecordingVersion));
    while (next()) {
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty() || tokens[0][0] == '#') continue;
        RecordedCall call;
        call.line = number;
        const std::optional<int64_t> ms = Number<int64_t>(tokens[0]);
        if (!ms || *ms < 0) return fail("'" + tokens[0] + "' is no time in ms");
        if (!read.calls.empty() && *ms < read.calls.back().ms) return fail("the time goes back");
        call.ms = *ms;
        const auto arrow = std::find(tokens.begin(), tokens.end(), "->");
        if (arrow == tokens.end() || arrow == tokens.begin() + 1 || arrow + 1 == tokens.end())
            return fail("a line is \"MS CALL [ARGUMENTS] -> RESULT [VALUES]\"");
        const std::vector<std::string> args(tokens.begin() + 1, arrow);
        const std::vector<std::string> values(arrow + 2, tokens.end());
        const std::optional<int> result = ResultOf(*(arrow + 1));
        if (!result)
            return fail("'" + *(arrow + 1) + "' is no result (0, an errno name or number)");
        call.result = *result;
        if (call.result != 0 && !values.empty()) return fail("a failed call gives nothing back");
        if (std::string wrong = ReadCall(call, args, values); !wrong.empty()) return fail(wrong);
        for (const std::string& arg : args) call.call += (call.call.empty() ? "" : " ") + arg;
        read.calls.push_back(std::move(call));
    }
    return read;
}

RecordingRead LoadRecording(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    RecordingRead read;
    if (!in) {
        read.error = path + ": " + std::strerror(errno);
        return read;
    }
    std::ostringstream text;
    text << in.rdbuf();
    read = ParseRecording(text.str());
    if (!read.error.empty()) read.error = path + ": " + read.error;
    return read;
}

std::optional<std::string> OpenedPath(const RecordedCall& call) {
    const std::vector<std::string> tokens = Tokens(call.call);
    if (tokens.size() != 3 || tokens[0] != "open") return std::nullopt;
    return Unescaped(tokens[1]);
}

}  // namespace quillox::dvb
