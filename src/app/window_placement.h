#pragma once
// Where a window may stand on the screens it is shown on: a saved or proposed place that lies
// wholly on one screen's available area (the screen less panels and docks) is kept; any other
// is moved as little as needed onto the area it overlaps most (the nearest one when it overlaps
// none) and made no larger than that area. Pure geometry, no toolkit.
#include <vector>

namespace quillox {

struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const ScreenRect&) const = default;
};

// rect: the whole window, frame included; areas: each screen's available area. No areas: rect.
ScreenRect FitOnScreens(const ScreenRect& rect, const std::vector<ScreenRect>& areas);

}  // namespace quillox
