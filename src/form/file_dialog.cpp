#include "form/file_dialog.h"

#include "form/window.h"
#include "platform/platform.h"

namespace quillox {

FileDialog::FileDialog(Window& owner, std::string name, Mode mode, std::string defaultExt,
                       std::string filter, std::string fileName)
    : owner_(owner),
      name_(std::move(name)),
      mode_(mode),
      defaultExt_(std::move(defaultExt)),
      filter_(std::move(filter)),
      fileName_(std::move(fileName)) {}

std::string FileDialog::fileName() const {
    std::lock_guard lock(mutex_);
    return fileName_;
}

void FileDialog::setFileName(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    fileName_ = fileName;
}

bool FileDialog::Execute() {
    Dialogs& dialogs = owner_.dialogs();
    std::optional<std::string> chosen =
        mode_ == Mode::Open ? dialogs.OpenFileName(*this) : dialogs.SaveFileName(*this);
    if (!chosen) return false;
    setFileName(*chosen);
    return true;
}

}  // namespace quillox
