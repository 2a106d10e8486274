// The ini file underneath Settings.ini: lookups, defaults, preservation, odd content.
#include "files/profile_file.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"

namespace quillox {
namespace {

TEST(ProfileFileTest, LooksUpCaseInsensitivelyAndFallsBackToDefaults) {
    const ProfileFile file = ProfileFile::Parse(
        "Top=1\n[form]\n  TOP = 12 \nleft=x\nTop=99\n; Left=5\n[Other]\nNum=-7\nOn=2\nOff=0");
    EXPECT_EQ(file.ReadInteger("Form", "Top", 100), 12);    // first key wins, blanks trimmed
    EXPECT_EQ(file.ReadInteger("Form", "Left", 100), 100);  // not an integer
    EXPECT_EQ(file.ReadString("FORM", "left", "d"), "x");
    EXPECT_EQ(file.ReadString("Form", "Missing", "d"), "d");
    EXPECT_EQ(file.ReadString("Nowhere", "Top", "d"), "d");  // lines before a header are no keys
    EXPECT_EQ(file.ReadInteger("Other", "Num", 0), -7);
    EXPECT_TRUE(file.ReadBool("Other", "On", false));
    EXPECT_FALSE(file.ReadBool("Other", "Off", true));
    EXPECT_TRUE(file.ReadBool("Other", "Absent", true));
}

TEST(ProfileFileTest, WritesInPlaceAppendsToSectionsAndKeepsEverythingElse) {
    ProfileFile file = ProfileFile::Parse(
        "; made by hand\n[A]\nx=1\nkeep=me\n\n[B]\ny=2\n\x01garbage\xff\n[Broken\n");
    file.WriteString("a", "X", "10");
    file.WriteString("A", "z", "new");
    file.WriteInteger("C", "n", 3);
    file.WriteString("B", "text", "two\r\nlines");
    EXPECT_EQ(file.Serialize(),
              "; made by hand\r\n[A]\r\nX=10\r\nkeep=me\r\nz=new\r\n\r\n[B]\r\ny=2\r\n"
              "\x01garbage\xff\r\n[Broken\r\ntext=two  lines\r\n[C]\r\nn=3\r\n");
    EXPECT_EQ(ProfileFile::Parse(file.Serialize()).ReadString("b", "TEXT", ""), "two  lines");
}

TEST(ProfileFileTest, EmptyMissingAndTruncatedFilesReadAsDefaults) {
    test::TempDir dir;
    EXPECT_EQ(ProfileFile::Load(dir.str() + "none.ini").ReadInteger("Form", "Top", 100), 100);
    EXPECT_EQ(ProfileFile::Parse("").Serialize(), "");
    const ProfileFile truncated = ProfileFile::Parse("[Form]\r\nTop=4\r\nLef");
    EXPECT_EQ(truncated.ReadInteger("Form", "Top", 100), 4);
    EXPECT_EQ(truncated.ReadInteger("Form", "Left", 100), 100);
    EXPECT_EQ(truncated.Serialize(), "[Form]\r\nTop=4\r\nLef\r\n");
}

TEST(ProfileFileTest, SaveCreatesTheFolderAndReplacesTheFileWhole) {
    test::TempDir dir;
    const std::string path = dir.str() + "cfg/quillox/Settings.ini";
    ProfileFile file;
    file.WriteBool("Freq_r23", "Vert", true);
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(test::ReadFileBytes(path), "[Freq_r23]\r\nVert=1\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    test::WriteFileBytes(dir.path() / "blocker", "");
    EXPECT_FALSE(file.Save(dir.str() + "blocker/Settings.ini"));  // a file where a folder should be
}

}  // namespace
}  // namespace quillox
