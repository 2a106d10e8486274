#pragma once
// An open or save dialog as the window keeps it: default extension, filter and the file name
// last chosen. Execute shows it through the platform's Dialogs.
#include <mutex>
#include <string>

namespace quillox {

class Window;

class FileDialog {
public:
    enum class Mode { Open, Save };

    FileDialog(Window& owner, std::string name, Mode mode, std::string defaultExt,
               std::string filter, std::string fileName);
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    const std::string& name() const { return name_; }
    Mode mode() const { return mode_; }
    const std::string& defaultExt() const { return defaultExt_; }
    const std::string& filter() const { return filter_; }
    std::string fileName() const;
    void setFileName(const std::string& fileName);
    // On OK stores the chosen name and returns true; a cancel leaves the name as it was.
    bool Execute();

private:
    Window& owner_;
    const std::string name_;
    const Mode mode_;
    const std::string defaultExt_;
    const std::string filter_;
    mutable std::mutex mutex_;
    std::string fileName_;
};

}  // namespace quillox
