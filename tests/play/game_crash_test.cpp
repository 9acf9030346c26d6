// A game that ends with an error: the notice says why, from what the game left behind, and
// which action fits; the launch hands it to its sink.
#include "play/game_crash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "platform/profile_store.h"
#include "play/launch_sequence.h"
#include "settings/instance_folders.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

TEST(GameCrash, TheNoticeNamesTheCauseFoundInTheReportOfThisRunAboveTheLastLines) {
  test::TempFolder game;
  const fs::file_time_type started = fs::file_time_type::clock::now();
  test::WriteFile(game / "crash-reports/crash-old.txt", test::ReadFixture("crash-logs/hmcl/crash-report/security.txt"));
  fs::last_write_time(game / "crash-reports/crash-old.txt", started - std::chrono::hours(2));
  test::WriteFile(game / "crash-reports/crash-new.txt",
                  test::ReadFixture("crash-logs/hmcl/crash-report/out_of_memory.txt"));
  test::WriteFile(game / "output.log", "[Render thread/INFO]: Stopping!\n");

  const GameCrash crash = DescribeGameCrash({1, "Stopping!", game / "output.log"}, game.Path(), "1.20.1", started);
  EXPECT_TRUE(crash.text.starts_with("游戏异常退出，退出代码: 1\n可能的原因: 游戏内存不足\n分配给游戏的内存用完了。"))
      << crash.text;
  EXPECT_TRUE(crash.text.ends_with("（见 crash-reports/crash-new.txt）\n最后的输出:\nStopping!\n完整的输出保存在: " +
                                   game / "output.log"))
      << crash.text;
  EXPECT_EQ(crash.text.find("已损坏"), std::string::npos);
  EXPECT_EQ(crash.action, CrashAction::InstanceMemorySettings);
  EXPECT_EQ(crash.gameFolder, game.Path());
  EXPECT_EQ(crash.versionId, "1.20.1");
}

// What a launch shows of a crash.
class CrashSink : public LaunchSink {
 public:
  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind) override { messages.push_back(text); }
  void ShowGameCrash(const GameCrash& crash) override { crashes.push_back(crash); }
  void OfferJavaDownload(const std::string&) override {}
  DownloadResult RunDownloads(const std::vector<DownloadItem>&) override { return DownloadResult::Completed; }
  void ShowLauncher(bool) override {}
  bool HasLogWindow() const override { return false; }
  void ShowLog(bool) override {}
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}

  std::vector<std::string> messages;
  std::vector<GameCrash> crashes;
};

TEST(GameCrash, ALaunchWhoseGameCrashesShowsTheCauseAndItsAction) {
  test::TempFolder home;
  const test::ScopedEnvironment launcherHome("KORVANE_HOME", home.Path());
  const std::string settings = home / "KvCfg.ini";
  const std::string game = home / ".minecraft/";
  test::WriteFile(game + "versions/v1/v1.json", R"({"id":"v1","mainClass":"Main","libraries":[]})");
  test::WriteFile(game + "versions/v1/v1.jar", "x");
  LaunchServices services;
  services.sendStatsEvent = [](const std::string&) {};
  services.metadata.both = [](const DownloadSource&, const std::string&, const std::string&, const VersionDescription*) {};
  services.metadata.assetIndex = [](const DownloadSource&, const std::string&, const VersionDescription&) {};

  // A "Java" that prints a real log of a Fabric mod missing its dependency and fails; then one
  // that the system kills.
  const std::string java = home / "java";
  profile::WriteString(settings, "KvCfg", "JavaPath", java);
  const std::vector<std::pair<std::string, CrashAction>> games = {
      {"cat '" + test::FixturePath("crash-logs/hmcl/logs/fabric-mod-missing.txt") + "'\nexit 1", CrashAction::ModPage},
      {"kill -9 $$", CrashAction::InstanceMemorySettings},
  };
  for (const auto& [script, action] : games) {
    SCOPED_TRACE(script);
    test::WriteFile(java, "#!/bin/sh\n" + script + "\n");
    ::chmod(java.c_str(), 0755);
    CrashSink sink;
    LaunchSequence sequence(settings, services, PlatformProfile::Linux());
    const LaunchResult result = sequence.Run({"inst", "v1", false, std::nullopt}, sink);
    ASSERT_EQ(result.status, LaunchStatus::GameEnded);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(sink.crashes.size(), 1u);
    EXPECT_EQ(sink.crashes[0].action, action);
    EXPECT_EQ(sink.crashes[0].gameFolder, InstanceFolder(game, "inst"));
  }
}

}  // namespace
}  // namespace kv
