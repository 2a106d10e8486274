#pragma once
// The program's main window: renders TForm1 and forwards the user's actions to it. No program
// logic lives here.
#include <QMainWindow>
#include <QPointer>
#include <functional>

#include "gui/window_binder.h"
#include "gui/gui_thread.h"

namespace quillox {
class Dialogs;
class TForm1;
}

namespace quillox::gui {

class SpectrumWindow;

class MainWindow : public QMainWindow {
public:
    MainWindow(TForm1& form, Dialogs& errors);
    ~MainWindow() override;

    WindowBinder& binder() { return binder_; }
    // The Spectrum window once the View menu has opened it, else nullptr.
    SpectrumWindow* spectrumWindow() const;
    QWidget* clientArea() const { return client_; }
    // Moves the window to the model's position (the settings file may have changed it): the
    // the top left corner of the client area, below the title bar, as the window reports it.
    void applyModelPosition();

    // Runs on the GUI thread once the model window has closed; by default it closes this window.
    // main() ends the application here.
    std::function<void()> onModelClosed;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void ApplyLayout();
    void OnModelClosed();
    void ShowSpectrum();

    TForm1& form_;
    QWidget* client_;
    WindowBinder binder_;
    QueuedCaller gui_;
    int closedId_ = 0;
    int spectrumShowId_ = 0;
    Dialogs& errors_;
    QPointer<SpectrumWindow> spectrum_;  // a child window: goes with this one
    bool modelClosed_ = false;
};

}  // namespace quillox::gui
