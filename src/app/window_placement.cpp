#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quillox {
namespace {

int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
    const int64_t w = std::min<int64_t>(int64_t{a.x} + a.w, int64_t{b.x} + b.w) - std::max(a.x, b.x);
    const int64_t h = std::min<int64_t>(int64_t{a.y} + a.h, int64_t{b.y} + b.h) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance between the rectangles' centres, for a window on no screen at all.
int64_t Distance(const ScreenRect& a, const ScreenRect& b) {
    const int64_t dx = (int64_t{a.x} * 2 + a.w) - (int64_t{b.x} * 2 + b.w);
    const int64_t dy = (int64_t{a.y} * 2 + a.h) - (int64_t{b.y} * 2 + b.h);
    return dx * dx + dy * dy;
}

bool Inside(const ScreenRect& r, const ScreenRect& area) {
    return r.x >= area.x && r.y >= area.y && int64_t{r.x} + r.w <= int64_t{area.x} + area.w &&
           int64_t{r.y} + r.h <= int64_t{area.y} + area.h;
}

// The least move along one axis that brings [start, start + size) into [from, from + room),
// the near edge first when it cannot fit.
int Clamp(int start, int size, int from, int room) {
    const int64_t last = int64_t{from} + room - size;
    return static_cast<int>(std::max<int64_t>(from, std::min<int64_t>(start, last)));
}

}  // namespace

ScreenRect FitOnScreens(const ScreenRect& rect, const std::vector<ScreenRect>& areas) {
    if (areas.empty()) return rect;
    for (const ScreenRect& area : areas)
        if (Inside(rect, area)) return rect;
    const ScreenRect* best = &areas.front();
    int64_t bestOverlap = -1, bestDistance = std::numeric_limits<int64_t>::max();
    for (const ScreenRect& area : areas) {
        const int64_t overlap = Overlap(rect, area), distance = Distance(rect, area);
        if (overlap > bestOverlap || (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            best = &area;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    ScreenRect fitted;
    fitted.w = std::min(rect.w, best->w);
    fitted.h = std::min(rect.h, best->h);
    fitted.x = Clamp(rect.x, fitted.w, best->x, best->w);
    fitted.y = Clamp(rect.y, fitted.h, best->y, best->h);
    return fitted;
}

}  // namespace quillox
