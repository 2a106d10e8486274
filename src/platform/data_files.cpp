#include "platform/data_files.h"

#include <filesystem>

namespace quillox {
namespace {

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

std::string InstalledDataDir(const std::string& programDir) {
    std::error_code ignored;
    const std::filesystem::path dir = std::filesystem::weakly_canonical(
        std::filesystem::path(programDir) / QUILLOX_BIN_TO_DATA, ignored);
    if (programDir.empty() || !std::filesystem::is_directory(dir, ignored)) return "";
    return dir.string() + "/";
}

std::string FindDataFile(const std::string& programDir, const std::string& dataDir,
                         const std::string& relative) {
    for (const std::string& folder : {programDir, dataDir})
        if (!folder.empty() && IsFile(folder + relative)) return folder + relative;
    return "";
}

std::string ResolveSatelliteTable(const std::string& name, const std::string& programDir,
                                  const std::string& dataDir) {
    if (name.empty() || name.find('/') != std::string::npos || IsFile(name)) return name;
    for (const std::string& file : {name, name + ".csv"})
        if (std::string found = FindDataFile(programDir, dataDir, "satellites/" + file);
            !found.empty())
            return found;
    return name;
}

}  // namespace quillox
