// The Spectrum window as a user meets it: opened from the View menu beside the fixed main
// window, redrawn as a sweep writes, zoomed with the wheel and reset with a double-click, and
// saved as PNG and SVG through the program's file dialog.
#include "gui/sweep_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QScreen>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <tuple>

#include "gui_test_support.h"

namespace quillox::gui::test {
namespace {

class SpectrumWindowTest : public MainWindowFixture {};

TEST_F(SpectrumWindowTest, OpensFromTheMenuFollowsTheReadingsZoomsAndSaves) {
    auto* action = window->findChild<QAction*>("Spectrum1");
    ASSERT_NE(action, nullptr);
    action->trigger();
    ASSERT_TRUE(PollUntil(
        [&] { return window->spectrumWindow() && window->spectrumWindow()->isVisible(); }));
    SpectrumWindow* spectrum = window->spectrumWindow();
    EXPECT_EQ(spectrum->windowTitle(), "Spectrum");
    // Sized and placed inside the screen, its frame included.
    EXPECT_TRUE(spectrum->screen()->availableGeometry().contains(spectrum->frameGeometry()))
        << spectrum->frameGeometry().x() << "," << spectrum->frameGeometry().y() << " "
        << spectrum->frameGeometry().width() << "x" << spectrum->frameGeometry().height() << " on "
        << spectrum->screen()->availableGeometry().width() << "x"
        << spectrum->screen()->availableGeometry().height();
    EXPECT_TRUE(spectrum->isWindow());
    EXPECT_NE(spectrum->minimumSize(), spectrum->maximumSize()) << "resizable";
    action->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->spectrumWindow(), spectrum) << "shown again, not a second window";
    // The strength pass's buttons are the model's: Stop only while the pass runs.
    auto* strength = spectrum->findChild<QPushButton*>("bt_strength");
    ASSERT_NE(strength, nullptr);
    EXPECT_EQ(strength->text(), "Strength");
    EXPECT_TRUE(strength->isVisible() && strength->isEnabled());
    EXPECT_FALSE(spectrum->findChild<QPushButton*>("bt_strength_stop")->isEnabled());

    // A sweep writing from its worker: the window picks it up on its own.
    std::thread sweep([this] {
        form->SpectrumReadings.BeginSweep(SweepMethod::RateSearch, polarity::kVertical, 11000,
                                          11500);
        for (int32_t mhz = 11000; mhz <= 11500; mhz += 5)
            form->SpectrumReadings.AddReading(SweepMethod::RateSearch, polarity::kVertical, mhz,
                                              mhz % 40);
    });
    sweep.join();
    SpectrumView* view = spectrum->view();
    ASSERT_TRUE(PollUntil([&] { return view->data().vertical.readings.size() == 101; }));

    const QPointF middle(view->width() / 2.0, view->height() / 2.0);
    QWheelEvent wheel(middle, view->mapToGlobal(middle), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
    EXPECT_LT(view->visibleRange().span(), 500 * 0.7);
    QMouseEvent twice(QEvent::MouseButtonDblClick, middle, view->mapToGlobal(middle),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &twice);
    EXPECT_DOUBLE_EQ(view->visibleRange().span(), 500);

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quillox_gui_plot";
    std::filesystem::create_directories(dir);
    for (auto [button, name, signature] :
         {std::tuple{"bt_save_png", "s.png", std::string("\x89PNG")},
          std::tuple{"bt_save_svg", "s.svg", std::string("<svg")}}) {
        rig.dialogs.AnswerFile((dir / name).string());
        spectrum->findChild<QPushButton*>(button)->click();
        std::ifstream in(dir / name, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_NE(bytes.substr(0, 400).find(signature), std::string::npos) << name;
    }
    rig.dialogs.AnswerFile((dir / "s.gif").string());
    spectrum->findChild<QPushButton*>("bt_save_png")->click();
    EXPECT_FALSE(std::filesystem::exists(dir / "s.gif"));
    EXPECT_EQ(rig.dialogs.errors().size(), 1u) << "a wrong extension is told";
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quillox::gui::test
