#include "gui/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "app/window_placement.h"

namespace quillox::gui {
namespace {

constexpr QMargins kAssumedFrame{1, 30, 1, 1};  // a title bar and a thin border

}  // namespace

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry(), client = window.geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    return margins.isNull() ? kAssumedFrame : margins;
}

QRect PlaceOnScreens(const QRect& client, const QMargins& frame) {
    std::vector<ScreenRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        areas.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    const QRect framed = client.marginsAdded(frame);
    const ScreenRect fitted =
        FitOnScreens({framed.x(), framed.y(), framed.width(), framed.height()}, areas);
    return QRect(fitted.x, fitted.y, fitted.w, fitted.h).marginsRemoved(frame);
}

}  // namespace quillox::gui
