#pragma once
// Where each control of the main window sits: x, y, width and height in pixels, relative to
// the client area of its parent (a page's origin is the top left of the tab's page area).
// The client area is 745 x 481 below the menu bar. Controls that are never shown have no
// entry.
#include <optional>
#include <string>

namespace quillox::gui {

struct Geometry {
    int x, y, w, h;
};

constexpr int kMainClientWidth = 745;
constexpr int kMainClientHeight = 481;

std::optional<Geometry> MainWindowGeometry(const std::string& controlName);

}  // namespace quillox::gui
