#include "device/sim/scenario_formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "device/tuning_codes.h"

namespace quillox::sim::detail {
namespace {

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view s, char sep) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        size_t end = s.find(sep, start);
        fields.push_back(Trim(s.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return fields;
}

std::optional<double> ParseNumber(std::string_view s) {
    double value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> ParseInteger(std::string_view s) {
    long value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

std::string ReadingRange(double low, double high) {
    const auto text = [](double v) {
        std::string t = std::to_string(v);
        t.erase(t.find_last_not_of('0') + 1);
        if (t.back() == '.') t.pop_back();
        return t;
    };
    return text(low) + ".." + text(high);
}

std::string At(int line, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + reason;
}

// Plausible physical limits; anything outside is a typing error, not a carrier.
constexpr double kMinFreqMhz = 1, kMaxFreqMhz = 60000;
constexpr double kMinRateKsps = 100, kMaxRateKsps = 100000;

std::string CheckFrequency(double mhz) {
    if (mhz < kMinFreqMhz || mhz > kMaxFreqMhz) return "frequency must lie in 1..60000 MHz";
    return {};
}

std::string CheckRate(double ksps) {
    if (ksps < kMinRateKsps || ksps > kMaxRateKsps)
        return "symbol rate must lie in 100..100000 kS/s";
    return {};
}

std::optional<int32_t> PolarityFromLetter(std::string_view s) {
    std::string u = Upper(s);
    if (u == "H" || u == "L") return polarity::kHorizontal;  // circular L travels as H
    if (u == "V" || u == "R") return polarity::kVertical;
    return std::nullopt;
}

// Code rates the tables use, with the tuner's code for those a DVB-S demodulator knows.
std::optional<int32_t> TunerFecCode(const std::string& rate) {
    static const std::map<std::string, int32_t> codes{{"1/2", fec::k1_2}, {"2/3", fec::k2_3},
                                                      {"3/4", fec::k3_4}, {"5/6", fec::k5_6},
                                                      {"7/8", fec::k7_8}, {"AUTO", fec::kAuto}};
    auto it = codes.find(rate);
    if (it == codes.end()) return std::nullopt;
    return it->second;
}

// The code rate checked against what the system and modulation define. A rate the standard
// does not give them (public tables do list DVB-S2 8PSK 1/2) is modelled by the nearest one
// that it does, with a warning; a text that is no code rate at all is an error.
std::string CheckCarrierCodes(Carrier& c, std::string& warning) {
    c.fecText = c.fecText.empty() ? "AUTO" : Upper(c.fecText);
    c.modulation = Upper(c.modulation);
    const std::string system = c.system == DvbSystem::DvbS ? "DVB-S" : "DVB-S2";
    if (c.system == DvbSystem::DvbS) {
        if (!c.modulation.empty() && c.modulation != "QPSK")
            warning = "DVB-S carriers are QPSK, not " + c.modulation + "; taken as QPSK";
        c.modulation = "QPSK";
    }
    if (c.modulation.empty()) c.modulation = "QPSK";
    c.thresholdRate = c.fecText;
    if (std::isnan(RequiredCnDb(c.system, c.modulation, c.fecText))) {
        if (std::isnan(RequiredCnDb(c.system, c.modulation, "AUTO")))
            return system + " has no modulation " + c.modulation;
        c.thresholdRate = NearestDefinedRate(c.system, c.modulation, c.fecText);
        if (c.thresholdRate.empty()) return "code rate '" + c.fecText + "' is no fraction";
        if (!warning.empty()) warning += "; ";
        warning += system + (c.system == DvbSystem::DvbS2 ? " " + c.modulation : "") +
                   " has no code rate " + c.fecText + "; modelled as " + c.thresholdRate;
    }
    const auto code = TunerFecCode(c.fecText);
    c.fecCode = code ? *code : fec::kNoCode;
    return {};
}

// ---- CSV -------------------------------------------------------------------------------------

struct CsvColumns {
    int freq = -1, pol = -1, rate = -1, fec = -1, system = -1, modulation = -1, note = -1, cn = -1;
    int count = 0;
};

std::string ReadCsvHeader(std::string_view header, CsvColumns& cols) {
    auto names = SplitFields(header, ',');
    cols.count = static_cast<int>(names.size());
    for (int i = 0; i < cols.count; ++i) {
        std::string n = Lower(names[i]);
        if (n == "freq_mhz")
            cols.freq = i;
        else if (n == "pol")
            cols.pol = i;
        else if (n == "sr_ksps")
            cols.rate = i;
        else if (n == "fec")
            cols.fec = i;
        else if (n == "system")
            cols.system = i;
        else if (n == "modulation")
            cols.modulation = i;
        else if (n == "note")
            cols.note = i;
        else if (n == "cn_db")
            cols.cn = i;
        // other columns are carried along and ignored
    }
    for (auto [index, name] : {std::pair{cols.freq, "freq_mhz"},
                               {cols.pol, "pol"},
                               {cols.rate, "sr_ksps"},
                               {cols.fec, "fec"},
                               {cols.system, "system"}}) {
        if (index < 0) return std::string("header lacks the column '") + name + "'";
    }
    return {};
}

std::string ReadCsvRow(std::string_view row, const CsvColumns& cols, Carrier& c,
                       std::string& warning) {
    auto fields = SplitFields(row, ',');
    int count = static_cast<int>(fields.size());
    // A note in the last column may itself hold commas.
    if (cols.note == cols.count - 1 && count > cols.count) {
        size_t noteStart = 0;
        for (int i = 0; i < cols.note; ++i) noteStart = row.find(',', noteStart) + 1;
        fields.resize(cols.count);
        fields[cols.note] = Trim(row.substr(noteStart));
        count = cols.count;
    }
    if (count != cols.count)
        return "expected " + std::to_string(cols.count) + " fields, found " + std::to_string(count);

    auto freq = ParseNumber(fields[cols.freq]);
    if (!freq) return "frequency '" + std::string(fields[cols.freq]) + "' is not a number";
    if (auto e = CheckFrequency(*freq); !e.empty()) return e;
    auto pol = PolarityFromLetter(fields[cols.pol]);
    if (!pol) return "polarisation '" + std::string(fields[cols.pol]) + "' is not H, V, L or R";
    auto rate = ParseNumber(fields[cols.rate]);
    if (!rate) return "symbol rate '" + std::string(fields[cols.rate]) + "' is not a number";
    if (auto e = CheckRate(*rate); !e.empty()) return e;
    std::string system = Upper(fields[cols.system]);
    if (system != "DVB-S" && system != "DVB-S2")
        return "system '" + std::string(fields[cols.system]) + "' is not DVB-S or DVB-S2";

    c.freqMhz = *freq;
    c.polarity = *pol;
    c.symbolRateKsps = *rate;
    c.system = system == "DVB-S" ? DvbSystem::DvbS : DvbSystem::DvbS2;
    c.fecText = std::string(fields[cols.fec]);
    if (cols.modulation >= 0) c.modulation = std::string(fields[cols.modulation]);
    if (cols.note >= 0) c.note = std::string(fields[cols.note]);
    if (auto e = CheckCarrierCodes(c, warning); !e.empty()) return e;
    if (cols.cn >= 0 && !fields[cols.cn].empty()) {
        auto cn = ParseNumber(fields[cols.cn]);
        if (!cn || *cn < -10 || *cn > 40)
            return "cn_db '" + std::string(fields[cols.cn]) + "' is not a number in -10..40";
        c.cnDb = *cn;
    } else {
        c.cnDb = std::nan("");  // derived later
    }
    return {};
}

// ---- ini ---------------------------------------------------------------------------------------

std::optional<std::string> FecTextFromIni(std::string_view code) {
    static const std::map<std::string, std::string, std::less<>> texts{
        {"12", "1/2"}, {"23", "2/3"}, {"34", "3/4"}, {"56", "5/6"},
        {"78", "7/8"}, {"0", "AUTO"}, {"", "AUTO"}};
    auto it = texts.find(code);
    if (it == texts.end()) return std::nullopt;
    return it->second;
}

std::string ReadIniTransponder(std::string_view value, Carrier& c) {
    auto fields = SplitFields(value, ',');
    if (fields.size() != 4)
        return "a transponder reads frequency,polarisation,symbol rate,FEC (as 10719,V,27500,34)";
    auto freq = ParseInteger(fields[0]);
    if (!freq) return "frequency '" + std::string(fields[0]) + "' is not a whole number of MHz";
    if (auto e = CheckFrequency(static_cast<double>(*freq)); !e.empty()) return e;
    if (fields[1] == "?") return "polarisation '?' (the scan could not read it); write H or V";
    auto pol = PolarityFromLetter(fields[1]);
    if (!pol) return "polarisation '" + std::string(fields[1]) + "' is not H or V";
    auto rate = ParseInteger(fields[2]);
    if (!rate) return "symbol rate '" + std::string(fields[2]) + "' is not a whole number";
    if (auto e = CheckRate(static_cast<double>(*rate)); !e.empty()) return e;
    auto fecText = FecTextFromIni(fields[3]);
    if (!fecText) return "FEC '" + std::string(fields[3]) + "' is not 12, 23, 34, 56, 78 or 0";

    c.freqMhz = static_cast<double>(*freq);
    c.polarity = *pol;
    c.symbolRateKsps = static_cast<double>(*rate);
    c.system = DvbSystem::DvbS;
    c.fecText = *fecText;
    c.cnDb = std::nan("");
    std::string warning;  // the program writes only DVB-S rates: never one
    return CheckCarrierCodes(c, warning);
}

// The impairment directives. Returns false when the key is none of them; otherwise error is
// empty, or says what the value must be.
bool ApplySkyDirective(const std::string& key, std::string_view value, SkyImpairments& sky,
                       std::string& error) {
    const std::string word = Lower(value);
    // A number within limits, for the directives that take one.
    const auto number = [&](double low, double high, double& into) {
        auto v = ParseNumber(value);
        if (!v || *v < low || *v > high) {
            error = key + " must be a number in " + ReadingRange(low, high);
            return;
        }
        into = *v;
    };
    if (key == "sky") {
        auto preset = SkyPreset(word);
        if (preset)
            sky = *preset;
        else
            error = "sky must be 'ideal' or 'realistic'";
    } else if (key == "lnb-offset") {
        auto words = SplitFields(value, ' ');
        words.erase(std::remove(words.begin(), words.end(), std::string_view{}), words.end());
        std::optional<double> low, high;
        if (words.size() == 2 && Lower(words[0]) == "seeded") {
            auto max = ParseNumber(words[1]);
            if (max && *max > 0 && *max <= 10) {
                sky.lnbOffsetSeededMaxMhz = *max;
                sky.lnbOffsetLowMhz = sky.lnbOffsetHighMhz = 0;
                return true;
            }
        } else if (words.size() == 1 || words.size() == 2) {
            low = ParseNumber(words[0]);
            high = words.size() == 2 ? ParseNumber(words[1]) : low;
        }
        if (!low || !high || std::abs(*low) > 10 || std::abs(*high) > 10) {
            error = "lnb-offset must be '<low MHz> [<high MHz>]' within -10..10, or 'seeded <MHz>'";
        } else {
            sky.lnbOffsetLowMhz = *low, sky.lnbOffsetHighMhz = *high;
            sky.lnbOffsetSeededMaxMhz = 0;
        }
    } else if (key == "lnb-drift") {
        number(0, 10, sky.lnbDriftMhzPerHour);
    } else if (key == "rate-search") {
        if (word == "ideal" || word == "list")
            sky.rateSearch = word == "list" ? SkyImpairments::RateSearch::List
                                            : SkyImpairments::RateSearch::Ideal;
        else
            error = "rate-search must be 'ideal' or 'list'";
    } else if (key == "read-back") {
        static const std::map<std::string, std::optional<DemodFamily>> families{
            {"ideal", std::nullopt},
            {"stv0299", DemodFamily::Stv0299},
            {"mt312", DemodFamily::Zarlink},
            {"cx24123", DemodFamily::Cx24123},
            {"s5h1420", DemodFamily::S5h1420}};
        auto it = families.find(word);
        if (it != families.end())
            sky.readBack = it->second;
        else
            error = "read-back must be 'ideal', 'stv0299', 'mt312', 'cx24123' or 's5h1420'";
    } else if (key == "noise-db") {
        number(0, 10, sky.noiseDb);
    } else if (key == "scintillation-db") {
        number(0, 10, sky.scintillationDb);
    } else if (key == "link-spread-db") {
        number(0, 10, sky.linkSpreadDb);
    } else if (key == "xpd-db") {
        double xpd = 0;
        if (word == "none") {
            sky.xpdDb.reset();
        } else {
            number(0, 60, xpd);
            if (error.empty())
                sky.xpdDb = xpd;
            else
                error = "xpd-db must be 'none' or a number in 0..60";
        }
    } else if (key == "if-tilt-db") {
        number(-20, 20, sky.ifTiltDb);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::vector<TextLine> SplitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte order mark
    std::vector<TextLine> lines;
    int number = 1;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string_view raw =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        lines.push_back({number++, Trim(raw)});
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string ApplyDirective(std::string_view body, Scenario& out) {
    size_t colon = body.find(':');
    if (colon == std::string_view::npos) return "a directive reads 'name: value'";
    std::string key = Lower(Trim(body.substr(0, colon)));
    std::string_view value = Trim(body.substr(colon + 1));
    if (key == "name") {
        out.name = std::string(value);
        return {};
    }
    if (key == "diseqc-port") {
        auto port = ParseInteger(value);
        if (!port || *port < 1 || *port > 4) return "diseqc-port must be 1, 2, 3 or 4";
        out.diseqcPort = static_cast<int32_t>(*port);
        return {};
    }
    if (key == "lnb") {
        auto words = SplitFields(value, ' ');
        words.erase(std::remove(words.begin(), words.end(), std::string_view{}), words.end());
        std::string kind = words.empty() ? "" : Lower(words[0]);
        if (kind == "universal" && words.size() == 1) {
            out.lnb = LnbModel::Universal();
        } else if ((kind == "c-band" || kind == "c") && words.size() == 1) {
            out.lnb = LnbModel::CBand();
        } else if (kind == "custom" && (words.size() == 2 || words.size() == 3)) {
            auto lo = ParseNumber(words[1]);
            auto hi = words.size() == 3 ? ParseNumber(words[2]) : lo;
            if (!lo || !hi || *lo <= 0 || *hi <= 0)
                return "lnb custom needs one or two oscillator frequencies in MHz";
            out.lnb = LnbModel::Custom(*lo, *hi);
        } else {
            return "lnb must be 'universal', 'c-band' or 'custom <LO MHz> [<high-band LO MHz>]'";
        }
        return {};
    }
    if (std::string e; ApplySkyDirective(key, value, out.sky, e)) return e;
    return "unknown directive '" + key +
           "' (known: name, lnb, diseqc-port, sky, lnb-offset, lnb-drift, rate-search, read-back, "
           "noise-db, scintillation-db, link-spread-db, xpd-db, if-tilt-db)";
}

std::string ParseCsvScenario(const std::vector<TextLine>& lines, Scenario& out,
                             std::vector<std::string>& warnings) {
    CsvColumns cols;
    bool haveHeader = false;
    for (const TextLine& line : lines) {
        if (line.text.empty()) continue;
        if (line.text.substr(0, 2) == "#!") {
            if (auto e = ApplyDirective(line.text.substr(2), out); !e.empty())
                return At(line.number, e);
            continue;
        }
        if (line.text.front() == '#') continue;
        if (!haveHeader) {
            if (auto e = ReadCsvHeader(line.text, cols); !e.empty()) return At(line.number, e);
            haveHeader = true;
            continue;
        }
        Carrier c;
        std::string warning;
        if (auto e = ReadCsvRow(line.text, cols, c, warning); !e.empty()) return At(line.number, e);
        if (!warning.empty()) warnings.push_back(At(line.number, warning));
        out.carriers.push_back(std::move(c));
    }
    if (!haveHeader) return "no header line (freq_mhz,pol,sr_ksps,fec,system,...)";
    return {};
}

std::string ParseIniScenario(const std::vector<TextLine>& lines, Scenario& out) {
    enum class Section { None, SatType, Dvb } section = Section::None;
    bool sawDvb = false;
    std::set<std::pair<long long, int32_t>> seen;  // a frequency scanned twice is one carrier
    for (const TextLine& line : lines) {
        if (line.text.empty()) continue;
        if (line.text.substr(0, 2) == ";!") {
            if (auto e = ApplyDirective(line.text.substr(2), out); !e.empty())
                return At(line.number, e);
            continue;
        }
        if (line.text.front() == ';') continue;
        if (line.text.front() == '[') {
            std::string name = Upper(line.text);
            if (name == "[SATTYPE]")
                section = Section::SatType;
            else if (name == "[DVB]")
                section = Section::Dvb, sawDvb = true;
            else
                return At(line.number, "unknown section " + std::string(line.text));
            continue;
        }
        size_t eq = line.text.find('=');
        if (eq == std::string_view::npos) return At(line.number, "expected key=value");
        std::string_view key = Trim(line.text.substr(0, eq));
        std::string_view value = Trim(line.text.substr(eq + 1));
        auto number = ParseInteger(key);
        if (!number || *number < 0)
            return At(line.number, "key '" + std::string(key) + "' is not a number");
        if (section == Section::None) return At(line.number, "entry outside [SATTYPE] or [DVB]");
        if (section == Section::SatType) {
            if (*number == 2 && out.name.empty()) out.name = std::string(value);
            continue;
        }
        if (*number == 0) {  // transponder count; the lines themselves are what counts
            if (!ParseInteger(value))
                return At(line.number, "count '" + std::string(value) + "' is not a number");
            continue;
        }
        Carrier c;
        if (auto e = ReadIniTransponder(value, c); !e.empty()) return At(line.number, e);
        if (seen.insert({std::llround(c.freqMhz), c.polarity}).second) out.carriers.push_back(c);
    }
    if (!sawDvb) return "no [DVB] section";
    return {};
}

}  // namespace quillox::sim::detail
