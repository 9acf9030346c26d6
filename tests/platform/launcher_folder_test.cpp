#include "platform/launcher_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

TEST(LauncherFolder, EnvironmentOverrideGetsTrailingSeparatorAndIsCreated) {
  test::TempFolder dir;
  std::string home = dir / "portable/korvane";
  const test::ScopedEnvironment launcherHome("KORVANE_HOME", home);
  EXPECT_EQ(GetLauncherFolder(), home + "/");
  EXPECT_TRUE(PathExists(home));
  EXPECT_EQ(SettingsFilePath(), home + "/KvCfg.ini");
}

TEST(LauncherFolder, ARelativeOverrideBecomesAbsolute) {
  test::TempFolder dir;
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  {
    const test::ScopedEnvironment launcherHome("KORVANE_HOME", "h3/./x/..");
    EXPECT_EQ(GetLauncherFolder(), dir / "h3/");
  }
  std::filesystem::current_path(previous);
}

TEST(LauncherFolder, DefaultsToTheExecutableFolderWhenWritable) {
  const test::ScopedEnvironment noLauncherHome("KORVANE_HOME", std::nullopt);
  std::string exe = GetExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_EQ(GetLauncherFolder(), exe);  // the build folder is writable
}

}  // namespace
}  // namespace kv
