#include "files/transponder_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files/profile_file.h"
#include "files/transponder_match.h"

namespace quillox {
namespace {

constexpr double kRateChangeFraction = 0.01;

bool Moved(const TransponderLine& before, const TransponderLine& now) {
    const double rateChange = std::abs(now.ksps - before.ksps);
    return now.mhz != before.mhz || rateChange >= kRateChangeFraction * before.ksps;
}

// The line as the lists show it, without its number.
std::string Text(const TransponderLine& line) {
    return std::to_string(line.mhz) + "," + PolarityLetter(line.polarity) + "," +
           std::to_string(line.ksps) + "," + line.fecText;
}

}  // namespace

std::optional<std::vector<TransponderLine>> ParseTransponderIniLines(const std::string& text) {
    const ProfileFile file = ProfileFile::Parse(text);
    if (!file.HasSection("DVB")) return std::nullopt;
    std::vector<TransponderLine> lines;
    for (const std::string& entry : file.EntryLines("DVB")) {
        const std::optional<TransponderLine> parsed = ParseTransponderLine(entry);
        if (parsed && parsed->number > 0) lines.push_back(*parsed);
    }
    return lines;
}

std::optional<std::vector<TransponderLine>> ReadTransponderIniLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return ParseTransponderIniLines(text.str());
}

std::vector<TransponderLine> ParseTransponderLines(const std::vector<std::string>& lines) {
    std::vector<TransponderLine> parsed;
    for (const std::string& line : lines)
        if (std::optional<TransponderLine> one = ParseTransponderLine(line)) parsed.push_back(*one);
    return parsed;
}

std::vector<ScannedRange> SpanOf(const std::vector<TransponderLine>& lines) {
    std::vector<ScannedRange> spans;
    for (const TransponderLine& line : lines) {
        auto span = std::find_if(spans.begin(), spans.end(), [&](const ScannedRange& r) {
            return r.polarity == line.polarity;
        });
        if (span == spans.end()) {
            spans.push_back({line.polarity, line.mhz, line.mhz});
        } else {
            span->startMhz = std::min(span->startMhz, line.mhz);
            span->endMhz = std::max(span->endMhz, line.mhz);
        }
    }
    return spans;
}

TransponderChanges CompareTransponders(const std::vector<TransponderLine>& before,
                                       const std::vector<TransponderLine>& now,
                                       const std::vector<ScannedRange>& scanned) {
    const auto looked = [&scanned](const TransponderLine& line) {
        return scanned.empty() ||
               std::any_of(scanned.begin(), scanned.end(), [&](const ScannedRange& r) {
                   return r.polarity == line.polarity && line.mhz >= r.startMhz &&
                          line.mhz <= r.endMhz;
               });
    };
    const auto points = [](const std::vector<TransponderLine>& lines) {
        std::vector<TransponderPoint> out;
        for (const TransponderLine& line : lines)
            out.push_back(
                {line.polarity, static_cast<double>(line.mhz), static_cast<double>(line.ksps)});
        return out;
    };
    const std::vector<std::optional<size_t>> partnerOfBefore =
        PairTransponders(points(before), points(now), Pairing::OneToOne);
    std::vector<bool> nowMatched(now.size(), false);
    for (const std::optional<size_t>& partner : partnerOfBefore)
        if (partner) nowMatched[*partner] = true;
    TransponderChanges changes;
    for (size_t b = 0; b < before.size(); ++b) {
        if (!partnerOfBefore[b]) {
            (looked(before[b]) ? changes.gone : changes.notScanned).push_back(before[b]);
        } else {
            const TransponderLine& partner = now[*partnerOfBefore[b]];
            changes.matched.push_back({before[b], partner});
            if (Moved(before[b], partner)) changes.moved.push_back({before[b], partner});
        }
    }
    for (size_t n = 0; n < now.size(); ++n)
        if (!nowMatched[n]) changes.added.push_back(now[n]);
    return changes;
}

std::string FormatTransponderChanges(const TransponderChanges& changes) {
    std::string out = changes.empty() ? "No change\n" : "";
    const auto heading = [&out](const char* title, size_t count) {
        if (count > 0) out += std::string(title) + " (" + std::to_string(count) + ")\n";
    };
    heading("New", changes.added.size());
    for (const TransponderLine& line : changes.added) out += "  " + Text(line) + "\n";
    heading("Gone", changes.gone.size());
    for (const TransponderLine& line : changes.gone) out += "  " + Text(line) + "\n";
    heading("Moved", changes.moved.size());
    for (const TransponderMove& move : changes.moved)
        out += "  " + Text(move.before) + " -> " + Text(move.now) + "\n";
    heading("Not scanned", changes.notScanned.size());
    for (const TransponderLine& line : changes.notScanned) out += "  " + Text(line) + "\n";
    return out;
}

std::string FormatLnbShiftSince(const TransponderChanges& changes, const LnbOscillators& lnb) {
    std::vector<MatchedFrequency> matches;
    for (const TransponderMove& pair : changes.matched)
        matches.push_back(
            {static_cast<double>(pair.now.mhz), static_cast<double>(pair.before.mhz)});
    std::string out;
    for (const OscillatorOffset& offset : EstimateLnbOffsets(matches, lnb)) {
        if (offset.transponders < kMinTranspondersForOffset ||
            std::abs(offset.offsetMhz) < kNegligibleOffsetMhz)
            continue;
        out += DescribeLnbOffsets({offset}).front() + "\n";
    }
    return out.empty() ? out : "Against the earlier file:\n" + out;
}

}  // namespace quillox
