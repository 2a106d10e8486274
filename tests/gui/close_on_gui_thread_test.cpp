// A job's Save & Shutdown asks for the close from its own thread; the window closes on the GUI
// thread, as after a user's close.
#include "gui/close_on_gui_thread.h"

#include <gtest/gtest.h>

#include <thread>

#include "gui_test_support.h"

namespace quillox::gui::test {
namespace {

using CloseOnGuiThreadTest = MainWindowFixture;

TEST_F(CloseOnGuiThreadTest, ACloseAskedForByAJobRunsOnTheGuiThreadAndEndsTheWindow) {
    const CloseOnGuiThread handOff(*form, window.get(), rig.dialogs);
    form->settingsPath = rig.programDir.str() + "Settings.ini";
    bool closedOnGuiThread = false;
    form->subscribeClosed([&] { closedOnGuiThread = OnGuiThread(); });

    std::thread job([&] { form->RequestClose(); });
    job.join();
    EXPECT_FALSE(form->closed()) << "the job's thread only hands the close over";

    EXPECT_TRUE(PollUntil([&] { return form->closed() && !window->isVisible(); }));
    EXPECT_TRUE(closedOnGuiThread);
    EXPECT_NE(quillox::test::ReadFileBytes(form->settingsPath), "");
}

}  // namespace
}  // namespace quillox::gui::test
