// Whole-file writes: the new bytes or, on failure, the old file and the system's reason.
#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace quillox::test {
namespace {

TEST(WriteFileAtomicallyTest, ReplacesTheFileOrKeepsTheOldOneAndSaysWhy) {
    TempDir dir;
    const std::filesystem::path file = dir.path() / "0192.ini";
    WriteFileBytes(file, "old");
    ASSERT_TRUE(WriteFileAtomically(file.string(), "new\r\n"));
    EXPECT_EQ(ReadFileBytes(file), "new\r\n");

    const FileWriteResult missingFolder =
        WriteFileAtomically((dir.path() / "no" / "x.ini").string(), "x");
    EXPECT_FALSE(missingFolder);
    EXPECT_EQ(missingFolder.error, "No such file or directory");

    std::filesystem::create_directory(dir.path() / "folder");
    EXPECT_FALSE(WriteFileAtomically((dir.path() / "folder").string(), "x"))
        << "a folder is never replaced";
    EXPECT_EQ(ReadFileBytes(file), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace quillox::test
