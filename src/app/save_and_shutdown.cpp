// The " Save && Shutdown " boxes: their browse buttons, and the sequence that ends an
// unattended job by saving its result and the settings, switching the machine off and closing
// the window. The boxes' state handlers, the shared variant radios and the folder mirror live
// in page_states.cpp.
#include <filesystem>
#include <string>

#include "app/form1.h"
#include "platform/stop_signal.h"

namespace quillox {
namespace {

constexpr const char* kFolderProbeName = "ignore_file_name.ini";
constexpr const char* kReportName = "Get_-_Symbol_Rate_(result).txt";

bool FolderExists(const std::string& folder) {
    std::error_code ignored;
    return !folder.empty() && std::filesystem::is_directory(folder, ignored);
}

// Up to and including the last separator; empty when there is none.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The writer of each page's result and the path it writes to, for the message when it fails.
struct PageResult {
    FileWriteResult (TForm1::*writer)();
    std::string (*path)(const TForm1&);
};

PageResult ResultOf(ShutdownPage page) {
    switch (page) {
        case ShutdownPage::Rev26:
            return {&TForm1::bt_write_file_r26Click, [](const TForm1& f) {
                        return f.ed_shutdown_r26.text() + f.ed_file_name.text();
                    }};
        case ShutdownPage::Rev23:
            return {&TForm1::bt_write_file_shutdown_r23Click, [](const TForm1& f) {
                        return f.ed_shutdown_r23.text() + f.ed_file_name_r23.text();
                    }};
        case ShutdownPage::SymbolRate:
            break;
    }
    return {&TForm1::bt_write_fileClick, [](const TForm1& f) { return f.ed_sr_job.text(); }};
}

// The step's own message; the system's reason, when it gave one, on a second line.
void TellFailure(TForm1& form, const std::string& message) {
    const std::string reason = form.platform().power.FailureReason();
    form.platform().dialogs.MessageBox(reason.empty() ? message : message + "\n" + reason);
}

}  // namespace

// ---- Browse buttons ---------------------------------------------------------------------------

// The dialog only picks a folder: the file name in it is thrown away, and a cancel takes the
// folder of the preset. A folder typed without its final separator is still that folder, not
// its parent.
void TForm1::bt_save_shutdown_r23Click() {
    std::string folder = ed_shutdown_r23.text();
    if (!FolderExists(folder)) folder = platform_.homeDir;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    sd_shutdown_r23.setFileName(folder + kFolderProbeName);
    sd_shutdown_r23.Execute();
    const std::string chosen = FolderOf(sd_shutdown_r23.fileName());
    ed_shutdown_r23.setText(chosen);
    ed_shutdown_r26.setText(chosen);
}

// A cancel leaves the preset, which is the field's own text whenever its folder exists.
void TForm1::bt_save_sr_shutdownClick() {
    const std::string path = ed_sr_job.text();
    sd_sr_shutdown.setFileName(FolderExists(FolderOf(path)) ? path
                                                            : platform_.homeDir + kReportName);
    sd_sr_shutdown.Execute();
    ed_sr_job.setText(sd_sr_shutdown.fileName());
}

// ---- The sequence -----------------------------------------------------------------------------

// A result that cannot be written would be lost with the machine off: then the settings are
// still saved, the user is told, and machine and window stay as they are. Switch-off steps that
// fail are told and the sequence goes on: the result is on disk, so the window closes.
void TForm1::SaveAndShutdown(ShutdownPage page) {
    ThrowIfStopRequested();  // a job stopped at its very end neither saves nor switches off
    const PageResult result = ResultOf(page);
    const std::string path = result.path(*this);
    const FileWriteResult written = (this->*result.writer)();
    WriteSettings();
    if (!written) {
        platform_.dialogs.ErrorBox("The File:\n" + path + "\nCan't be written!\n\n" +
                                   written.error);
        return;
    }

    ThrowIfStopRequested();
    PowerControl& power = platform_.power;
    // The radios of all three pages always agree; the finder's page is read.
    if (rb_win_xp.checked()) {
        if (!power.OpenToken()) TellFailure(*this, "ERROR - OpenProcessToken");
        if (!power.EnableShutdownPrivilege()) TellFailure(*this, "ERROR - AdjustTokenPrivileges");
        if (!power.RequestShutdown(false)) TellFailure(*this, "ERROR - ExitWindowsEx");
    }
    if (rb_win_98.checked() && !power.RequestShutdown(true))
        TellFailure(*this, "ERROR - ExitWindowsEx");
    RequestClose();
}

}  // namespace quillox
