#include "settings/game_settings.h"

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

TEST(GameSettings, AnInstancesValueStandsOverTheLaunchersAndAnAbsentKeyFollowsIt) {
  test::TempFolder dir;
  const std::string file = dir / "KvCfg.ini";
  test::WriteFile(file,
                  "[KvCfg]\nJavaPath=/opt/java8/bin/java\nJavaVer=1.8.0_51\nIsAutoMallocMemory=false\n"
                  "JVMMemoryMin=512\nJVMMemoryMax=2048\nLaunchParameters=-XX:+UseG1GC\n"
                  "[KvInstance1]\nInstanceName=a\nJavaPath=/opt/java17/bin/java\nJavaVer=17.0.15\n"
                  "JVMMemoryMax=8192\nLaunchParameters=\nWindowWidth=1280\nWindowHeight=720\n");
  const GameSettings launcher = ReadSettings(file).game;
  const GameSettings own = ReadGameSettings(file, "KvInstance1");
  EXPECT_EQ(own.memoryMin, std::nullopt);
  // An empty text is a value: no launch parameters for this instance.
  EXPECT_EQ(own.launchParameters, "");

  const GameSettings inForce = GameSettingsInForce(own, launcher);
  EXPECT_EQ(inForce.javaPath, "/opt/java17/bin/java");
  EXPECT_EQ(inForce.javaVer, "17.0.15");
  EXPECT_EQ(inForce.autoMemory, false);
  EXPECT_EQ(inForce.memoryMin, 512);
  EXPECT_EQ(inForce.memoryMax, 8192);
  EXPECT_EQ(inForce.launchParameters, "");
  EXPECT_EQ(inForce.windowWidth, 1280);
  EXPECT_EQ(inForce.windowHeight, 720);

  // Nothing of its own: the launcher's values, the launcher's Java version with them.
  EXPECT_EQ(GameSettingsInForce(GameSettings{}, launcher), launcher);
  // The launcher's window size keys are not read: the launcher has none.
  EXPECT_EQ(launcher.windowWidth, std::nullopt);
}

TEST(GameSettings, TextsThatAreNoValueOfTheirKindAreNotSet) {
  test::TempFolder dir;
  const std::string file = dir / "KvCfg.ini";
  test::WriteFile(file, "[KvInstance1]\nIsAutoMallocMemory=TRUE\nJVMMemoryMin=12a\nJVMMemoryMax=-5\n"
                        "WindowWidth=9999999999\nWindowHeight= 600 \n");
  const GameSettings own = ReadGameSettings(file, "KvInstance1");
  EXPECT_EQ(own.autoMemory, std::nullopt);
  EXPECT_EQ(own.memoryMin, std::nullopt);
  EXPECT_EQ(own.memoryMax, std::nullopt);
  EXPECT_EQ(own.windowWidth, std::nullopt);
  // Blanks around a value are the file's, not the value's.
  EXPECT_EQ(own.windowHeight, 600);
  for (const GameSettingText& setting : GameSettingTexts(own)) {
    EXPECT_EQ(setting.text.has_value(), std::string_view(setting.key) == "WindowHeight") << setting.key;
  }
}

TEST(LauncherSettings, ASaveWritesOnlyWhatChangedSinceTheLoad) {
  test::TempFolder dir;
  const std::string file = dir / "KvCfg.ini";
  test::WriteFile(file, "[KvCfg]\nIsShowCmd=yes\nJVMMemoryMax=0x10\nDownloadSource=ftp\n");
  CSettings settings(file);
  settings.ReadFile();
  // Texts that are no value read as the defaults but stay in the file until changed.
  EXPECT_FALSE(settings.isShowCmd);
  EXPECT_EQ(settings.game.memoryMax, std::nullopt);
  EXPECT_EQ(settings.downloadSource, std::nullopt);

  // Another process changes a value meanwhile; this save changes another one.
  CSettings other(file);
  other.ReadFile();
  other.game.launchParameters = "-Xss2M";
  ASSERT_TRUE(other.Save());
  settings.isKeepLog = true;
  ASSERT_TRUE(settings.Save());

  const std::string text = test::ReadFile(file);
  EXPECT_NE(text.find("IsShowCmd=yes"), std::string::npos) << text;
  EXPECT_NE(text.find("JVMMemoryMax=0x10"), std::string::npos) << text;
  EXPECT_NE(text.find("DownloadSource=ftp"), std::string::npos) << text;
  EXPECT_NE(text.find("LaunchParameters=-Xss2M"), std::string::npos) << text;
  EXPECT_NE(text.find("IsKeepLog=true"), std::string::npos) << text;

  // Settings that were never loaded write every value.
  CSettings fresh(dir / "fresh.ini");
  fresh.gamePath = "/g/";
  ASSERT_TRUE(fresh.Save());
  const CSettings reread = ReadSettings(dir / "fresh.ini");
  EXPECT_EQ(reread.gamePath, "/g/");
  EXPECT_EQ(reread.game.autoMemory, true);
}

}  // namespace
}  // namespace kv
