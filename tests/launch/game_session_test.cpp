#include "launch/game_session.h"

#include <gtest/gtest.h>

#include <mutex>

#include "tests/support/temp_folder.h"

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

TEST(GameSession, OutputReachesTheLogWhileTheLauncherHides) {
  test::TempFolder dir;
  RecordingSink sink;
  auto status = RunGameProcess({"/bin/sh", "-c", "echo 游戏; echo oops >&2; pwd; exit 3"}, dir.Path(), true, sink);
  EXPECT_EQ(status, 3);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"log-show", "log-clear", "hide", "log-hide", "show"}));
  std::string folder = dir.Path();
  folder.pop_back();
  EXPECT_EQ(sink.log, "游戏\noops\n" + folder + "\n");
}

TEST(GameSession, WithoutTheLogTheOutputIsDrained) {
  RecordingSink sink;
  // More output than a pipe holds: the game must not block on it.
  auto status = RunGameProcess({"/bin/sh", "-c", "head -c 300000 /dev/zero; echo done"}, "", false, sink);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"hide", "show"}));
  EXPECT_EQ(sink.log, "");
  RecordingSink noWindow(false);
  RunGameProcess({"/bin/echo", "x"}, "", true, noWindow);
  EXPECT_EQ(noWindow.events, (std::vector<std::string>{"hide", "show"}));
}

TEST(GameSession, AFailedStartKeepsTheLauncherShown) {
  test::TempFolder dir;
  ::setenv("KORVANE_HOME", dir.Path().c_str(), 1);
  RecordingSink sink;
  EXPECT_FALSE(RunGameProcess({dir / "no-java"}, "", true, sink));
  EXPECT_EQ(sink.events, std::vector<std::string>{"show"});
  ::unsetenv("KORVANE_HOME");
}

TEST(GameSession, DefaultOptionsAreWrittenOnce) {
  test::TempFolder dir;
  ASSERT_TRUE(WriteDefaultOptions("zh_CN", dir / "options.txt"));
  EXPECT_EQ(test::ReadFile(dir / "options.txt"), "lang:zh_CN");
  test::WriteFile(dir / "options.txt", "lang:en_US\nfov:70\n");
  ASSERT_TRUE(WriteDefaultOptions("zh_CN", dir / "options.txt"));
  EXPECT_EQ(test::ReadFile(dir / "options.txt"), "lang:en_US\nfov:70\n");
  EXPECT_FALSE(WriteDefaultOptions("zh_CN", dir / "missing/options.txt"));
}

}  // namespace
}  // namespace kv
