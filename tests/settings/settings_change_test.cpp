#include "settings/settings_change.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "settings/instance_commands.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

// The machine's memory the checks are given, in MB.
constexpr int kMachine = 16384;

class SettingsChange : public ::testing::Test {
 protected:
  // Settings as a fresh launcher folder gives them.
  CSettings Fresh() {
    CSettings settings(settings_);
    settings.userName = "Player";
    settings.isGenuine = false;
    settings.gamePath = dir_ / ".minecraft/";
    settings.game.memoryMin = 512;
    settings.game.memoryMax = 1024;
    settings.game.autoMemory = true;
    settings.isShowCmd = false;
    return settings;
  }

  test::TempFolder dir_;
  std::string settings_ = dir_ / "KvCfg.ini";
};

TEST_F(SettingsChange, WhatCannotBeSavedIsNamed) {
  EXPECT_EQ(CheckSettings(Fresh(), kMachine), "");
  const std::pair<void (*)(CSettings&), std::string> refusals[] = {
      {[](CSettings& s) { s.userName = std::string(51, 'a'); }, msg::kUserNameTooLong},
      {[](CSettings& s) { s.userName = "Steve😀"; }, msg::NotInSettingsFile("玩家名称(ID)")},
      {[](CSettings& s) { s.password = "pw😀"; }, msg::NotInSettingsFile("密码")},
      {[](CSettings& s) { s.game.launchParameters = "-Xss1M\n[KvCfg]"; }, msg::ControlCharacterIn("启动参数")},
      {[](CSettings& s) { s.gamePath = ""; }, msg::kGamePathEmpty},
      {[](CSettings& s) { s.game.memoryMax = kMachine + 1; }, msg::MemoryAboveMachine("最大内存(MB)", kMachine)},
  };
  for (const auto& [change, expected] : refusals) {
    CSettings settings = Fresh();
    change(settings);
    EXPECT_EQ(CheckSettings(settings, kMachine), expected);
  }
}

TEST_F(SettingsChange, HeapSizesTheJavaRuntimeWouldRefuse) {
  CSettings settings = Fresh();
  // With automatic memory on the sizes never reach the command line: kept as they are.
  settings.game.memoryMin = 2048;
  settings.game.memoryMax.reset();
  EXPECT_EQ(CheckSettings(settings, kMachine), "");
  settings.game.autoMemory = false;
  EXPECT_EQ(CheckSettings(settings, kMachine), msg::MemorySizeMissing("最大内存(MB)"));
  settings.game.memoryMax = 1024;
  EXPECT_EQ(CheckSettings(settings, kMachine), msg::kMemoryMinAboveMax);
  settings.game.memoryMin = 0;
  settings.game.memoryMax = 0;
  EXPECT_EQ(CheckSettings(settings, kMachine), msg::kMemoryMaxZero);
  settings.game.memoryMax = 1024;
  EXPECT_EQ(CheckSettings(settings, kMachine), "");
  settings.game.memoryMin = 1024;
  EXPECT_EQ(CheckSettings(settings, kMachine), "");
  // Five digits and more, up to the machine's memory; above it only where it is unknown.
  settings.game.memoryMax = kMachine;
  EXPECT_EQ(CheckSettings(settings, kMachine), "");
  settings.game.memoryMax = 65536;
  EXPECT_EQ(CheckSettings(settings, kMachine), msg::MemoryAboveMachine("最大内存(MB)", kMachine));
  EXPECT_EQ(CheckSettings(settings, std::nullopt), "");
}

TEST_F(SettingsChange, GameFolderInsideAChosenFolder) {
  EXPECT_EQ(GameFolderInside("C:\\Games\\", '\\'), "C:\\Games\\.minecraft\\");
  EXPECT_EQ(GameFolderInside("C:\\Games", '\\'), "C:\\Games\\.minecraft\\");
  EXPECT_EQ(GameFolderInside("/home/steve/games/", '/'), "/home/steve/games/.minecraft/");
  EXPECT_EQ(GameFolderInside("/home/steve/games", '/'), "/home/steve/games/.minecraft/");
  EXPECT_EQ(GameFolderInside("/", '/'), "/.minecraft/");
}

TEST_F(SettingsChange, AnotherGameFolderLeavesTheInstanceFoldersBehindOnlyWhenThereAreSome) {
  const std::string game = dir_ / ".minecraft/";
  EXPECT_FALSE(LeavesInstanceFoldersBehind(settings_, game, dir_ / "elsewhere/deeper/"));
  ASSERT_EQ(AddInstance(settings_, game, "生存", "1.7.10").status, InstanceCommandStatus::Done);
  EXPECT_TRUE(LeavesInstanceFoldersBehind(settings_, game, dir_ / "elsewhere/deeper/"));
  // Another spelling of the same place, or a sibling game folder: the same "Instance" folder.
  EXPECT_FALSE(LeavesInstanceFoldersBehind(settings_, game, dir_ / "other/../.minecraft/"));
  EXPECT_FALSE(LeavesInstanceFoldersBehind(settings_, game, dir_ / "game2/"));
}

TEST_F(SettingsChange, CreatingTheGameFolder) {
  EXPECT_TRUE(CreateGameFolder(dir_ / "a/b/.minecraft"));
  EXPECT_TRUE(PathExists(dir_ / "a/b/.minecraft/"));
  test::WriteFile(dir_ / "file", "in the way");
  EXPECT_FALSE(CreateGameFolder(dir_ / "file/.minecraft/"));
}

TEST_F(SettingsChange, SettingByTheFilesKeyNames) {
  CSettings settings = Fresh();
  EXPECT_TRUE(SetSettingByKey(settings, "username", "Alex"));
  EXPECT_TRUE(SetSettingByKey(settings, "JVMMemoryMax", "4096"));
  EXPECT_TRUE(SetSettingByKey(settings, "IsKeepLog", "true"));
  EXPECT_TRUE(SetSettingByKey(settings, "isautomallocmemory", "false"));
  EXPECT_EQ(settings.userName, "Alex");
  EXPECT_EQ(settings.game.memoryMax, 4096);
  EXPECT_TRUE(settings.isKeepLog);
  EXPECT_EQ(settings.game.autoMemory, false);
  EXPECT_TRUE(SetSettingByKey(settings, "JVMMemoryMin", ""));
  EXPECT_EQ(settings.game.memoryMin, std::nullopt);

  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  EXPECT_TRUE(SetSettingByKey(settings, "GamePath", "games/mc"));
  EXPECT_EQ(settings.gamePath, dir_ / "games/mc/");

  test::WriteFile(dir_ / "jdk/bin/java", "#!/bin/sh\nexit 1\n");
  ::chmod((dir_ / "jdk/bin/java").c_str(), 0755);
  test::WriteFile(dir_ / "jdk/release", "JAVA_VERSION=\"17.0.15\"\n");
  EXPECT_TRUE(SetSettingByKey(settings, "JavaPath", "jdk/bin/java"));
  std::filesystem::current_path(before);
  EXPECT_EQ(settings.game.javaPath, dir_ / "jdk/bin/java");
  EXPECT_EQ(settings.game.javaVer, "17.0.15");

  EXPECT_EQ(SetSettingByKey(settings, "JavaPath", dir_ / "KvCfg.ini").message(), msg::NotAJavaRuntime(dir_ / "KvCfg.ini"));
  EXPECT_EQ(settings.game.javaPath, dir_ / "jdk/bin/java");
  EXPECT_EQ(SetSettingByKey(settings, "JavaVer", "1.8").message(), msg::kJavaVerFollowsJavaPath);
  EXPECT_EQ(SetSettingByKey(settings, "Colour", "red").message(), msg::UnknownSetting("Colour"));
  // The launcher has no window size of its own.
  EXPECT_EQ(SetSettingByKey(settings, "WindowWidth", "800").message(), msg::UnknownSetting("WindowWidth"));

  EXPECT_TRUE(SetSettingByKey(settings, "AuthServer", "https://littleskin.cn/api/yggdrasil"));
  EXPECT_EQ(settings.authServer, "https://littleskin.cn/api/yggdrasil");
  EXPECT_TRUE(SetSettingByKey(settings, "downloadsource", "bmclapi"));
  EXPECT_EQ(SetSettingByKey(settings, "DownloadSource", "ftp").message(), msg::UnknownDownloadSource("ftp"));
  EXPECT_EQ(settings.downloadSource, SourceKind::ChinaMirror);
  EXPECT_TRUE(SetSettingByKey(settings, "DownloadSource", ""));
  EXPECT_EQ(settings.downloadSource, std::nullopt);
}

TEST_F(SettingsChange, TextsThatAreNoValueOfTheirKindAreRefusedNamingTheField) {
  const struct {
    const char* key;
    const char* value;
    std::string expected;
  } refusals[] = {
      {"IsGenuine", "TRUE", msg::NotAFlag("正版登录")},
      {"IsKeepLog", "yes", msg::NotAFlag("游戏结束后保留日志窗口")},
      {"IsAutoMallocMemory", "1", msg::NotAFlag("自动配置")},
      {"JVMMemoryMin", "12a", msg::NotAMemorySize("最小内存(MB)")},
      {"JVMMemoryMax", "-1", msg::NotAMemorySize("最大内存(MB)")},
      {"JVMMemoryMax", "1234567890", msg::NotAMemorySize("最大内存(MB)")},
  };
  for (const auto& refusal : refusals) {
    CSettings settings = Fresh();
    const CSettings before = settings;
    EXPECT_EQ(SetSettingByKey(settings, refusal.key, refusal.value).message(), refusal.expected) << refusal.key;
    EXPECT_EQ(settings.game, before.game);
    EXPECT_EQ(settings.isGenuine, before.isGenuine);
  }
}

}  // namespace
}  // namespace kv
