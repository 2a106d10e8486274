// The main window as a user sees it: every visible control present, inside its parent, not
// overlapping its neighbours and with its caption readable at the default font.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QScreen>
#include <QWindow>

#include "gui/main_window_layout.h"
#include "gui/gui_thread.h"
#include "gui_test_support.h"

namespace quillox::gui::test {
namespace {

bool ShownInModel(const Control& control) {
    for (const Control* c = &control; c != nullptr; c = c->parent())
        if (!c->visible()) return false;
    return true;
}

bool IsWidgetControl(const Control& control) {
    const ControlKind kind = control.kind();
    return kind != ControlKind::Menu && kind != ControlKind::MenuItem && kind != ControlKind::Timer;
}

// What the control's caption needs to be shown whole, or an empty string when it fits.
std::string CaptionProblem(QWidget* widget) {
    const QFontMetrics fm(widget->font());
    const QSize size = widget->size();
    auto needs = [&](int width, int height) -> std::string {
        if (width <= size.width() && height <= size.height()) return "";
        return "needs " + std::to_string(width) + "x" + std::to_string(height) + ", has " +
               std::to_string(size.width()) + "x" + std::to_string(size.height());
    };
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->wordWrap()) return needs(0, label->heightForWidth(size.width()));
        return needs(label->sizeHint().width(), fm.height());
    }
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
        return needs(widget->sizeHint().width(), widget->sizeHint().height());
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return needs(fm.horizontalAdvance(QString::fromStdString(PlainCaption(button->text().toStdString()))) + 10,
                     fm.height() + 4);
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return needs(fm.horizontalAdvance(group->title()) + 16, 0);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(combo->itemText(i)));
        return needs(widest + 30, fm.height() + 4);
    }
    return "";
}

class MainWindowLayoutTest : public MainWindowFixture {
protected:
    // A tab widget sizes a page when it is first shown.
    void ShowEveryPage() {
        auto* tabs = widget<QTabWidget>("pc_main");
        for (int i = tabs->count() - 1; i >= 0; --i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
        }
    }
};

TEST_F(MainWindowLayoutTest, EveryVisibleControlHasItsWidgetAndHiddenOnesStayHidden) {
    for (Control* control : form->controls()) {
        if (!IsWidgetControl(*control)) continue;
        QWidget* view = window->binder().widget(*control);
        ASSERT_NE(view, nullptr) << control->name();
        EXPECT_EQ(window->findChild<QWidget*>(QString::fromStdString(control->name())), view)
            << control->name();
        if (control->kind() == ControlKind::Page) continue;
        // Pages other than the current one are hidden by the tab widget: look from the page.
        QWidget* top = window->clientArea();
        for (const Control* c = control->parent(); c != nullptr; c = c->parent())
            if (c->kind() == ControlKind::Page) top = window->binder().widget(*c);
        EXPECT_EQ(view->isVisibleTo(top), ShownInModel(*control)) << control->name();
    }
    EXPECT_FALSE(widget("Panel2")->isVisible());
    EXPECT_FALSE(widget("Edit10")->isVisibleTo(window->clientArea()));
    EXPECT_FALSE(widget("Image3")->isVisibleTo(window->clientArea()));
}

TEST_F(MainWindowLayoutTest, ClientAreaIsFixedAtTheModelSizeWithTheModelCaption) {
    EXPECT_EQ(window->clientArea()->size(), QSize(745, 481));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->windowTitle().toStdString(), form->caption());
    EXPECT_EQ(widget("pc_main")->geometry().bottom(), 480);
}

TEST_F(MainWindowLayoutTest, EveryShownControlSitsInsideItsParentAndShowsItsWholeCaption) {
    ShowEveryPage();
    for (Control* control : form->controls()) {
        if (!IsWidgetControl(*control) || !ShownInModel(*control) ||
            control->kind() == ControlKind::Page)
            continue;
        QWidget* view = window->binder().widget(*control);
        ASSERT_TRUE(MainWindowGeometry(control->name()).has_value()) << control->name();
        QWidget* parent = view->parentWidget();
        const QRect room = qobject_cast<QGroupBox*>(parent) ? parent->contentsRect() : parent->rect();
        EXPECT_TRUE(room.contains(view->geometry())) << control->name() << " leaves its parent";
        EXPECT_EQ(CaptionProblem(view), "") << control->name();
    }
    auto* tabs = widget<QTabWidget>("pc_main");
    EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->width()) << "tabs would scroll";
}

TEST_F(MainWindowLayoutTest, ShownSiblingsDoNotOverlap) {
    ShowEveryPage();
    for (Control* a : form->controls()) {
        for (Control* b : form->controls()) {
            if (a >= b || a->parent() != b->parent() || !IsWidgetControl(*a) ||
                !IsWidgetControl(*b) || !ShownInModel(*a) || !ShownInModel(*b))
                continue;
            if (a->kind() == ControlKind::Page || b->kind() == ControlKind::Page) continue;
            QWidget* va = window->binder().widget(*a);
            QWidget* vb = window->binder().widget(*b);
            EXPECT_FALSE(va->geometry().intersects(vb->geometry()))
                << a->name() << " overlaps " << b->name();
        }
    }
}

// Ten restarts: each puts the window where the model (the settings file) says, and leaves it.
TEST_F(MainWindowLayoutTest, RestartsLeaveTheWindowWhereItWas) {
    form->setLeft(20);
    form->setTop(40);
    for (int start = 0; start < 10; ++start) {
        window.reset();
        window = std::make_unique<MainWindow>(*form, rig.dialogs);
        window->show();
        window->applyModelPosition();  // as once the settings are read
        ASSERT_TRUE(PollUntil([&] { return window->windowHandle()->isExposed(); }));
        EXPECT_EQ(window->geometry().topLeft(), QPoint(20, 40)) << "start " << start;
    }
    EXPECT_EQ(QPoint(form->left(), form->top()), QPoint(20, 40));
}

// A saved place off the screen (another monitor then, a smaller screen now) is moved in, and the
// model keeps the place the window got.
TEST_F(MainWindowLayoutTest, SavedPlaceOffTheScreenIsMovedOntoIt) {
    const QRect screen = window->screen()->availableGeometry();
    for (const QPoint saved : {QPoint(1500, 40), QPoint(-99999, 40), QPoint(20, 99999)}) {
        form->setLeft(saved.x());
        form->setTop(saved.y());
        window->applyModelPosition();
        QCoreApplication::processEvents();
        const QRect placed = window->geometry();
        EXPECT_TRUE(screen.contains(placed.topLeft())) << saved.x() << "," << saved.y();
        EXPECT_TRUE(screen.contains(QPoint(placed.left(), screen.top())) &&
                    placed.left() + placed.width() <= screen.right() + 1)
            << saved.x() << "," << saved.y() << ": " << placed.left();
        EXPECT_EQ(QPoint(form->left(), form->top()), placed.topLeft());
    }
}

// What the jobs say reaches the status line below the pages.
TEST_F(MainWindowLayoutTest, StatusLineShowsWhatTheJobsSay) {
    form->ShowStatus("Stopped at 10845 MHz");
    auto* line = widget<QLabel>("status_line");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(PollUntil([&] { return line->text() == "Stopped at 10845 MHz"; }));
    EXPECT_TRUE(line->isVisible());
}

// The title bar's close asks first when transponders are unsaved; No keeps the window.
TEST_F(MainWindowLayoutTest, ClosingWithUnsavedTranspondersAsksFirst) {
    form->r_ed_trans_good_r23.setText("1=11034,V,27500,34\r\n");
    window->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.dialogs.events().size(), 1u);
    EXPECT_EQ(rig.dialogs.events().front().text, "1 transponder is not saved. Close anyway?");
    EXPECT_FALSE(form->closed());
    EXPECT_TRUE(window->isVisible());
}

// The Save & Shutdown radios keep their Windows captions; the tooltip says what they do here.
TEST_F(MainWindowLayoutTest, ShutdownChoicesSayWhatTheyDoOnLinux) {
    for (const char* name : {"rb_win_xp_r26", "rb_win_98_r23", "rb_win_xp"})
        EXPECT_TRUE(widget(name)->toolTip().contains("systemd-logind")) << name;
}

}  // namespace
}  // namespace quillox::gui::test
