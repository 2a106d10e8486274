#pragma once
// Writing a whole file so that a failed or interrupted write never leaves half a file and never
// destroys the file that was there: the bytes go to a temporary file beside the target, which
// is then renamed over it.
#include <string>

namespace quillox {

struct FileWriteResult {
    bool ok = false;
    std::string error;  // the system's reason when not ok, e.g. "Permission denied"
    explicit operator bool() const { return ok; }
};

FileWriteResult WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace quillox
