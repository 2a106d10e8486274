#pragma once
// Top-level windows kept on the screens (app/window_placement.h has the rule).
#include <QMargins>
#include <QRect>

class QWidget;

namespace quillox::gui {

// The frame around a top-level window's client area. Before the window manager has framed it
// Qt knows none, and a title bar is assumed, so that the rule keeps it on the screen too.
QMargins FrameMargins(const QWidget& window);

// The client rectangle to give a window whose client area would be `client`: its frame wholly
// on an available screen area, moved as little as needed and made no larger than that area.
QRect PlaceOnScreens(const QRect& client, const QMargins& frame);

}  // namespace quillox::gui
