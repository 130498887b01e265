#include "base/filesystem.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Paths, JoinAndSplit) {
  EXPECT_EQ(JoinWindowsPath("C:\\Data", "a.kvc"), "C:\\Data\\a.kvc");
  EXPECT_EQ(JoinWindowsPath("C:\\Data\\", "a.kvc"), "C:\\Data\\a.kvc");
  EXPECT_EQ(JoinWindowsPath("C:", "My Locations.dat"), "C:\\My Locations.dat");
  EXPECT_EQ(JoinWindowsPath("", "a"), "a");
  EXPECT_EQ(FolderOf("C:\\Data\\a.kvc"), "C:\\Data");
  EXPECT_EQ(FolderOf("a.kvc"), "");
  EXPECT_EQ(FileNameOf("C:\\Data\\a.kvc"), "a.kvc");
  EXPECT_EQ(FileNameOf("a.kvc"), "a.kvc");
}

TEST(Paths, DoubleByteNamesKeepTheirTrailBytes) {
  // Shift-JIS: 0x95 0x5C is one character whose second byte looks like a backslash.
  const std::string path = "C:\\\x95\x5C\\a.kvc";
  SetLeadByteTest([](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); });
  EXPECT_EQ(FolderOf(path), "C:\\\x95\x5C");
  EXPECT_EQ(FileNameOf("C:\\\x95\x5C"), "\x95\x5C");
  SetLeadByteTest(nullptr);
  EXPECT_EQ(FileNameOf("C:\\\x95\x5C"), "");
}

// The first-start tests rely on the in-memory disk never writing over a file.
TEST(MemoryFiles, BehavesLikeADisk) {
  MemoryFileSystem fs;
  EXPECT_FALSE(fs.CreateFolder("C:\\A\\B"));  // no parent
  EXPECT_TRUE(fs.CreateFolder("C:\\A"));
  EXPECT_TRUE(fs.CreateFolder("C:\\a"));      // already there, in any case
  EXPECT_TRUE(fs.WriteAll("C:\\A\\f.txt", {1, 2}));
  EXPECT_TRUE(fs.FileExists("c:\\a\\F.TXT"));
  EXPECT_FALSE(fs.CopyNew("C:\\A\\f.txt", "C:\\A\\f.txt"));
  EXPECT_TRUE(fs.CopyNew("C:\\A\\f.txt", "C:\\A\\g.txt"));
  EXPECT_FALSE(fs.Move("C:\\A\\f.txt", "C:\\A\\g.txt"));  // never over an existing file
  EXPECT_TRUE(fs.Move("C:\\A", "C:\\Z"));
  EXPECT_EQ(*fs.ReadAll("C:\\Z\\g.txt"), (std::vector<uint8_t>{1, 2}));
  fs.SetWritesFail(true);
  EXPECT_FALSE(fs.WriteAll("C:\\Z\\g.txt", {}));
  EXPECT_EQ(fs.ReadAll("C:\\Z\\g.txt")->size(), 2u);
}

}  // namespace
}  // namespace kv
