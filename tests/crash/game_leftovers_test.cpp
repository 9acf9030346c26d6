// What a crashed game left in its folder: only what it wrote during the run, reports first.
#include "crash/game_leftovers.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<CrashSource>& sources) {
  std::vector<std::string> names;
  for (const CrashSource& source : sources) names.push_back(source.name);
  return names;
}

class GameLeftovers : public ::testing::Test {
 protected:
  // A file the game left before this run.
  void WriteEarlier(const std::string& name, const std::string& bytes) {
    test::WriteFile(game_ / name, bytes);
    fs::last_write_time(game_ / name, started_ - std::chrono::hours(1));
  }

  test::TempFolder game_;
  const fs::file_time_type started_ = fs::file_time_type::clock::now();
};

TEST_F(GameLeftovers, ReportsAndFatalErrorLogsOfThisRunComeBeforeTheOutput) {
  WriteEarlier("crash-reports/crash-2023-01-01_10.00.00-client.txt", "---- Minecraft Crash Report ----\nold\n");
  WriteEarlier("hs_err_pid1.log", "old\n");
  test::WriteFile(game_ / "crash-reports/crash-2024-05-05_12.00.00-client.txt",
                  test::ReadFixture("crash-logs/hmcl/crash-report/out_of_memory.txt"));
  test::WriteFile(game_ / "crash-reports/readme.md", "not a report\n");
  // Written in GBK, as a JVM on a Chinese Windows writes it.
  test::WriteFile(game_ / "hs_err_pid4092.log", "# \xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3\n");
  test::WriteFile(game_ / "logs/game-latest.log", "[main/INFO]: started\n");

  const std::vector<CrashSource> sources = CollectGameLeftovers(game_ / "logs/game-latest.log", game_.Path(), started_);
  EXPECT_EQ(Names(sources), (std::vector<std::string>{"crash-reports/crash-2024-05-05_12.00.00-client.txt",
                                                      "hs_err_pid4092.log", "game-latest.log"}));
  ASSERT_EQ(sources.size(), 3u);
  EXPECT_EQ(sources[1].text, "# 内存不足\n");
}

TEST_F(GameLeftovers, AGameThatLeftNothingLeavesOnlyWhatThereIs) {
  EXPECT_TRUE(CollectGameLeftovers("", game_.Path(), started_).empty());
  EXPECT_TRUE(CollectGameLeftovers(game_ / "no-such.log", game_ / "no-such-folder/", started_).empty());
}

}  // namespace
}  // namespace kv
