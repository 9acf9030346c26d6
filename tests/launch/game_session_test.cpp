#include "launch/game_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

// Records what the player would see, in order.
class RecordingSink : public GameOutputSink {
 public:
  explicit RecordingSink(bool hasLog = true) : hasLog_(hasLog) {}
  void ShowLauncher(bool visible) override { events.push_back(visible ? "show" : "hide"); }
  bool HasLogWindow() const override { return hasLog_; }
  void ShowLog(bool visible) override { events.push_back(visible ? "log-show" : "log-hide"); }
  void ClearLog() override { events.push_back("log-clear"); }
  void AppendLog(const std::string& text) override { log += text; }

  std::vector<std::string> events;
  std::string log;

 private:
  bool hasLog_;
};

// The game's output is kept in the log folder of the launcher folder of the test.
class GameSession : public ::testing::Test {
 protected:
  void SetUp() override { environment_.Set("KORVANE_HOME", home_.Path()); }

  test::TempFolder home_;
  test::TestEnvironment environment_;
};

TEST_F(GameSession, OutputReachesTheLogWhileTheLauncherHides) {
  test::TempFolder dir;
  RecordingSink sink;
  GameRun run = RunGameProcess({"/bin/sh", "-c", "echo 游戏; echo oops >&2; pwd"}, dir.Path(), true, sink);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"log-show", "log-clear", "hide", "log-hide", "show"}));
  std::string folder = dir.Path();
  folder.pop_back();
  EXPECT_EQ(sink.log, "游戏\noops\n" + folder + "\n");
  EXPECT_EQ(run.outputFile, home_ / "log/game-latest.log");
  EXPECT_EQ(test::ReadFile(run.outputFile), sink.log);
}

TEST_F(GameSession, ACrashedGameKeepsItsLogOpenAndItsLastLines) {
  RecordingSink sink;
  const std::string script = "for i in 1 2 3 4 5 6 7 8 9 10 11 12; do echo line $i; done; echo 'Exception!' >&2; exit 3";
  GameRun run = RunGameProcess({"/bin/sh", "-c", script}, "", true, sink);
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"log-show", "log-clear", "hide", "show"}));
  EXPECT_EQ(run.lastLines, "line 4\nline 5\nline 6\nline 7\nline 8\nline 9\nline 10\nline 11\nline 12\nException!");
  // Without the log window the output is kept all the same.
  RecordingSink noLog;
  run = RunGameProcess({"/bin/sh", "-c", "echo quiet crash; exit 1"}, "", false, noLog);
  EXPECT_EQ(noLog.events, (std::vector<std::string>{"hide", "show"}));
  EXPECT_EQ(run.lastLines, "quiet crash");
  EXPECT_EQ(test::ReadFile(home_ / "log/game-latest.log"), "quiet crash\n");
  EXPECT_NE(test::ReadFile(home_ / "log/game-previous.log").find("line 12\nException!\n"), std::string::npos);
}

TEST_F(GameSession, WithoutTheLogTheOutputIsDrained) {
  RecordingSink sink;
  // More output than a pipe holds: the game must not block on it.
  GameRun run = RunGameProcess({"/bin/sh", "-c", "head -c 300000 /dev/zero; echo done"}, "", false, sink);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"hide", "show"}));
  EXPECT_EQ(sink.log, "");
  EXPECT_EQ(GetFileSize(home_ / "log/game-latest.log"), 300005u);
  RecordingSink noWindow(false);
  RunGameProcess({"/bin/echo", "x"}, "", true, noWindow);
  EXPECT_EQ(noWindow.events, (std::vector<std::string>{"hide", "show"}));
}

TEST_F(GameSession, AFailedStartKeepsTheLauncherShown) {
  RecordingSink sink;
  EXPECT_FALSE(RunGameProcess({home_ / "no-java"}, "", true, sink).exitStatus);
  EXPECT_EQ(sink.events, std::vector<std::string>{"show"});
}

TEST(GameOptions, DefaultOptionsAreWrittenOnce) {
  test::TempFolder dir;
  ASSERT_TRUE(WriteDefaultOptions("zh_CN", dir / "options.txt"));
  EXPECT_EQ(test::ReadFile(dir / "options.txt"), "lang:zh_CN");
  test::WriteFile(dir / "options.txt", "lang:en_US\nfov:70\n");
  ASSERT_TRUE(WriteDefaultOptions("zh_CN", dir / "options.txt"));
  EXPECT_EQ(test::ReadFile(dir / "options.txt"), "lang:en_US\nfov:70\n");
  EXPECT_FALSE(WriteDefaultOptions("zh_CN", dir / "missing/options.txt"));

  // A link that leads out of the instance and to nothing yet: the file is made in its place.
  test::WriteFile(dir / "instance/saves/world", "");
  test::WriteFile(dir / "outside/notes.txt", "");
  std::filesystem::create_symlink(dir / "outside/options.txt", dir / "instance/options.txt");
  ASSERT_TRUE(WriteDefaultOptions("zh_CN", dir / "instance/options.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "outside/options.txt"));
  EXPECT_EQ(test::ReadFile(dir / "instance/options.txt"), "lang:zh_CN");
}

}  // namespace
}  // namespace kv
