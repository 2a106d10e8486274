#include "device/dvb/frontend_users.h"

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillox::dvb {
namespace {

namespace fs = std::filesystem;

bool IsNumber(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The open flags of one descriptor, from its fdinfo ("flags:\t0100002", octal); -1 if unknown.
long OpenFlags(const fs::path& fdinfo) {
    std::ifstream in(fdinfo);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("flags:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 8);
    return -1;
}

std::string CommandName(const fs::path& processDir) {
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace

FrontendUsers FindFrontendWriters(const std::string& nodePath, const std::string& procRoot) {
    FrontendUsers users;
    std::error_code ec;
    const fs::path node = fs::weakly_canonical(nodePath, ec);
    for (const auto& process : fs::directory_iterator(procRoot, ec)) {
        const std::string pid = process.path().filename().string();
        if (!IsNumber(pid)) continue;
        std::error_code fdError;
        fs::directory_iterator fds(process.path() / "fd", fdError);
        if (fdError) {
            // Gone meanwhile (ENOENT) is nothing; anything else is a process we cannot see into.
            if (fdError != std::errc::no_such_file_or_directory) ++users.unchecked;
            continue;
        }
        for (const auto& fd : fds) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd.path(), linkError);
            if (linkError || (target != nodePath && target != node)) continue;
            const long flags = OpenFlags(process.path() / "fdinfo" / fd.path().filename());
            if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) {
                users.writers.push_back(pid + " (" + CommandName(process.path()) + ")");
                break;
            }
        }
    }
    return users;
}

}  // namespace quillox::dvb
