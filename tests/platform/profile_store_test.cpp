#include "platform/profile_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class ProfileStore : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    test::WriteFile(file_, bytes);
    return file_;
  }
  std::string Get(const char* section, const char* key, const char* fallback = "<none>") {
    return profile::GetString(file_, section, key, fallback);
  }

  test::TempFolder dir_;
  std::string file_ = dir_ / "KvCfg.ini";
};

TEST_F(ProfileStore, NamesIgnoreCaseAndBlanksAndFirstMatchWins) {
  Write("[KvCfg]\r\n  userName  =  first value  \r\nUSERNAME=second\r\n"
        "[kvcfg]\r\nOther=in second section\r\n");
  EXPECT_EQ(Get(" KVCFG ", "username"), "first value");
  // A section that appears twice: only the first one is read.
  EXPECT_EQ(Get("KvCfg", "Other"), "<none>");
  EXPECT_EQ(Get("Missing", "UserName", "dflt"), "dflt");
  EXPECT_EQ(Get("KvCfg", "Missing", ""), "");
}

TEST_F(ProfileStore, QuotesAreRemovedOnlyInMatchingPairs) {
  Write("[S]\na=\"quoted value\"\nb='single'\nc=\"open\nd=\"mixed'\ne=\"\"\n");
  EXPECT_EQ(Get("S", "a"), "quoted value");
  EXPECT_EQ(Get("S", "b"), "single");
  EXPECT_EQ(Get("S", "c"), "\"open");
  EXPECT_EQ(Get("S", "d"), "\"mixed'");
  EXPECT_EQ(Get("S", "e"), "");
}

TEST_F(ProfileStore, EveryWrittenValueReadsBackAsWritten) {
  // Reading trims blanks and drops a pair of enclosing quotes, so such values are stored
  // inside double quotes; a launcher built for Windows reads them back the same way.
  const std::vector<std::string> values = {"'single'", "\"-Dname=a b\"", "  lead", "trail\t",
                                           "\"", "'", "\"mixed'", "plain", ""};
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_TRUE(profile::WriteString(file_, "S", "k" + std::to_string(i), values[i]));
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(profile::GetString(file_, "S", "k" + std::to_string(i), "<none>"), values[i]) << i;
  }
  EXPECT_EQ(test::ReadFile(file_),
            "[S]\r\nk0=\"'single'\"\r\nk1=\"\"-Dname=a b\"\"\r\nk2=\"  lead\"\r\nk3=\"trail\t\"\r\n"
            "k4=\"\r\nk5='\r\nk6=\"mixed'\r\nk7=plain\r\nk8=\r\n");
}

TEST_F(ProfileStore, ValuesAreReadWhole) {
  std::string chinese;
  for (int i = 0; i < 300; ++i) chinese += "汉";
  ASSERT_TRUE(profile::WriteString(file_, "S", "long", std::string(2000, 'x')));
  ASSERT_TRUE(profile::WriteString(file_, "S", "wide", chinese));
  EXPECT_EQ(Get("S", "long"), std::string(2000, 'x'));
  EXPECT_EQ(Get("S", "wide"), chinese);
}

TEST_F(ProfileStore, IntegersReadAsAtoiDoes) {
  Write("[S]\na=42\nb= -7xyz\nc=abc\nd=\ne=99999999999\nf=+3\n");
  EXPECT_EQ(profile::GetInt(file_, "S", "a", 5), 42);
  EXPECT_EQ(profile::GetInt(file_, "S", "b", 5), -7);
  EXPECT_EQ(profile::GetInt(file_, "S", "c", 5), 0);
  EXPECT_EQ(profile::GetInt(file_, "S", "d", 5), 5);
  EXPECT_EQ(profile::GetInt(file_, "S", "e", 5), 2147483647);
  EXPECT_EQ(profile::GetInt(file_, "S", "f", 5), 3);
  EXPECT_EQ(profile::GetInt(file_, "S", "missing", 5), 5);
  EXPECT_EQ(profile::GetInt(dir_ / "no-file.ini", "S", "a", 9), 9);
}

TEST_F(ProfileStore, WritesKeepUntouchedLinesAndAppendNewOnes) {
  Write("; written by hand\r\n[A]\r\nx=1\r\nweird line\r\n\r\n[B]\r\ny=2\r\n");
  ASSERT_TRUE(profile::WriteString(file_, "a", "X", "one"));
  ASSERT_TRUE(profile::WriteString(file_, "A", "z", "3"));
  ASSERT_TRUE(profile::WriteString(file_, "C", "w", "4"));
  EXPECT_EQ(test::ReadFile(file_),
            "; written by hand\r\n[A]\r\nX=one\r\nweird line\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST_F(ProfileStore, NullValueDeletesKeyAndNullKeyDeletesSection) {
  Write("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  ASSERT_TRUE(profile::WriteString(file_, "A", "x", std::nullopt));
  ASSERT_TRUE(profile::DeleteSection(file_, "b"));
  ASSERT_TRUE(profile::DeleteSection(file_, "not there"));
  EXPECT_EQ(test::ReadFile(file_), "[A]\ny=2\n[C]\nw=4\n");
}

TEST_F(ProfileStore, ValuesThatWouldBreakTheFileAreRefused) {
  Write("[A]\nx=1\n");
  EXPECT_FALSE(profile::WriteString(file_, "A", "x", "1\r\n[Evil]\r\nx=2"));
  EXPECT_FALSE(profile::WriteString(file_, "A", "k=v", "1"));
  EXPECT_FALSE(profile::WriteString(file_, "A]", "x", "1"));
  EXPECT_EQ(test::ReadFile(file_), "[A]\nx=1\n");
}

TEST_F(ProfileStore, NewFileIsAnsiWithCrLfAndPrivate) {
  ASSERT_TRUE(profile::WriteString(file_, "KvCfg", "GamePath", "D:\\游戏\\"));
  EXPECT_EQ(test::ReadFile(file_), "[KvCfg]\r\nGamePath=D:\\\xD3\xCE\xCF\xB7\\\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  // A file made readable by others is private again after the next write.
  ::chmod(file_.c_str(), 0644);
  ASSERT_TRUE(profile::WriteString(file_, "KvCfg", "x", "y"));
  ASSERT_EQ(::stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ProfileStore, KeepsUtf16AndUtf8FilesInTheirEncoding) {
  std::string utf16 = std::string("\xFF\xFE", 2) +
                      std::string("[\0S\0]\0\n\0k\0=\0\x38\x6E\n\0", 16);
  Write(utf16);
  EXPECT_EQ(Get("S", "k"), "游");
  ASSERT_TRUE(profile::WriteString(file_, "S", "k", "A"));
  EXPECT_EQ(test::ReadFile(file_), std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0A\0\n\0", 18));

  Write("\xEF\xBB\xBF[S]\nk=游\n");
  EXPECT_EQ(Get("S", "k"), "游");
  ASSERT_TRUE(profile::WriteString(file_, "S", "j", "戏"));
  EXPECT_EQ(test::ReadFile(file_), "\xEF\xBB\xBF[S]\nk=游\nj=戏\n");
}

TEST_F(ProfileStore, LinesAWriteDoesNotChangeKeepTheirBytes) {
  // A name typed as UTF-8 into a GBK file, a stray byte, mixed line ends: none of it is the
  // write's business.
  const std::string before = "[KvInstance1]\r\nInstanceName=\xE6\xB8\xB8\r\nbroken=\xFF\xFE\x80\n[S]\r\nk=1\r\n";
  Write(before);
  ASSERT_TRUE(profile::WriteString(file_, "S", "k", "游"));
  EXPECT_EQ(test::ReadFile(file_),
            "[KvInstance1]\r\nInstanceName=\xE6\xB8\xB8\r\nbroken=\xFF\xFE\x80\n[S]\r\nk=\xD3\xCE\r\n");
}

TEST_F(ProfileStore, AFileWithoutByteOrderMarkInUtf8StaysUtf8) {
  Write("[KvInstance1]\nInstanceName=生存\n");
  EXPECT_EQ(Get("KvInstance1", "InstanceName"), "生存");
  ASSERT_TRUE(profile::WriteString(file_, "KvInstance2", "InstanceName", "创造😀"));
  EXPECT_EQ(test::ReadFile(file_), "[KvInstance1]\nInstanceName=生存\n[KvInstance2]\nInstanceName=创造😀\n");
  EXPECT_TRUE(profile::CanHold(file_, "😀"));
}

TEST_F(ProfileStore, AFewStrayBytesLeaveAUtf8FileUtf8AndStayOnRewrite) {
  // A byte from an editor that was not UTF-8 in two places, one of them a value that is
  // written back unchanged.
  const std::string before =
      "[KvInstance1]\nInstanceName=我的世界\nInstanceVersion=1.20.1\n[KvCfg]\nLaunchParameters=-Dx=\xB1\n; \xFF\n";
  Write(before);
  EXPECT_EQ(Get("KvInstance1", "InstanceName"), "我的世界");
  const std::string parameters = Get("KvCfg", "LaunchParameters");
  EXPECT_EQ(parameters, "-Dx=\xEF\xBF\xBD");
  ASSERT_TRUE(profile::WriteStrings(file_, {{"KvCfg", "LaunchParameters", parameters},
                                            {"KvInstance1", "InstanceName", "我的世界"},
                                            {"KvInstance2", "InstanceName", "生存"}}));
  EXPECT_EQ(test::ReadFile(file_), before + "[KvInstance2]\nInstanceName=生存\n");
}

TEST_F(ProfileStore, AShortWindowsNameThatHappensToBeValidUtf8StaysInTheWindowsCodePage) {
  Write("[KvInstance1]\r\nInstanceName=\xC8\xAB\r\n");  // 全, as the Windows build wrote it
  EXPECT_EQ(Get("KvInstance1", "InstanceName"), "全");
}

TEST_F(ProfileStore, TextTheFileCannotHoldIsRefused) {
  Write("[S]\r\nk=1\r\n");
  EXPECT_TRUE(profile::CanHold(file_, "游戏"));
  EXPECT_FALSE(profile::CanHold(file_, "游戏😀"));
  EXPECT_FALSE(profile::CanHold(dir_ / "new.ini", "😀"));
  EXPECT_FALSE(profile::WriteString(file_, "S", "k", "游戏😀"));
  EXPECT_FALSE(profile::WriteString(file_, "S😀", "k", "1"));
  EXPECT_EQ(test::ReadFile(file_), "[S]\r\nk=1\r\n");
}

TEST_F(ProfileStore, ALinkStaysALinkAndAFolderIsNoFile) {
  test::WriteFile(dir_ / "shared/KvCfg.ini", "[S]\nk=1\n");
  const std::string link = dir_ / "link.ini";
  ASSERT_EQ(::symlink((dir_ / "shared/KvCfg.ini").c_str(), link.c_str()), 0);
  ASSERT_TRUE(profile::WriteString(link, "S", "k", "2"));
  // Asking whether the file can hold a text takes no lock on the file itself.
  EXPECT_TRUE(profile::CanHold(link, "游戏"));
  struct stat info {};
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(test::ReadFile(dir_ / "shared/KvCfg.ini"), "[S]\nk=2\n");

  const std::string folder = dir_ / "folder.ini";
  ::mkdir(folder.c_str(), 0700);
  EXPECT_EQ(profile::GetString(folder, "S", "k", "<none>"), "<none>");
  EXPECT_FALSE(profile::WriteString(folder, "S", "k", "1"));
}

TEST_F(ProfileStore, ALinkInTheLockFilesPlaceMakesNoFileElsewhere) {
  Write("[S]\nk=1\n");
  ASSERT_EQ(::symlink((dir_ / "elsewhere/made").c_str(), (file_ + ".lock").c_str()), 0);
  ::mkdir((dir_ / "elsewhere").c_str(), 0700);
  ASSERT_TRUE(profile::WriteString(file_, "S", "k", "2"));
  EXPECT_EQ(Get("S", "k"), "2");
  struct stat info {};
  EXPECT_NE(::lstat((dir_ / "elsewhere/made").c_str(), &info), 0);
  ASSERT_EQ(::lstat((file_ + ".lock").c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST_F(ProfileStore, FileWithoutFinalLineEnd) {
  Write("[S]\nk=1");
  ASSERT_TRUE(profile::WriteString(file_, "S", "j", "2"));
  EXPECT_EQ(test::ReadFile(file_), "[S]\nk=1\nj=2\n");
}

TEST_F(ProfileStore, FailedWriteLeavesTheFileAlone) {
  Write("[S]\nk=1\n");
  ::chmod(dir_.Path().c_str(), 0500);
  bool written = profile::WriteString(file_, "S", "k", "2");
  ::chmod(dir_.Path().c_str(), 0700);
  if (::geteuid() != 0) {
    EXPECT_FALSE(written);  // root may write anyway
  }
  if (!written) {
    EXPECT_EQ(test::ReadFile(file_), "[S]\nk=1\n");
  }
}

TEST_F(ProfileStore, ConcurrentWritersLoseNothing) {
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([this, t] {
      for (int i = 0; i < 25; ++i) {
        profile::WriteString(file_, "T" + std::to_string(t), "k" + std::to_string(i), std::to_string(i));
      }
    });
  }
  for (auto& writer : writers) writer.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 25; ++i) {
      EXPECT_EQ(profile::GetInt(file_, "T" + std::to_string(t), "k" + std::to_string(i), -1), i);
    }
  }
}

}  // namespace
}  // namespace kv
