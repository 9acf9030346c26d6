#include "platform/diagnostic_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class DiagnosticLog : public ::testing::Test {
 protected:
  void UseLauncherFolder(const test::TempFolder& folder) { environment_.Set("KORVANE_HOME", folder.Path()); }
  test::TestEnvironment environment_;
  test::TempFolder first_;
  test::TempFolder second_;
};

TEST_F(DiagnosticLog, FollowsTheLauncherFolderAndStartsEachFileAfresh) {
  test::WriteFile(first_ / "log/log.log", "the previous run\n");
  test::WriteFile(second_ / "log/log.log", "the previous run\n");
  UseLauncherFolder(first_);
  LogLine(LogLevel::Info, "one");
  UseLauncherFolder(second_);
  LogLine(LogLevel::Warning, "two");
  UseLauncherFolder(first_);
  LogLine(LogLevel::Error, "three");

  const std::string first = test::ReadFile(first_ / "log/log.log");
  const std::string second = test::ReadFile(second_ / "log/log.log");
  EXPECT_EQ(first.find("previous"), std::string::npos);
  EXPECT_NE(first.find("[info] one\n"), std::string::npos);
  EXPECT_NE(first.find("[error] three\n"), std::string::npos);
  EXPECT_EQ(second.find("previous"), std::string::npos);
  EXPECT_NE(second.find("[warning] two\n"), std::string::npos);
  EXPECT_EQ(second.find("one"), std::string::npos);
}

TEST_F(DiagnosticLog, AFileAnotherProcessStillWritesIsKept) {
  test::WriteFile(first_ / "log/log.log", "another launcher's line\n");
  // What a running launcher holds on its log while it runs.
  const int other = ::open((first_ / "log/log.log").c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_SH), 0);
  UseLauncherFolder(first_);
  LogLine(LogLevel::Info, "mine");
  ::close(other);
  const std::string log = test::ReadFile(first_ / "log/log.log");
  EXPECT_EQ(log.rfind("another launcher's line\n", 0), 0u);
  EXPECT_NE(log.find("[info] mine\n"), std::string::npos);
}

TEST_F(DiagnosticLog, ALinkInTheLogsPlaceIsReplacedAndItsTargetKept) {
  test::WriteFile(second_ / "precious.txt", "keep me");
  test::WriteFile(first_ / "log/placeholder", "");
  ASSERT_EQ(::symlink((second_ / "precious.txt").c_str(), (first_ / "log/log.log").c_str()), 0);
  UseLauncherFolder(first_);
  LogLine(LogLevel::Info, "mine");
  EXPECT_EQ(test::ReadFile(second_ / "precious.txt"), "keep me");
  EXPECT_NE(test::ReadFile(first_ / "log/log.log").find("[info] mine\n"), std::string::npos);
}

}  // namespace
}  // namespace kv
