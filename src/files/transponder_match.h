#pragma once
// Which transponders of two lists are one and the same: the pairing behind both the comparison
// with an earlier transponder file and the check of a scan against the carriers that are there.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillox {

// A transponder or carrier as the pairing sees it.
struct TransponderPoint {
    int32_t polarity = 0;
    double mhz = 0;
    double ksps = 0;
};

// Half the occupied band (1.35 x the symbol rate) of a carrier, in MHz.
double HalfOccupiedBandMhz(double ksps);

enum class Pairing {
    // Two lists of equal standing, e.g. an earlier and a current scan: a pair lies within half
    // the occupied band of the narrower of the two, but at least 2 MHz apart (the lists hold
    // whole MHz); the closest pairs are matched first, each point of either list at most once.
    OneToOne,
    // Lines against the carriers that are really there: a line matches the nearest carrier
    // whose own occupied band holds the line's frequency; a carrier may take several lines.
    NearestCarrier,
};

// For each point of `a`, the index of its partner in `b`, or nullopt. Partners always share the
// polarity; of equally close candidates the one earlier in `a`, then in `b`, is taken.
std::vector<std::optional<size_t>> PairTransponders(const std::vector<TransponderPoint>& a,
                                                    const std::vector<TransponderPoint>& b,
                                                    Pairing pairing);

}  // namespace quillox
