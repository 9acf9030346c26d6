#include "util/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

TEST(Files, WildcardsAreLiteral) {
  test::TempFolder dir;
  test::WriteFile(dir / "abc.txt", "x");
  EXPECT_TRUE(PathExists(dir / "abc.txt"));
  EXPECT_FALSE(PathExists(dir / "*.txt"));
  EXPECT_FALSE(PathExists(dir / "ab?.txt"));
  test::WriteFile(dir / "*.txt", "y");
  EXPECT_TRUE(PathExists(dir / "*.txt"));
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_FALSE(PathExists(""));
}

TEST(Files, SizeOfMissingAndEmptyFilesIsZero) {
  test::TempFolder dir;
  test::WriteFile(dir / "empty", "");
  test::WriteFile(dir / "five", "12345");
  EXPECT_EQ(GetFileSize(dir / "missing"), 0u);
  EXPECT_EQ(GetFileSize(dir / "empty"), 0u);
  EXPECT_EQ(GetFileSize(dir / "five"), 5u);
  EXPECT_EQ(GetFileSize(dir.Path()), 0u);
  // A long path is no reason to report a present file as missing.
  std::string deep = dir.Path() + std::string(200, 'd') + "/" + std::string(200, 'f');
  test::WriteFile(deep, "abc");
  EXPECT_EQ(GetFileSize(deep), 3u);
}

TEST(Files, ReadWholeFile) {
  test::TempFolder dir;
  test::WriteFile(dir / "empty", "");
  test::WriteFile(dir / "data", std::string("a\0b", 3));
  EXPECT_FALSE(ReadWholeFile(dir / "empty"));
  EXPECT_FALSE(ReadWholeFile(dir / "missing"));
  EXPECT_EQ(ReadWholeFile(dir / "data"), std::string("a\0b", 3));
  // A folder where a file belongs (or a device) is unreadable, never a crash or a wait.
  EXPECT_FALSE(ReadWholeFile(dir.Path()));
  EXPECT_FALSE(ReadWholeFile("/dev/null"));
}

TEST(Files, SplitPathAppends) {
  std::string folder = "<";
  std::string name = ">";
  SplitPath("C:\\Games\\.minecraft/libraries/x.jar", folder, name);
  EXPECT_EQ(folder, "<C:\\Games\\.minecraft/libraries/");
  EXPECT_EQ(name, ">x.jar");
  folder.clear();
  name.clear();
  SplitPath("plain", folder, name);
  EXPECT_EQ(folder, "");
  EXPECT_EQ(name, "plain");
  folder.clear();
  name.clear();
  SplitPath("/a/b/", folder, name);
  EXPECT_EQ(folder, "/a/b/");
  EXPECT_EQ(name, "");
}

TEST(Files, MakeFoldersForPathCreatesOnlyTheFolderPart) {
  test::TempFolder dir;
  MakeFoldersForPath(dir / "a\\b/c.txt");
  EXPECT_TRUE(PathExists(dir / "a/b"));
  EXPECT_FALSE(PathExists(dir / "a/b/c.txt"));
  MakeFoldersForPath(dir / "x/y/");
  EXPECT_TRUE(PathExists(dir / "x/y"));
  MakeFoldersForPath(dir / "p/q");
  EXPECT_TRUE(PathExists(dir / "p"));
  EXPECT_FALSE(PathExists(dir / "p/q"));
  EXPECT_TRUE(MakeFoldersForPath(dir / "a/b/c.txt"));  // all present: nothing to do
}

TEST(Files, AtomicWriteReplacesAndKeepsMode) {
  test::TempFolder dir;
  std::string file = dir / "f";
  ASSERT_TRUE(WriteFileAtomically(file, "one", 0600));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_TRUE(WriteFileAtomically(file, "two"));
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(test::ReadFile(file), "two");
  EXPECT_FALSE(WriteFileAtomically(dir / "missing/f", "x"));
}

TEST(Files, AtomicWriteThroughALinkKeepsTheLink) {
  test::TempFolder dir;
  test::WriteFile(dir / "real/settings.ini", "old");
  ASSERT_EQ(::symlink("real/settings.ini", (dir / "link.ini").c_str()), 0);
  ASSERT_EQ(::symlink("link.ini", (dir / "link2.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir / "link2.ini", "new"));
  struct stat info {};
  ASSERT_EQ(::lstat((dir / "link2.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(::lstat((dir / "link.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(test::ReadFile(dir / "real/settings.ini"), "new");
}

}  // namespace
}  // namespace kv
