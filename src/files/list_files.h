#pragma once
// List files: the text of a frequency or symbol-rate list, one value per line, CR LF ends.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillox {

// Longest text a list load takes from a file, counting a CR LF pair as one character.
inline constexpr size_t kListFileCharacterLimit = 4096;

// True for an existing file; a folder does not count.
bool ListFileExists(const std::string& path);
// The list text of a file: its first 4096 characters with CR LF read as one line end, cut at
// the first NUL. nullopt when the file cannot be opened or read.
std::optional<std::string> ReadListText(const std::string& path);
// Writes the lines, each ended by CR LF, creating or truncating the file; false on failure.
bool WriteListLines(const std::string& path, const std::vector<std::string>& lines);

// The lines that `keep` accepts, in order, and how many it refused. `keep` sees each line's
// value as a 32-bit integer, -1 for a line that is no integer.
struct ListPruning {
    std::vector<std::string> kept;
    int deleted = 0;
};
ListPruning PruneList(const std::vector<std::string>& lines,
                      const std::function<bool(int32_t)>& keep);

}  // namespace quillox
