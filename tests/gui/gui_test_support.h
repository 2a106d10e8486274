#pragma once
// Shared by the GUI tests: the real main window over a TForm1 built on test doubles, and ways
// to wait for the event loop and to act like a user.
#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "gui/main_window.h"
#include "support/test_platform.h"

namespace quillox::gui::test {

// Runs the event loop until cond holds (at most a few seconds); true when it held.
inline bool PollUntil(const std::function<bool()>& cond) {
    QDeadlineTimer deadline(5000);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs `act` once `find` returns a widget, checking from inside any nested (modal) loop.
inline void WhenFound(QObject* context, std::function<QWidget*()> find,
                      std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, find, act] {
        if (QWidget* found = find()) {
            timer->stop();
            timer->deleteLater();
            act(found);
        }
    });
    timer->start(5);
}

inline void PressKey(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

inline void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        if (c == '\n') PressKey(widget, Qt::Key_Return, "\r");
        else PressKey(widget, c.toUpper().unicode(), QString(c));
    }
}

// The visible top-level widget of a type (and object name, when given), or nullptr.
template <class W = QWidget>
W* VisibleTopLevel(const QString& name = {}) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* w = qobject_cast<W*>(top);
        if (w && w->isVisible() && (name.isEmpty() || w->objectName() == name)) return w;
    }
    return nullptr;
}

inline void MouseClick(QWidget* widget, QPoint at) {
    const QPointF local(at), global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// The whole program window on doubles; nothing of the app logic runs unless a test calls it.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm1>(rig.platform);
        window = std::make_unique<MainWindow>(*form, rig.dialogs);
        window->show();
        window->activateWindow();  // as the user's window; a late activation would move focus
        PollUntil([&] { return window->isActiveWindow(); });
    }

    template <class W = QWidget>
    W* widget(const char* name) const {
        return window->findChild<W*>(name);
    }

    quillox::test::TestRig rig;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<MainWindow> window;  // goes first: it unlinks from the form
};

}  // namespace quillox::gui::test
