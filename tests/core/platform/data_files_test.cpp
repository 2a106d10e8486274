// Data files beside the executable win over the installed ones; tables may be named alone.
#include "platform/data_files.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

TEST(DataFilesTest, BesideTheProgramWinsThenTheInstalledFolder) {
    TempDir root;
    const std::filesystem::path bin = root.path() / "bin", data = root.path() / "share/quillox";
    std::filesystem::create_directories(bin / "satellites");
    std::filesystem::create_directories(data / "satellites");
    WriteFileBytes(data / "satellites/0192E.csv", "installed");
    WriteFileBytes(data / "satellites/0130E.csv", "installed");
    WriteFileBytes(bin / "satellites/0130E.csv", "beside");
    const std::string programDir = bin.string() + "/";
    const std::string dataDir = InstalledDataDir(programDir);
    EXPECT_EQ(dataDir, data.string() + "/");

    EXPECT_EQ(ResolveSatelliteTable("0192E", programDir, dataDir),
              (data / "satellites/0192E.csv").string());
    EXPECT_EQ(ResolveSatelliteTable("0130E.csv", programDir, dataDir),
              (bin / "satellites/0130E.csv").string());
    for (const std::string kept : {"", "my/0192E", "9999E"})
        EXPECT_EQ(ResolveSatelliteTable(kept, programDir, dataDir), kept) << "a path or unknown";
    EXPECT_EQ(InstalledDataDir((data / "").string()), "") << "no share/quillox above it";
}

}  // namespace
}  // namespace quillox::test
