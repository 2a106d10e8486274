// Quillox: starts the window on the tuner device named in Settings.ini.
#include <QApplication>
#include <QDir>

#include "app/form1.h"
#include "device/device_factory.h"
#include "gui/close_on_gui_thread.h"
#include "gui/control_widgets.h"
#include "gui/desktop_platform.h"
#include "gui/gui_thread.h"
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "platform/clock.h"
#include "power/logind_power_control.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillox");
    QApplication::setWindowIcon(quillox::gui::DishIcon());
    QGuiApplication::setDesktopFileName("org.example.quillox");

    quillox::RealClock clock;
    quillox::SystemDeviceFactory devices(clock);
    quillox::gui::QtDialogs dialogs;
    quillox::gui::DesktopShell shell;
    // The one place that reaches the machine's own logind: nothing else switches it off.
    const auto power = quillox::LogindPowerControl::OnSystemBus();
    quillox::Platform platform{dialogs,
                               clock,
                               devices,
                               shell,
                               *power,
                               (QCoreApplication::applicationDirPath() + "/").toStdString(),
                               (QDir::homePath() + "/").toStdString()};

    quillox::TForm1 form(platform);
    quillox::gui::RunGuarded(dialogs, [&] { form.FormCreate(); });

    quillox::gui::MainWindow window(form, dialogs);
    dialogs.setParentWindow(&window);
    // A job's Save & Shutdown closes the window from its own thread.
    const quillox::gui::CloseOnGuiThread closeHandOff(form, &window, dialogs);
    window.onModelClosed = [&window] {
        window.hide();
        QCoreApplication::quit();
    };
    window.show();
    // The first showing reads the settings and opens the device; the settings may move the
    // window. A start-up failure closes the model window, which ends the loop.
    QMetaObject::invokeMethod(
        &window,
        [&] {
            quillox::gui::RunGuarded(dialogs, [&] { form.FormShow(); });
            window.applyModelPosition();
        },
        Qt::QueuedConnection);

    const int status = form.closed() ? 0 : QApplication::exec();
    quillox::gui::RunGuarded(dialogs, [&] { form.FormDestroy(); });
    return status;
}
