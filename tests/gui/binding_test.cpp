// User input reaches the model and model changes reach the widgets, from any thread.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "app/job_texts.h"
#include "base/number_text.h"
#include "gui/control_widgets.h"
#include "gui_test_support.h"

namespace quillox::gui::test {
namespace {

class BindingTest : public MainWindowFixture {
protected:
    // All widgets below a model container (itself included) report the enabled state.
    bool AllWidgetsEnabledBelow(const Control& container, bool enabled) {
        for (Control* control : form->controls())
            for (const Control* c = control; c != nullptr; c = c->parent()) {
                if (c != &container) continue;
                QWidget* view = window->binder().widget(*control);
                if (view != nullptr && view->isEnabled() != enabled) return false;
            }
        return true;
    }
};

TEST_F(BindingTest, TypingReachesTheModelAndRunsItsChangeHandler) {
    int changes = 0;
    form->ed_f_start.onChange = [&] { ++changes; };
    auto* edit = widget<QLineEdit>("ed_f_start");
    edit->selectAll();
    Type(edit, "11250");
    EXPECT_EQ(form->ed_f_start.text(), "11250");
    EXPECT_EQ(changes, 5);

    auto* combo = widget<QComboBox>("cbDiSEqC");
    combo->lineEdit()->selectAll();
    Type(combo, "Simple B");
    EXPECT_EQ(form->cbDiSEqC.text(), "Simple B");
    combo->textActivated("Pos A - Opt B");  // what choosing an item from the list emits
    EXPECT_EQ(form->cbDiSEqC.text(), "Pos A - Opt B");

    auto* list = widget<QPlainTextEdit>("r_edt_freq_v");
    list->setFocus();
    Type(list, "10719\n10758\n");
    EXPECT_EQ(form->r_edt_freq_v.lines(), (std::vector<std::string>{"10719", "10758"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(list->toPlainText(), "10719\n10758\n") << "the line being typed must survive";
}

TEST_F(BindingTest, ModelChangesFromAWorkerThreadReachTheWidgets) {
    std::thread worker([&] {
        form->ed_f_start.setText("11000");
        form->r_edt_freq_v.setText("Please, Wait!");
        form->r_edt_freq_v.setText("10719");
        form->r_edt_freq_v.append("10758");
        form->pbar_freq.setPosition(42);
        form->pbar_freq.setColour(0x38FD00);
        form->cb_Horizontal.setChecked(false);
        form->cbPolarity.setText("HORIZONTAL");
        form->TBar_custom.setPosition(3);
        form->Image3.setVisible(true);
        form->Image3.setWidth(323);
        form->r_ed_trans_good.setReadOnly(false);
        form->r_edt_freq_h.setText(kSweepPlaceholder);
    });
    worker.join();
    auto* gauge = widget<GaugeWidget>("pbar_freq");
    ASSERT_TRUE(PollUntil([&] { return gauge->position() == 42; }));
    EXPECT_EQ(gauge->colour(), 0x38FD00u);
    EXPECT_EQ(widget<QLineEdit>("ed_f_start")->text(), "11000");
    EXPECT_EQ(widget<QPlainTextEdit>("r_edt_freq_v")->toPlainText(), "10719\n10758");
    EXPECT_FALSE(widget<QCheckBox>("cb_Horizontal")->isChecked());
    EXPECT_EQ(widget<QComboBox>("cbPolarity")->currentText(), "HORIZONTAL");
    EXPECT_EQ(widget<QSlider>("TBar_custom")->value(), 3);
    EXPECT_TRUE(widget("Image3")->isVisibleTo(widget("Panel1")));
    EXPECT_FALSE(widget<QPlainTextEdit>("r_ed_trans_good")->isReadOnly());
    EXPECT_TRUE(widget<QPlainTextEdit>("r_ed_trans_good_r23")->isReadOnly());
    EXPECT_EQ(widget<QPlainTextEdit>("r_edt_freq_h")->horizontalScrollBar()->maximum(), 0);
}

TEST_F(BindingTest, ManyAppendsFromAWorkerEndInTheSameList) {
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i) form->RichEdit1.append("Freq = " + std::to_string(10700 + i));
    });
    worker.join();
    auto* log = widget<QPlainTextEdit>("RichEdit1");
    ASSERT_TRUE(PollUntil([&] { return log->blockCount() == 500; }));
    EXPECT_EQ(log->toPlainText(), QString::fromStdString(form->RichEdit1.text()).remove('\r'));
}

TEST_F(BindingTest, DisablingAPageOrAGroupDisablesItsWidgetsAndEnablingRestoresTheirOwnState) {
    form->ts_02.setEnabled(false);
    form->gbSettings.setEnabled(false);
    ASSERT_TRUE(PollUntil([&] {
        return AllWidgetsEnabledBelow(form->ts_02, false) &&
               AllWidgetsEnabledBelow(form->gbSettings, false);
    }));
    EXPECT_TRUE(widget("gb_freqs")->isEnabled()) << "another page stays usable";
    EXPECT_EQ(widget<QTabWidget>("pc_main")->isTabEnabled(2), true)
        << "the tab can still be chosen";

    form->ts_02.setEnabled(true);
    form->gbSettings.setEnabled(true);
    ASSERT_TRUE(PollUntil([&] { return widget("bAplly")->isEnabled(); }));
    EXPECT_FALSE(widget("ed_LOF_low")->isEnabled()) << "a field disabled by itself stays so";
    EXPECT_FALSE(widget("ed_F_Tuning")->isEnabled());
    EXPECT_TRUE(widget("Edit12")->isEnabled());

    // The tuner's readings: disabled in the model, shown readable but not editable.
    auto* reading = widget<QLineEdit>("Edit2");
    EXPECT_TRUE(reading->isEnabled() && reading->isReadOnly());
    form->gbActual_Settings.setEnabled(true);
    ASSERT_TRUE(PollUntil([&] { return !reading->isReadOnly(); }));
}

TEST_F(BindingTest, RadiosStayExclusiveAndReportClickThenMouseUp) {
    std::vector<std::string> events;
    form->rb_Cband.onClick = [&] { events.push_back("click"); };
    form->rb_Cband.onMouseUp = [&] { events.push_back("mouseUp"); };
    auto* cband = widget<QRadioButton>("rb_Cband");
    MouseClick(cband, QPoint(8, cband->height() / 2));
    EXPECT_EQ(events, (std::vector<std::string>{"click", "mouseUp"}));
    EXPECT_TRUE(form->rb_Cband.checked());
    EXPECT_FALSE(form->rb_Ku_Linear.checked());

    // Keyboard selection is a click without a mouse release.
    events.clear();
    auto* custom = widget<QRadioButton>("rb_Custom");
    int customClicks = 0;
    form->rb_Custom.onClick = [&] { ++customClicks; };
    PressKey(custom, Qt::Key_Space, " ");
    EXPECT_EQ(customClicks, 1);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(form->rb_Custom.checked());

    // The model checks one from code; the widgets follow, one checked per group.
    form->rb_Ku_Linear.setChecked(true);
    ASSERT_TRUE(PollUntil([&] { return widget<QRadioButton>("rb_Ku_Linear")->isChecked(); }));
    EXPECT_FALSE(custom->isChecked());
    EXPECT_FALSE(cband->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("rb_sr_maior")->isChecked()) << "other groups untouched";

    // The model may leave a group without a checked radio; the view shows that too.
    form->rb_Ku_Linear.setChecked(false);
    ASSERT_TRUE(PollUntil([&] { return !widget<QRadioButton>("rb_Ku_Linear")->isChecked(); }));
}

TEST_F(BindingTest, ClicksOnButtonsCheckBoxesPicturesAndMenusRunTheModelHandlers) {
    std::vector<std::string> events;
    form->bAplly.onClick = [&] { events.push_back("bAplly"); };
    form->cb_Fine_Tuning.onClick = [&] { events.push_back("cb_Fine_Tuning"); };
    form->Image1.onClick = [&] { events.push_back("Image1"); };
    form->About1.onClick = [&] { events.push_back("About1"); };
    widget<QPushButton>("bAplly")->click();
    widget<QCheckBox>("cb_Fine_Tuning")->click();
    MouseClick(widget("Image1"), QPoint(10, 10));
    window->findChild<QAction*>("About1")->trigger();
    EXPECT_EQ(events, (std::vector<std::string>{"bAplly", "cb_Fine_Tuning", "Image1", "About1"}));
    EXPECT_FALSE(form->cb_Fine_Tuning.checked());
}

TEST_F(BindingTest, TabChangesGoBothWays) {
    int shown = 0;
    form->ts_02.onShow = [&] { ++shown; };
    auto* tabs = widget<QTabWidget>("pc_main");
    tabs->setCurrentWidget(widget("ts_02"));
    EXPECT_EQ(form->pc_main.activePage(), &form->ts_02);
    EXPECT_EQ(shown, 1);

    form->pc_main.setActivePage(&form->ts_signal);
    ASSERT_TRUE(PollUntil([&] { return tabs->currentWidget() == widget("ts_signal"); }));
    EXPECT_EQ(shown, 1);
}

TEST_F(BindingTest, HandlerErrorsAreShownAndTheWindowCarriesOn) {
    form->Button1.onClick = [&] { StrictInt(form->ed_f_start.text()); };
    auto* edit = widget<QLineEdit>("ed_f_start");
    edit->selectAll();
    Type(edit, "12x");
    widget<QPushButton>("Button1")->click();
    EXPECT_EQ(rig.dialogs.errors(),
              (std::vector<std::string>{"'12x' is not a valid integer value"}));

    form->Timer1.onTimer = [] { throw std::runtime_error("tick failed"); };
    form->Timer1.setInterval(1);
    form->Timer1.setEnabled(true);
    ASSERT_TRUE(PollUntil([&] { return rig.dialogs.errors().size() >= 2; }));
    EXPECT_EQ(rig.dialogs.errors()[1], "tick failed");
}

TEST_F(BindingTest, ModelFocusMovesTheKeyboardFocusOnlyWhenAsked) {
    auto* list = widget<QPlainTextEdit>("r_edt_freq_v");
    form->r_edt_freq_v.setFocus();
    ASSERT_TRUE(PollUntil([&] { return window->focusWidget() == list; }));

    // The user starts a job with a button; the job disables it and rewrites that list, even
    // with nothing new to show: the focus is let go, into no field.
    widget("Button2")->setFocus(Qt::MouseFocusReason);
    std::thread([&] {
        form->Button2.setEnabled(false);
        for (int i = 0; i < 3; ++i) form->r_edt_freq_v.setText("Please, Wait!");
        form->r_edt_freq_v.setText("10719");
    }).join();
    ASSERT_TRUE(PollUntil([&] { return list->toPlainText() == "10719"; }));  // the last refresh
    EXPECT_EQ(window->focusWidget(), nullptr);

    // Asking again moves it; a field taking the focus has its text selected.
    form->r_edt_freq_v.setFocus();
    ASSERT_TRUE(PollUntil([&] { return window->focusWidget() == list; }));
    auto* delay = widget<QLineEdit>("ed_f_delay");
    form->ed_f_delay.setFocus();
    ASSERT_TRUE(PollUntil([&] { return window->focusWidget() == delay; }));
    EXPECT_EQ(delay->selectedText(), "750");

    form->cbDiSEqC.selectAll();
    auto* combo = widget<QComboBox>("cbDiSEqC");
    ASSERT_TRUE(PollUntil([&] { return window->focusWidget() == combo; }));
    EXPECT_EQ(combo->lineEdit()->selectedText(), "None");
}

TEST_F(BindingTest, TimersFollowTheModelAndTickOnTheGuiThread) {
    auto* timer = window->findChild<QTimer*>("Timer_sig");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    std::atomic<int> ticks{0};
    std::atomic<bool> offThread{false};
    form->Timer_sig.onTimer = [&] {
        ++ticks;
        if (QThread::currentThread() != qApp->thread()) offThread = true;
    };
    std::thread([&] {
        form->Timer_sig.setInterval(2);
        form->Timer_sig.setEnabled(true);
    }).join();
    ASSERT_TRUE(PollUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(timer->interval(), 2);
    EXPECT_FALSE(offThread);
    form->Timer_sig.setEnabled(false);
    ASSERT_TRUE(PollUntil([&] { return !timer->isActive(); }));
}

// Closed by the user (the model decides) or by a job's worker, the window ends on the GUI thread.
class ClosingTest : public MainWindowFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ClosingTest, EndsTheWindowOnTheGuiThread) {
    std::atomic<bool> endedOnGuiThread{false};
    window->onModelClosed = [&] { endedOnGuiThread = QThread::currentThread() == qApp->thread(); };
    if (GetParam())
        std::thread([&] { form->Close(); }).join();
    else
        window->close();
    EXPECT_TRUE(form->closed());
    ASSERT_TRUE(PollUntil([&] { return endedOnGuiThread.load(); }));
}

INSTANTIATE_TEST_SUITE_P(ByUserOrWorker, ClosingTest, ::testing::Bool());

}  // namespace
}  // namespace quillox::gui::test
