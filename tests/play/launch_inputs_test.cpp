#include <gtest/gtest.h>

#include "play/launch_inputs.h"

namespace kv {
namespace {

TEST(LaunchInputsFromSettings, OfflineAndGenuine) {
  CSettings settings("/nonexistent/KvCfg.ini");
  settings.userName = "Alex";
  settings.game.javaPath = "/usr/bin/java";
  settings.gamePath = "/g/";
  settings.game.autoMemory = false;
  settings.game.memoryMin = 256;
  settings.game.memoryMax = 768;
  settings.game.launchParameters = "-Dx=1";
  LaunchInputs offline = MakeLaunchInputs(settings, nullptr, "inst", PlatformProfile::Linux());
  EXPECT_EQ(offline.playerName, "Alex");
  EXPECT_EQ(offline.playerId, "");
  EXPECT_EQ(offline.accessToken, "");
  EXPECT_EQ(offline.userType, "legacy");
  EXPECT_EQ(offline.instanceName, "inst");
  EXPECT_FALSE(offline.autoMemory);
  EXPECT_EQ(offline.memoryMax, 768);
  EXPECT_EQ(offline.launchParameters, "-Dx=1");
  // Paths are joined onto the folder without its trailing separator; the Windows profile
  // keeps the folder as that build joins onto it.
  EXPECT_EQ(offline.gamePath, "/g");
  settings.gamePath = ".minecraft\\";
  EXPECT_EQ(MakeLaunchInputs(settings, nullptr, "inst", PlatformProfile::Windows()).gamePath, ".minecraft\\");
  settings.gamePath = "/";
  EXPECT_EQ(MakeLaunchInputs(settings, nullptr, "inst", PlatformProfile::Linux()).gamePath, "/");

  StoredCredentials credentials;
  credentials.profileName = "Notch";
  credentials.profileId = "uuid";
  credentials.accessToken = "token";
  LaunchInputs genuine = MakeLaunchInputs(settings, &credentials, "inst", PlatformProfile::Linux());
  EXPECT_EQ(genuine.playerName, "Notch");
  EXPECT_EQ(genuine.playerId, "uuid");
  EXPECT_EQ(genuine.accessToken, "token");
  EXPECT_EQ(genuine.userType, "mojang");
  EXPECT_EQ(genuine.userProperties, "");
  credentials.legacy = 1;
  EXPECT_EQ(MakeLaunchInputs(settings, &credentials, "inst", PlatformProfile::Linux()).userType, "legacy");
}

}  // namespace
}  // namespace kv
