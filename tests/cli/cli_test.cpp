#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

class Cli : public ::testing::Test {
 protected:
  test::CommandResult Run(const std::vector<std::string>& args) {
    return test::RunCommand(KORVANE_CLI, args, {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent"});
  }
  test::TempFolder home_;
};

TEST_F(Cli, ShowsTheWindowsWrittenSettingsInFileOrder) {
  test::WriteFile(home_ / "KvCfg.ini", test::ReadFixture("KvCfg-windows-gbk.ini"));
  test::CommandResult result = Run({"settings"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "UserName=史蒂夫\nPWD=<7 characters hidden>\nIsGenuine=false\n"
            "JavaPath=C:\\Program Files\\Java\\jre7\\bin\\java.exe\n"
            "GamePath=D:\\游戏\\Korvane\\.minecraft\\\nJVMMemoryMin=512\nJVMMemoryMax=2048\n"
            "LaunchParameters=-XX:+UseG1GC\nJavaVer=1.7.0_55\nIsAutoMallocMemory=false\nIsShowCmd=true\n"
            "DownloadSource=\nAuthServer=\n");
  EXPECT_NE(Run({"settings", "--reveal"}).out.find("PWD=p@ss 密码\n"), std::string::npos);

  result = Run({"instances"});
  EXPECT_EQ(result.out, "生存\t1.7.10\nForge 模组\t1.7.10-Forge10.13.4.1614-1.7.10\n\t\n");
}

TEST_F(Cli, InstanceCommandsAndTheirRefusals) {
  EXPECT_EQ(Run({"add", "生存", "1.7.10"}).status, 0);
  EXPECT_TRUE(PathExists(home_ / "Instance/生存"));
  test::CommandResult duplicate = Run({"add", "生存", "1.12.2"});
  EXPECT_NE(duplicate.status, 0);
  EXPECT_EQ(duplicate.err, "korvane-cli: 已存在同名的游戏实例\n");
  EXPECT_NE(Run({"add", "..", "1.7.10"}).status, 0);
  EXPECT_NE(Run({"add", "a/b", "1.7.10"}).status, 0);

  EXPECT_EQ(Run({"rename", "生存", "创造"}).status, 0);
  EXPECT_TRUE(PathExists(home_ / "Instance/创造"));
  test::CommandResult unknown = Run({"rename", "nobody", "x"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_EQ(unknown.err, "korvane-cli: 没有这个游戏实例\n");

  EXPECT_EQ(Run({"instances"}).out, "创造\t1.7.10\n");
  EXPECT_EQ(Run({"delete", "创造"}).status, 0);
  EXPECT_FALSE(PathExists(home_ / "Instance/创造"));
  EXPECT_NE(Run({"delete", "创造"}).status, 0);
  EXPECT_EQ(Run({"instances"}).out, "");
}

TEST_F(Cli, UsageErrors) {
  EXPECT_EQ(Run({"add", "only-name"}).status, 2);
  EXPECT_EQ(Run({"frobnicate"}).status, 2);
  EXPECT_EQ(Run({"--help"}).status, 0);
  test::CommandResult overview = Run({});
  EXPECT_EQ(overview.status, 0);
  EXPECT_NE(overview.out.find("UserName=Player\n"), std::string::npos);
}

}  // namespace
}  // namespace kv
