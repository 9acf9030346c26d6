#include "platform/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

std::string ReadAll(ChildProcess& child) {
  std::string out;
  char buffer[4096];
  while (std::size_t n = child.ReadOutput(buffer, sizeof buffer)) out.append(buffer, n);
  return out;
}

TEST(ChildProcess, JoinsBothStreamsRunsInTheFolderAndReportsTheStatus) {
  test::TempFolder dir;
  std::string error;
  auto child = ChildProcess::Start({"/bin/sh", "-c", "echo out; echo err >&2; pwd; exit 7"},
                                   dir.Path(), error);
  ASSERT_TRUE(child) << error;
  std::string out = ReadAll(*child);
  EXPECT_NE(out.find("out\n"), std::string::npos);
  EXPECT_NE(out.find("err\n"), std::string::npos);
  std::string folder = dir.Path();
  folder.pop_back();
  EXPECT_NE(out.find(folder + "\n"), std::string::npos);
  EXPECT_EQ(child->Wait(), 7);
}

TEST(ChildProcess, ArgumentsReachTheProgramUntouched) {
  test::TempFolder dir;
  std::string error;
  const std::string hostile = "a\"; touch " + dir.Path() + "pwned #";
  auto child = ChildProcess::Start({"/usr/bin/printf", "[%s]", hostile, "with space", ""}, "", error);
  ASSERT_TRUE(child) << error;
  EXPECT_EQ(ReadAll(*child), "[" + hostile + "][with space][]");
  EXPECT_EQ(child->Wait(), 0);
  EXPECT_FALSE(test::ReadFile(dir / "pwned").size());
  EXPECT_EQ(::access((dir / "pwned").c_str(), F_OK), -1);
}

TEST(ChildProcess, NothingButTheStandardDescriptorsLeaks) {
  // A descriptor without close-on-exec, numbered clear of what ls itself opens.
  int opened = ::open("/dev/null", O_RDONLY);
  int leaked = ::dup2(opened, 57);
  ::close(opened);
  ASSERT_EQ(leaked, 57);
  std::string error;
  auto child = ChildProcess::Start({"/bin/sh", "-c", "ls /proc/self/fd"}, "", error);
  ASSERT_TRUE(child) << error;
  std::string out = ReadAll(*child);
  child->Wait();
  ::close(leaked);
  EXPECT_EQ(out.find(std::to_string(leaked) + "\n"), std::string::npos) << out;
}

TEST(ChildProcess, OutputEndsOnlyWhenEveryHolderHasExited) {
  std::string error;
  auto start = std::chrono::steady_clock::now();
  // The shell exits at once; its background child keeps the pipe for a moment longer.
  auto child = ChildProcess::Start({"/bin/sh", "-c", "(sleep 0.4; echo late) & echo early"}, "", error);
  ASSERT_TRUE(child) << error;
  std::string out = ReadAll(*child);
  EXPECT_EQ(out, "early\nlate\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(350));
  EXPECT_EQ(child->Wait(), 0);
}

TEST(ChildProcess, AQuietProgramCanBeWaitedForWithALimitAndKilled) {
  std::string error;
  auto child = ChildProcess::Start({"/bin/sh", "-c", "echo first; exec sleep 600"}, "", error);
  ASSERT_TRUE(child) << error;
  char buffer[64];
  std::string out;
  std::optional<std::size_t> got;
  while ((got = child->ReadOutputFor(buffer, sizeof buffer, std::chrono::milliseconds(300))) && *got > 0) {
    out.append(buffer, *got);
  }
  EXPECT_EQ(out, "first\n");
  EXPECT_FALSE(got.has_value());
  child->Kill();
  EXPECT_EQ(child->Wait(), 128 + 9);
}

TEST(ChildProcess, AFailedStartSaysWhy) {
  std::string error;
  EXPECT_FALSE(ChildProcess::Start({"/nonexistent/java", "-version"}, "", error));
  EXPECT_NE(error.find("/nonexistent/java"), std::string::npos);
  EXPECT_FALSE(ChildProcess::Start({}, "", error));
  EXPECT_FALSE(ChildProcess::Start({"/bin/true"}, "/nonexistent-folder", error));
}

}  // namespace
}  // namespace kv
