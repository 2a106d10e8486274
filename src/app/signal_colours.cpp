#include "app/signal_colours.h"

#include <cmath>
#include <cstdint>

namespace quillox {
namespace {

struct Anchor {
    int quality;
    uint32_t rgb;
};

// Colours between two anchors run evenly from one to the other.
constexpr Anchor kAnchors[] = {
    {0, 0x000000},  {1, 0xFD0000},  {10, 0xFD2D00}, {20, 0xFD6000},  {30, 0xFD9300},
    {40, 0xFDC600}, {50, 0xFDF900}, {51, 0xFCFC00}, {60, 0xCFFD00},  {70, 0x9CFD00},
    {80, 0x69FD00}, {89, 0x3BFD00}, {90, 0x38FD00}, {100, 0x38FD00},
};

uint32_t Between(uint32_t from, uint32_t to, double share) {
    uint32_t rgb = 0;
    for (int shift : {16, 8, 0}) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        rgb |= static_cast<uint32_t>(std::lround(a + (b - a) * share)) << shift;
    }
    return rgb;
}

}  // namespace

void PaintSignalColours(Picture& strip) {
    strip.setPixel(0, 0, kAnchors[0].rgb);
    for (size_t k = 1; k < std::size(kAnchors); ++k) {
        const Anchor& from = kAnchors[k - 1];
        const Anchor& to = kAnchors[k];
        for (int q = from.quality + 1; q <= to.quality; ++q)
            strip.setPixel(
                q, 0,
                Between(from.rgb, to.rgb, double(q - from.quality) / (to.quality - from.quality)));
    }
}

}  // namespace quillox
