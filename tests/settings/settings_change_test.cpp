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

class SettingsChange : public ::testing::Test {
 protected:
  // Settings as a fresh launcher folder gives them.
  CSettings Fresh() {
    CSettings settings(settings_);
    settings.userName = "Player";
    settings.isGenuine = "false";
    settings.gamePath = dir_ / ".minecraft/";
    settings.jvmMemoryMin = "512";
    settings.jvmMemoryMax = "1024";
    settings.isAutoMallocMemory = "true";
    settings.isShowCmd = "false";
    return settings;
  }

  test::TempFolder dir_;
  std::string settings_ = dir_ / "KvCfg.ini";
};

TEST_F(SettingsChange, WhatCannotBeSavedIsNamed) {
  EXPECT_EQ(CheckSettings(Fresh()), "");
  const std::pair<void (*)(CSettings&), std::string> refusals[] = {
      {[](CSettings& s) { s.userName = std::string(51, 'a'); }, msg::kUserNameTooLong},
      {[](CSettings& s) { s.userName = "Steve😀"; }, msg::NotInSettingsFile("玩家名称(ID)")},
      {[](CSettings& s) { s.password = "pw😀"; }, msg::NotInSettingsFile("密码")},
      {[](CSettings& s) { s.isGenuine = "TRUE"; }, msg::NotAFlag("正版登录")},
      {[](CSettings& s) { s.isKeepLog = "yes"; }, msg::NotAFlag("游戏结束后保留日志窗口")},
      {[](CSettings& s) { s.launchParameters = "-Xss1M\n[KvCfg]"; }, msg::ControlCharacterIn("启动参数")},
      {[](CSettings& s) { s.gamePath = ""; }, msg::kGamePathEmpty},
      {[](CSettings& s) { s.jvmMemoryMin = "12a"; }, msg::NotAMemorySize("最小内存(MB)")},
      {[](CSettings& s) { s.jvmMemoryMax = "10000"; }, msg::NotAMemorySize("最大内存(MB)")},
  };
  for (const auto& [change, expected] : refusals) {
    CSettings settings = Fresh();
    change(settings);
    EXPECT_EQ(CheckSettings(settings), expected);
  }
}

TEST_F(SettingsChange, HeapSizesTheJavaRuntimeWouldRefuse) {
  CSettings settings = Fresh();
  // With automatic memory on the sizes never reach the command line: kept as they are.
  settings.jvmMemoryMin = "2048";
  settings.jvmMemoryMax = "";
  EXPECT_EQ(CheckSettings(settings), "");
  settings.isAutoMallocMemory = "false";
  EXPECT_EQ(CheckSettings(settings), msg::MemorySizeMissing("最大内存(MB)"));
  settings.jvmMemoryMax = "1024";
  EXPECT_EQ(CheckSettings(settings), msg::kMemoryMinAboveMax);
  settings.jvmMemoryMin = "0";
  settings.jvmMemoryMax = "0";
  EXPECT_EQ(CheckSettings(settings), msg::kMemoryMaxZero);
  settings.jvmMemoryMax = "1024";
  EXPECT_EQ(CheckSettings(settings), "");
  settings.jvmMemoryMin = "1024";
  EXPECT_EQ(CheckSettings(settings), "");
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
  std::string problem;
  EXPECT_TRUE(SetSettingByKey(settings, "username", "Alex", problem));
  EXPECT_TRUE(SetSettingByKey(settings, "JVMMemoryMax", "4096", problem));
  EXPECT_TRUE(SetSettingByKey(settings, "IsKeepLog", "true", problem));
  EXPECT_EQ(settings.userName, "Alex");
  EXPECT_EQ(settings.jvmMemoryMax, "4096");
  EXPECT_EQ(settings.isKeepLog, "true");

  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  EXPECT_TRUE(SetSettingByKey(settings, "GamePath", "games/mc", problem));
  EXPECT_EQ(settings.gamePath, dir_ / "games/mc/");

  test::WriteFile(dir_ / "jdk/bin/java", "#!/bin/sh\nexit 1\n");
  ::chmod((dir_ / "jdk/bin/java").c_str(), 0755);
  test::WriteFile(dir_ / "jdk/release", "JAVA_VERSION=\"17.0.15\"\n");
  EXPECT_TRUE(SetSettingByKey(settings, "JavaPath", "jdk/bin/java", problem));
  std::filesystem::current_path(before);
  EXPECT_EQ(settings.javaPath, dir_ / "jdk/bin/java");
  EXPECT_EQ(settings.javaVer, "17.0.15");

  EXPECT_FALSE(SetSettingByKey(settings, "JavaPath", dir_ / "KvCfg.ini", problem));
  EXPECT_EQ(problem, msg::NotAJavaRuntime(dir_ / "KvCfg.ini"));
  EXPECT_EQ(settings.javaPath, dir_ / "jdk/bin/java");
  EXPECT_FALSE(SetSettingByKey(settings, "JavaVer", "1.8", problem));
  EXPECT_EQ(problem, msg::kJavaVerFollowsJavaPath);
  EXPECT_FALSE(SetSettingByKey(settings, "Colour", "red", problem));
  EXPECT_EQ(problem, msg::UnknownSetting("Colour"));

  EXPECT_TRUE(SetSettingByKey(settings, "AuthServer", "https://littleskin.cn/api/yggdrasil", problem));
  EXPECT_EQ(settings.authServer, "https://littleskin.cn/api/yggdrasil");
  EXPECT_TRUE(SetSettingByKey(settings, "downloadsource", "bmclapi", problem));
  EXPECT_FALSE(SetSettingByKey(settings, "DownloadSource", "ftp", problem));
  EXPECT_EQ(problem, msg::UnknownDownloadSource("ftp"));
  EXPECT_EQ(settings.downloadSource, "bmclapi");
  EXPECT_TRUE(SetSettingByKey(settings, "DownloadSource", "", problem));
  EXPECT_EQ(settings.downloadSource, "");
}

}  // namespace
}  // namespace kv
