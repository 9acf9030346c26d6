#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_layout.h"
#include "platform/machine_memory.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

// korvane-cli settings --instance and set --instance: each instance's own game settings.
namespace kv {
namespace {

using Lines = std::vector<std::string>;

class InstanceSettingsCli : public ::testing::Test {
 protected:
  void SetUp() override {
    CSettings settings(Settings());
    settings.ReadFile();
    settings.game.javaPath = "/opt/java8/bin/java";
    settings.game.autoMemory = false;
    settings.game.memoryMin = 256;
    settings.game.memoryMax = 1024;
    settings.game.launchParameters = "-XX:+UseG1GC";
    ASSERT_TRUE(settings.Save());
    gamePath_ = settings.gamePath;
    test::WriteFile(VersionJsonPath(gamePath_, "1.19.3"), test::ReadFixture("versions/modern/1.19.3.json"));
    CInstanceList list(Settings(), true);
    list.Add({"模组包", "1.19.3"});
    list.Add({"原版", "1.19.3"});
  }

  std::string Settings() const { return home_ / "KvCfg.ini"; }

  test::CommandResult Run(const Lines& args) {
    return test::RunCommand(KORVANE_CLI, args, {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent"});
  }

  // The arguments of the instance's command, one a line.
  Lines Command(const std::string& instance) {
    const test::CommandResult result = Run({"command", instance});
    EXPECT_EQ(result.status, 0) << result.err;
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(result.out.substr(start, end - start));
    }
    return lines;
  }

  static bool Holds(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  test::TempFolder home_;
  std::string gamePath_;
};

TEST_F(InstanceSettingsCli, TwoInstancesGetTheirOwnCommandsAndOneThatFollowsChangesWithTheLauncher) {
  const test::CommandResult set = Run({"set", "--instance", "模组包", "JVMMemoryMax", "8192", "LaunchParameters",
                                       "-Dpack=1", "WindowWidth", "1600", "WindowHeight", "900"});
  ASSERT_EQ(set.status, 0) << set.err;

  const Lines pack = Command("模组包");
  ASSERT_GE(pack.size(), 4u);
  EXPECT_EQ(Lines(pack.begin(), pack.begin() + 4), (Lines{"/opt/java8/bin/java", "-Xms256M", "-Xmx8192M", "-Dpack=1"}));
  // Its own parameters replace the launcher's.
  EXPECT_FALSE(Holds(pack, "-XX:+UseG1GC"));
  const auto width = std::find(pack.begin(), pack.end(), "--width");
  ASSERT_NE(width, pack.end());
  EXPECT_EQ(Lines(width, std::min(width + 4, pack.end())), (Lines{"--width", "1600", "--height", "900"}));

  const Lines plain = Command("原版");
  EXPECT_EQ(Lines(plain.begin(), plain.begin() + 4), (Lines{"/opt/java8/bin/java", "-Xms256M", "-Xmx1024M", "-XX:+UseG1GC"}));
  EXPECT_FALSE(Holds(plain, "--width"));

  // The launcher's value changes: the instance that follows it changes along, the other keeps its own.
  ASSERT_EQ(Run({"set", "JVMMemoryMax", "2048"}).status, 0);
  EXPECT_TRUE(Holds(Command("原版"), "-Xmx2048M"));
  EXPECT_TRUE(Holds(Command("模组包"), "-Xmx8192M"));

  // Back to following the launcher.
  const test::CommandResult follow = Run({"set", "--instance", "模组包", "--follow", "JVMMemoryMax", "launchparameters"});
  ASSERT_EQ(follow.status, 0) << follow.err;
  const Lines followed = Command("模组包");
  EXPECT_EQ(Lines(followed.begin(), followed.begin() + 4),
            (Lines{"/opt/java8/bin/java", "-Xms256M", "-Xmx2048M", "-XX:+UseG1GC"}));
  EXPECT_TRUE(Holds(followed, "--width"));
}

TEST_F(InstanceSettingsCli, TheValuesInForceAndWhereEachComesFrom) {
  ASSERT_EQ(Run({"set", "--instance", "模组包", "IsAutoMallocMemory", "true", "LaunchParameters", ""}).status, 0);
  const test::CommandResult shown = Run({"settings", "--instance", "模组包"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  const std::string own = std::string("\t") + msg::kOwnSetting + "\n";
  const std::string follows = std::string("\t") + msg::kFollowsLauncher + "\n";
  EXPECT_EQ(shown.out, "JavaPath=/opt/java8/bin/java" + follows + "JavaVer=" + follows + "IsAutoMallocMemory=true" + own +
                           "JVMMemoryMin=256" + follows + "JVMMemoryMax=1024" + follows + "LaunchParameters=" + own +
                           "WindowWidth=" + follows + "WindowHeight=" + follows);
  // Set to nothing, the parameters stand over the launcher's: none at all.
  EXPECT_FALSE(Holds(Command("模组包"), "-XX:+UseG1GC"));
  // The launcher's own settings stay as they were.
  EXPECT_EQ(ReadSettings(Settings()).game.launchParameters, "-XX:+UseG1GC");
}

TEST_F(InstanceSettingsCli, RefusalsNameWhatIsWrongAndChangeNothing) {
  const std::string before = test::ReadFile(Settings());
  const struct {
    Lines args;
    std::string error;
  } refusals[] = {
      {{"set", "--instance", "无", "JVMMemoryMax", "2048"}, msg::InstanceUnknown("无")},
      {{"set", "--instance", "原版", "GamePath", "/tmp"}, msg::NotAnInstanceSetting("GamePath")},
      {{"set", "--instance", "原版", "--follow", "UserName"}, msg::NotAnInstanceSetting("UserName")},
      {{"set", "--instance", "原版", "JVMMemoryMax", "12a"}, msg::NotAMemorySize("最大内存(MB)")},
      {{"set", "--instance", "原版", "WindowWidth", "0"}, msg::NotAWindowSize("窗口宽度")},
      // Checked with the launcher's minimum, which stays in force.
      {{"set", "--instance", "原版", "JVMMemoryMax", "128"}, msg::kMemoryMinAboveMax},
      {{"set", "--instance", "原版", "JavaPath", "/nonexistent/java"}, msg::NotAJavaRuntime("/nonexistent/java")},
  };
  for (const auto& refusal : refusals) {
    const test::CommandResult result = Run(refusal.args);
    EXPECT_EQ(result.status, 1) << refusal.args.back();
    EXPECT_EQ(result.err, "korvane-cli: " + refusal.error + "\n") << refusal.args.back();
  }
  if (const std::optional<int> machine = PhysicalMemoryMb()) {
    const test::CommandResult above = Run({"set", "--instance", "原版", "JVMMemoryMax", std::to_string(*machine + 1)});
    EXPECT_EQ(above.err, "korvane-cli: " + msg::MemoryAboveMachine("最大内存(MB)", *machine) + "\n");
  }
  EXPECT_EQ(test::ReadFile(Settings()), before);
  EXPECT_EQ(Run({"set", "--instance", "原版"}).status, 2);
  EXPECT_EQ(Run({"set", "--instance", "原版", "JVMMemoryMax"}).status, 2);
  EXPECT_EQ(Run({"settings", "--instance"}).status, 2);
}

}  // namespace
}  // namespace kv
