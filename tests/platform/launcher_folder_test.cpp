#include "platform/launcher_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

TEST(LauncherFolder, EnvironmentOverrideGetsTrailingSeparatorAndIsCreated) {
  test::TempFolder dir;
  std::string home = dir / "portable/korvane";
  ::setenv("KORVANE_HOME", home.c_str(), 1);
  EXPECT_EQ(GetLauncherFolder(), home + "/");
  EXPECT_TRUE(PathExists(home));
  EXPECT_EQ(SettingsFilePath(), home + "/KvCfg.ini");
  ::unsetenv("KORVANE_HOME");
}

TEST(LauncherFolder, ARelativeOverrideBecomesAbsolute) {
  test::TempFolder dir;
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  ::setenv("KORVANE_HOME", "h3/./x/..", 1);
  EXPECT_EQ(GetLauncherFolder(), dir / "h3/");
  ::unsetenv("KORVANE_HOME");
  std::filesystem::current_path(previous);
}

TEST(LauncherFolder, DefaultsToTheExecutableFolderWhenWritable) {
  ::unsetenv("KORVANE_HOME");
  std::string exe = GetExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_EQ(GetLauncherFolder(), exe);  // the build folder is writable
}

}  // namespace
}  // namespace kv
