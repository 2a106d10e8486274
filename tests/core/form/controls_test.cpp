// The control model's semantics that the program's logic relies on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "form/controls.h"
#include "form/window.h"
#include "support/test_platform.h"

namespace quillox {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    test::RecordingDialogs dialogs;
    Window window{dialogs, "test", 100, 100};
};

TEST_F(ControlsTest, EditRunsChangeHandlerOnlyOnRealChange) {
    Edit edit(window, nullptr, "ed", "5");
    int changes = 0;
    edit.onChange = [&] { ++changes; };
    edit.setText("5");
    edit.setText("6");
    edit.setText("6");
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, MirroredEditsStopAfterOneExchange) {
    Edit a(window, nullptr, "a"), b(window, nullptr, "b");
    int runs = 0;
    a.onChange = [&] { ++runs; b.setText(a.text()); };
    b.onChange = [&] { ++runs; a.setText(b.text()); };
    a.setText("x");
    EXPECT_EQ(b.text(), "x");
    EXPECT_EQ(runs, 2);
}

TEST_F(ControlsTest, RadiosOfOneParentExcludeEachOtherAndRunClickHandler) {
    GroupBox group(window, nullptr, "g", "");
    GroupBox other(window, nullptr, "o", "");
    RadioButton r1(window, &group, "r1", "", true), r2(window, &group, "r2", "");
    RadioButton elsewhere(window, &other, "r3", "", true);
    int clicks1 = 0, clicks2 = 0;
    r1.onClick = [&] { ++clicks1; };
    r2.onClick = [&] { ++clicks2; };

    r2.setChecked(true);
    EXPECT_TRUE(r2.checked());
    EXPECT_FALSE(r1.checked());
    EXPECT_TRUE(elsewhere.checked());
    EXPECT_EQ(clicks2, 1);
    EXPECT_EQ(clicks1, 0) << "unchecking a sibling is silent";

    r2.setChecked(true);  // no change, no click
    EXPECT_EQ(clicks2, 1);
    r1.click();
    EXPECT_TRUE(r1.checked());
    EXPECT_FALSE(r2.checked());
    EXPECT_EQ(clicks1, 1);
}

TEST_F(ControlsTest, RadioMouseUpIsSeparateFromClick) {
    RadioButton radio(window, nullptr, "r", "");
    int clicks = 0, ups = 0;
    radio.onClick = [&] { ++clicks; };
    radio.onMouseUp = [&] { ++ups; };
    radio.click();  // keyboard selection
    EXPECT_EQ(ups, 0);
    radio.mouseUp();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(ControlsTest, CheckBoxClickTogglesAndSetCheckedFiresOnChangeOnly) {
    CheckBox box(window, nullptr, "cb", "", false);
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.click();
    EXPECT_TRUE(box.checked());
    box.setChecked(true);
    EXPECT_EQ(clicks, 1);
    box.setChecked(false);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, ButtonClickIgnoresEnabledAndVisibleState) {
    Button button(window, nullptr, "b", "");
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    button.setEnabled(false);
    button.setVisible(false);
    button.click();
    EXPECT_EQ(clicks, 1);
}

struct LinesCase {
    const char* text;
    std::vector<std::string> lines;
    const char* joined;
};

class LinesTextTest : public ControlsTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(LinesTextTest, SplitsAndJoinsWithCrLf) {
    Lines list(window, nullptr, "l");
    list.setText(GetParam().text);
    EXPECT_EQ(list.lines(), GetParam().lines);
    EXPECT_EQ(list.text(), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LinesTextTest,
    ::testing::Values(LinesCase{"", {}, ""}, LinesCase{"a", {"a"}, "a"},
                      LinesCase{"a\r\nb\r\n", {"a", "b"}, "a\r\nb"},
                      LinesCase{"a\nb", {"a", "b"}, "a\r\nb"},
                      LinesCase{"a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb"},
                      LinesCase{"\r\n", {""}, ""}));

TEST_F(ControlsTest, LinesEditing) {
    Lines list(window, nullptr, "l");
    list.append("1");
    list.append("2");
    list.append("3");
    list.removeLine(1);
    EXPECT_EQ(list.text(), "1\r\n3");
    list.removeLine(7);  // outside: ignored
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.line(5), "");
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST_F(ControlsTest, GaugeAndTrackBarClamp) {
    Gauge gauge(window, nullptr, "g");
    gauge.setPosition(140);
    EXPECT_EQ(gauge.position(), 100);
    gauge.setPosition(-3);
    EXPECT_EQ(gauge.position(), 0);
    TrackBar bar(window, nullptr, "t", 1, 10, 8);
    int changes = 0;
    bar.onChange = [&] { ++changes; };
    bar.setPosition(99);
    EXPECT_EQ(bar.position(), 10);
    bar.setPosition(10);
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, PictureKeepsPixelsWhenWidthChanges) {
    Picture picture(window, nullptr, "p", 4, 2);
    picture.setPixel(1, 1, 0x123456);
    picture.setWidth(3);
    EXPECT_EQ(picture.pixel(1, 1), 0x123456u);
    EXPECT_EQ(picture.pixel(3, 1), 0xFFFFFFu);  // outside
}

TEST_F(ControlsTest, FocusIsTrackedByTheWindow) {
    Edit edit(window, nullptr, "e");
    ComboBox combo(window, nullptr, "c", "x", {"x", "y"});
    EXPECT_EQ(window.focusedControl(), nullptr);
    edit.setFocus();
    EXPECT_EQ(window.focusedControl(), &edit);
    combo.selectAll();
    EXPECT_EQ(window.focusedControl(), &combo);
    EXPECT_TRUE(combo.textSelected());
    EXPECT_TRUE(combo.hasItem("y"));
    EXPECT_FALSE(combo.hasItem("Y"));
}

TEST_F(ControlsTest, ObserversSeeEveryChangeAfterItHappenedAndWhatItWasAbout) {
    ComboBox edit(window, nullptr, "e", "", {});
    std::vector<std::string> seen;
    std::vector<Change> kinds;
    int id = edit.subscribe([&] { seen.push_back(edit.text()); });
    edit.subscribe([&](Change change) { kinds.push_back(change); });
    edit.setText("a");
    edit.setFocus();
    edit.setEnabled(false);
    edit.selectAll();
    edit.unsubscribe(id);
    edit.setText("b");
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "a", "a", "a"}));
    using enum Change;
    EXPECT_EQ(kinds, (std::vector<Change>{State, Focus, State, Focus, State}));
}

TEST_F(ControlsTest, HandlersMayTouchTheirOwnControlWithoutDeadlock) {
    Edit edit(window, nullptr, "e");
    edit.onChange = [&] { edit.setReadOnly(edit.text() == "lock"); };
    edit.subscribe([&] { (void)edit.text(); });
    edit.setText("lock");
    EXPECT_TRUE(edit.readOnly());
}

TEST_F(ControlsTest, ConcurrentWritersAndReadersStayConsistent) {
    Lines list(window, nullptr, "l");
    Gauge gauge(window, nullptr, "g");
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done) {
            std::string text = list.text();
            (void)list.count();
            (void)gauge.position();
            ASSERT_TRUE(text.empty() || text.back() != '\n');
        }
    });
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            list.append(std::to_string(i));
            gauge.setPosition(i % 101);
        }
    });
    for (int i = 0; i < 200; ++i) list.setText("x\r\ny");
    writer.join();
    done = true;
    reader.join();
    EXPECT_GE(list.count(), 2);
}

TEST_F(ControlsTest, WindowClosesOnceForTheMainWindowKind) {
    struct Main : Window {
        using Window::Window;
        int closes = 0;
        void OnClose() override {
            ++closes;
            Close();  // re-entrant close from the handler itself is ignored
        }
        void once() { closeOnce_ = true; }
    } main(dialogs, "m", 1, 1);
    main.once();
    int observed = 0;
    main.subscribeClosed([&] { ++observed; });
    main.Close();
    main.Close();
    EXPECT_EQ(main.closes, 1);
    EXPECT_EQ(observed, 1);
    EXPECT_TRUE(main.closed());
}

}  // namespace
}  // namespace quillox
