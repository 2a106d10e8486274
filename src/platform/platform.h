#pragma once
// Everything the program needs from outside, gathered so that tests and tools build a TForm1
// with doubles. The Qt layer supplies the real dialogs and shell; the core the rest.
#include <optional>
#include <string>

#include "platform/clock.h"

namespace quillox {

class DeviceFactory;
class FileDialog;
class Window;

// Each call blocks until answered; callable from any thread.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void ErrorBox(const std::string& text) = 0;    // error icon, one OK button
    virtual void MessageBox(const std::string& text) = 0;  // plain box, one OK button
    virtual bool ConfirmBox(const std::string& text) = 0;  // Yes / No; true for Yes
    virtual std::optional<std::string> OpenFileName(const FileDialog& d) = 0;  // nullopt = cancel
    virtual std::optional<std::string> SaveFileName(const FileDialog& d) = 0;
    virtual void ShowModal(Window& w) = 0;  // About box, signal window
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual void Open(const std::string& pathOrUrl) = 0;
};

// The three steps of switching the machine off, each reporting success.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual bool OpenToken() = 0;                   // reach the system's power service
    virtual bool EnableShutdownPrivilege() = 0;     // may this user switch off?
    virtual bool RequestShutdown(bool forced) = 0;  // forced = the "WIN 98" variant
    // Why the last step that failed failed, in the system's words; empty when unknown.
    virtual std::string FailureReason() const { return {}; }
};

struct Platform {
    Dialogs& dialogs;
    Clock& clock;
    DeviceFactory& devices;
    Shell& shell;
    PowerControl& power;
    std::string programDir;  // folder of the executable, with trailing separator
    std::string homeDir;     // replaces "C:\" in defaults, with trailing separator
};

}  // namespace quillox
