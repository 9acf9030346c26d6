#include "util/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

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

// The names in a folder, sorted, one a line.
std::string Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  std::string listed;
  for (const std::string& name : names) listed += name + "\n";
  return listed;
}

bool IsLink(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool IsPlainFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TEST(Files, OnlyTheWriteThroughALinkReachesItsTarget) {
  test::TempFolder dir;
  test::WriteFile(dir / "real/settings.ini", "old");
  ASSERT_EQ(::symlink("real/settings.ini", (dir / "link.ini").c_str()), 0);
  ASSERT_EQ(::symlink("link.ini", (dir / "link2.ini").c_str()), 0);
  ASSERT_TRUE(WriteFileThroughLink(dir / "link2.ini", "new"));
  EXPECT_TRUE(IsLink(dir / "link2.ini"));
  EXPECT_TRUE(IsLink(dir / "link.ini"));
  EXPECT_EQ(test::ReadFile(dir / "real/settings.ini"), "new");

  // Every other write makes a file where the link was and leaves the link's target alone.
  test::WriteFile(dir / "outside/victim", "keep me");
  ::chmod((dir / "outside/victim").c_str(), 0600);
  ASSERT_EQ(::symlink("../outside/victim", (dir / "real/result.info").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir / "real/result.info", "written"));
  EXPECT_TRUE(IsPlainFile(dir / "real/result.info"));
  EXPECT_EQ(test::ReadFile(dir / "real/result.info"), "written");
  EXPECT_EQ(test::ReadFile(dir / "outside/victim"), "keep me");
  // Nor does the replacement take the mode of the file the link led to.
  struct stat info {};
  ASSERT_EQ(::stat((dir / "real/result.info").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);

  ASSERT_EQ(::symlink("../outside/victim", (dir / "real/copy.jar").c_str()), 0);
  test::WriteFile(dir / "source.jar", "jar bytes");
  ASSERT_TRUE(CopyFileAtomically(dir / "source.jar", dir / "real/copy.jar"));
  EXPECT_TRUE(IsPlainFile(dir / "real/copy.jar"));
  EXPECT_EQ(test::ReadFile(dir / "real/copy.jar"), "jar bytes");
  EXPECT_EQ(test::ReadFile(dir / "outside/victim"), "keep me");
  EXPECT_FALSE(CopyFileAtomically(dir / "missing.jar", dir / "real/other.jar"));
  EXPECT_FALSE(CopyFileAtomically(dir / "real", dir / "real/other.jar"));
  EXPECT_EQ(Names(dir / "real"), "copy.jar\nresult.info\nsettings.ini\n");
}

TEST(Files, OpeningForWritingReplacesALinkAndRefusesWhatIsNoFile) {
  test::TempFolder dir;
  test::WriteFile(dir / "outside/victim", "keep me");
  ASSERT_EQ(::symlink((dir / "outside/victim").c_str(), (dir / "log").c_str()), 0);
  std::FILE* log = OpenStreamForWriting(dir / "log", WriteStart::Append);
  ASSERT_NE(log, nullptr);
  std::fputs("line\n", log);
  std::fclose(log);
  EXPECT_TRUE(IsPlainFile(dir / "log"));
  EXPECT_EQ(test::ReadFile(dir / "log"), "line\n");
  EXPECT_EQ(test::ReadFile(dir / "outside/victim"), "keep me");

  // A dangling link is no different: the file is made where the link was, not where it led.
  ASSERT_EQ(::symlink((dir / "outside/made-elsewhere").c_str(), (dir / "lock").c_str()), 0);
  const int fd = OpenFileForWriting(dir / "lock", WriteStart::Keep);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(IsPlainFile(dir / "lock"));
  EXPECT_EQ(Names(dir / "outside"), "victim\n");

  log = OpenStreamForWriting(dir / "log", WriteStart::Append);
  ASSERT_NE(log, nullptr);
  std::fputs("more\n", log);
  std::fclose(log);
  EXPECT_EQ(test::ReadFile(dir / "log"), "line\nmore\n");
  log = OpenStreamForWriting(dir / "log", WriteStart::Truncate);
  ASSERT_NE(log, nullptr);
  std::fclose(log);
  EXPECT_EQ(GetFileSize(dir / "log"), 0u);

  // A pipe nobody reads would block the writer for good; a folder cannot be written.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  EXPECT_LT(OpenFileForWriting(dir / "pipe", WriteStart::Truncate), 0);
  EXPECT_EQ(OpenStreamForWriting(dir.Path(), WriteStart::Append), nullptr);
}

TEST(Files, AWriteBelowAFolderNeverPassesThroughALinkedFolder) {
  test::TempFolder dir;
  test::WriteFile(dir / "outside/x", "x");
  test::WriteFile(dir / "instance/.qrx/.cache/icon.png", "png");
  ASSERT_EQ(::symlink("../../outside", (dir / "instance/.qrx/.info").c_str()), 0);
  const std::string instance = dir / "instance/";

  EXPECT_TRUE(CheckNoLinkBetween(instance, instance + ".qrx/.cache/icon.png"));
  EXPECT_TRUE(CheckNoLinkBetween(instance, instance + ".qrx/./.cache/"));
  // Folders that are still missing will be real ones.
  EXPECT_TRUE(CheckNoLinkBetween(dir / "instance", instance + "mods/new/a.jar"));
  // The last step may be a link: the writers replace it.
  EXPECT_TRUE(CheckNoLinkBetween(instance, instance + ".qrx/.info"));

  const Status linked = CheckNoLinkBetween(instance, instance + ".qrx/.info/Matchmod.info");
  ASSERT_FALSE(linked);
  EXPECT_EQ(linked.kind(), FailureKind::Refused);
  EXPECT_EQ(linked.message(), instance + ".qrx/.info/ 是指向别处的链接，不会经由它写入文件");
  EXPECT_FALSE(CheckNoLinkBetween(instance, instance + ".qrx/.info/"));
  EXPECT_EQ(CheckNoLinkBetween(instance, instance + ".qrx/.cache/icon.png/x").kind(), FailureKind::Io);
  EXPECT_EQ(CheckNoLinkBetween(instance, instance + "../outside/x").kind(), FailureKind::Refused);
  EXPECT_EQ(CheckNoLinkBetween(instance, instance + "mods/..").kind(), FailureKind::Refused);
  EXPECT_EQ(CheckNoLinkBetween(instance, dir / "outside/x").kind(), FailureKind::Refused);
  EXPECT_EQ(CheckNoLinkBetween(instance, instance).kind(), FailureKind::Refused);

  // The root itself may be a link: the player put the folder elsewhere.
  ASSERT_EQ(::symlink("instance", (dir / "moved").c_str()), 0);
  EXPECT_TRUE(CheckNoLinkBetween(dir / "moved/", dir / "moved/.qrx/.cache/icon.png"));
}

}  // namespace
}  // namespace kv
