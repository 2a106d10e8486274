// The Qt dialogs: filters, modal windows, and calls from a job worker, including the stop
// that must never leave a worker and the GUI thread waiting for each other.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <atomic>
#include <thread>

#include "app/about_box.h"
#include "gui/control_widgets.h"
#include "gui/desktop_platform.h"
#include "gui/qt_dialogs.h"
#include "gui_test_support.h"
#include "platform/stop_signal.h"

namespace quillox::gui::test {
namespace {

struct FilterCase {
    const char* filter;
    QStringList expected;
};

class NameFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(NameFilterTest, ConvertsDescriptionPatternPairs) {
    EXPECT_EQ(QtNameFilters(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, NameFilterTest,
    ::testing::Values(
        FilterCase{"Symbol Rates List  *.Zyl|*.Zyl", {"Symbol Rates List  *.Zyl (*.Zyl)"}},
        FilterCase{"Frequencies_List   *.frl|*.frl", {"Frequencies_List   *.frl (*.frl)"}},
        FilterCase{"*.ini|*.ini", {"*.ini (*.ini)"}},
        FilterCase{"Text|*.txt|Lists|*.frl;*.Zyl", {"Text (*.txt)", "Lists (*.frl *.Zyl)"}},
        FilterCase{"No pattern", {}},
        FilterCase{"", {}}));

class QtDialogsTest : public ::testing::Test {
protected:
    quillox::test::TestRig rig;
    QtDialogs dialogs;
    QObject context;
};

TEST_F(QtDialogsTest, AWorkerGetsTheAnswerOfAConfirmBox) {
    WhenFound(&context, [] { return VisibleTopLevel<QMessageBox>(); }, [](QWidget* found) {
        auto* box = static_cast<QMessageBox*>(found);
        EXPECT_EQ(box->text(), "C:/x.ini\nAlready exists!");
        box->button(QMessageBox::Yes)->click();
    });
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = dialogs.ConfirmBox("C:/x.ini\nAlready exists!") ? 1 : 0; });
    ASSERT_TRUE(PollUntil([&] { return answer != -1; }));
    worker.join();
    EXPECT_EQ(answer, 1);
}

TEST_F(QtDialogsTest, AStopWithdrawsTheBoxAWorkerIsWaitingFor) {
    StopSignal stop;
    std::atomic<bool> stopped{false};
    WhenFound(&context, [] { return VisibleTopLevel<QMessageBox>(); }, [&](QWidget*) { stop.Request(); });
    std::thread worker([&] {
        SetCurrentStopSignal(&stop);
        try {
            dialogs.MessageBox("Scan finished");
        } catch (const JobStopped&) {
            stopped = true;
        }
        SetCurrentStopSignal(nullptr);
    });
    ASSERT_TRUE(PollUntil([&] { return stopped.load(); }));
    worker.join();
    EXPECT_TRUE(PollUntil([] { return VisibleTopLevel<QMessageBox>() == nullptr; }));
}

// The GUI thread joins a worker (a Stop button) while that worker waits for a box: the worker
// must give up, and the box must never appear afterwards.
TEST_F(QtDialogsTest, AWorkerWaitingForABoxDoesNotBlockAJoiningGuiThread) {
    StopSignal stop;
    std::atomic<bool> calling{false}, stopped{false};
    std::thread worker([&] {
        SetCurrentStopSignal(&stop);
        calling = true;
        try {
            dialogs.ErrorBox("Invalid Delay, the minimum value is 150.");
        } catch (const JobStopped&) {
            stopped = true;
        }
        SetCurrentStopSignal(nullptr);
    });
    while (!calling) std::this_thread::yield();
    stop.Request();
    worker.join();  // no event processing here, as inside Worker::Stop
    EXPECT_TRUE(stopped);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(VisibleTopLevel<QMessageBox>(), nullptr);
}

TEST_F(QtDialogsTest, TheSignalWindowIsFullScreenBorderlessAndClosesWithItsModel) {
    TForm1 form(rig.platform);
    form.Form_Signal.pbar_sig_q.setPosition(77);
    QWidget* shown = nullptr;
    WhenFound(&context, [] { return VisibleTopLevel("Form_Signal"); }, [&](QWidget* found) {
        shown = found;
        EXPECT_TRUE(found->windowState() & Qt::WindowFullScreen);
        EXPECT_TRUE(found->windowFlags() & Qt::FramelessWindowHint);
        auto* gauge = found->findChild<GaugeWidget*>("pbar_sig_q");
        ASSERT_NE(gauge, nullptr);
        EXPECT_EQ(gauge->position(), 77);
        std::thread([&form] { form.Form_Signal.Close(); }).detach();  // e.g. a job's close
    });
    dialogs.ShowModal(form.Form_Signal);
    EXPECT_NE(shown, nullptr);
    EXPECT_TRUE(form.Form_Signal.closed());
}

TEST_F(QtDialogsTest, TheAboutBoxOpensItsLinksAndClosesWithOk) {
    TForm1 form(rig.platform);
    WhenFound(&context, [] { return VisibleTopLevel("AboutBox"); }, [&](QWidget* about) {
        EXPECT_EQ(about->windowTitle(), "About");
        QWidget* link = about->findChild<QWidget*>("lb_help_eng");
        ASSERT_NE(link, nullptr);
        MouseClick(link, QPoint(4, 4));
        about->findChild<QPushButton*>("OKButton")->click();
    });
    dialogs.ShowModal(form.AboutBox);
    EXPECT_EQ(rig.shell.opened(), (std::vector<std::string>{kHelpEngUrl}));
    EXPECT_TRUE(form.AboutBox.closed());
}

TEST_F(QtDialogsTest, AHelpPageTheDesktopCannotOpenShowsInTheProgramsHelpWindow) {
    quillox::test::TempDir dir;
    quillox::test::WriteFileBytes(dir.path() / "help.htm", "<h1>Actual Settings</h1>");
    std::vector<QUrl> asked;
    DesktopShell shell([&](const QUrl& url) { asked.push_back(url); return false; });
    std::thread([&] { shell.Open(dir.str() + "help.htm"); }).join();
    QTextBrowser* help = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (help = VisibleTopLevel<QTextBrowser>()) != nullptr; }));
    EXPECT_EQ(asked.at(0).toLocalFile().toStdString(), dir.str() + "help.htm") << "desktop first";
    EXPECT_EQ(help->toPlainText(), "Actual Settings");
}

}  // namespace
}  // namespace quillox::gui::test
