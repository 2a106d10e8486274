#include "files/list_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "base/number_text.h"

namespace quillox {
namespace {

// Raw bytes enough for the character limit even if every character is a CR LF pair, plus one
// byte to see whether a CR at the edge is followed by its LF.
constexpr size_t kRawReadLimit = 2 * kListFileCharacterLimit + 1;

std::optional<std::string> ReadRawPrefix(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string raw(kRawReadLimit, '\0');
    size_t size = 0;
    bool failed = false;
    while (size < raw.size()) {
        const ssize_t got = ::read(fd, raw.data() + size, raw.size() - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed = true;
        if (got <= 0) break;
        size += static_cast<size_t>(got);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    raw.resize(size);
    return raw;
}

}  // namespace

bool ListFileExists(const std::string& path) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::optional<std::string> ReadListText(const std::string& path) {
    std::optional<std::string> raw = ReadRawPrefix(path);
    if (!raw) return std::nullopt;
    std::string text;
    for (size_t i = 0; i < raw->size() && text.size() < kListFileCharacterLimit; ++i) {
        const char c = (*raw)[i];
        if (c == '\0') break;
        if (c == '\r' && i + 1 < raw->size() && (*raw)[i + 1] == '\n') {
            text += '\n';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

bool WriteListLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    return !out.fail();
}

ListPruning PruneList(const std::vector<std::string>& lines,
                      const std::function<bool(int32_t)>& keep) {
    ListPruning result;
    for (const std::string& line : lines) {
        if (keep(LenientInt(line)))
            result.kept.push_back(line);
        else
            ++result.deleted;
    }
    return result;
}

}  // namespace quillox
