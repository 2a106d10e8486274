#pragma once
// What changed on a satellite since an earlier transponder file: transponders that are new,
// gone, or moved in frequency or symbol rate.
//
// An earlier and a current transponder are the same one when they share the polarity and their
// frequencies lie within half the occupied band (1.35 x symbol rate) of the narrower of the two,
// but at least 2 MHz apart; the closest pairs are matched first, each transponder at most once
// (Pairing::OneToOne of files/transponder_match.h).
// A matched pair has moved when its frequency differs (by 1 MHz or more: the lists hold whole
// MHz) or its symbol rate by 1 % or more; smaller rate differences are measuring noise.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/lnb_offset.h"
#include "files/transponder_line.h"

namespace quillox {

// The transponder lines of the [DVB] section of a transponder file, as FormatTransponderIni
// writes them (the count line "0=" is left out). Lines that are no transponder line are
// skipped. nullopt when the text has no [DVB] section.
std::optional<std::vector<TransponderLine>> ParseTransponderIniLines(const std::string& text);
// The same read from a file; nullopt also when it cannot be read.
std::optional<std::vector<TransponderLine>> ReadTransponderIniLines(const std::string& path);

// The lines of a list that are transponder lines, in order.
std::vector<TransponderLine> ParseTransponderLines(const std::vector<std::string>& lines);

struct TransponderMove {
    TransponderLine before;
    TransponderLine now;
};

// A stretch of frequencies (MHz, both ends included) of one polarity that a scan looked at.
struct ScannedRange {
    int32_t polarity = 0;
    int32_t startMhz = 0;
    int32_t endMhz = 0;
    bool operator==(const ScannedRange&) const = default;
};

// What a list covers when nothing else tells: per polarity, its lowest to its highest frequency.
std::vector<ScannedRange> SpanOf(const std::vector<TransponderLine>& lines);

struct TransponderChanges {
    std::vector<TransponderLine> added;       // in the current list only
    std::vector<TransponderLine> gone;        // in the earlier file only, where the scan looked
    std::vector<TransponderLine> notScanned;  // in the earlier file only, where it did not
    std::vector<TransponderMove> moved;
    std::vector<TransponderMove> matched;  // every pair, moved or not
    bool empty() const { return added.empty() && gone.empty() && moved.empty(); }
};

// Each list keeps its order in the result. An earlier transponder without a partner is gone
// only when `scanned` covers its polarity and frequency, else it was not scanned; an empty
// `scanned` covers everything.
TransponderChanges CompareTransponders(const std::vector<TransponderLine>& before,
                                       const std::vector<TransponderLine>& now,
                                       const std::vector<ScannedRange>& scanned = {});

// A report, a heading per kind with its count and a line per transponder, e.g.
// "Moved (1)\n  10719,V,27500,34 -> 10722,V,27500,34\n"; "No change\n" when nothing changed.
std::string FormatTransponderChanges(const TransponderChanges& changes);

// When the matched transponders of a band moved together, the LNB's oscillator rather than the
// satellite has changed: says so per band (see DescribeLnbOffsets), or "" when no band's shift
// reaches half a MHz on enough transponders.
std::string FormatLnbShiftSince(const TransponderChanges& changes, const LnbOscillators& lnb);

}  // namespace quillox
