#include <gtest/gtest.h>

#include <algorithm>

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
            "UserName=史蒂夫\nPWD=<已隐藏 7 个字符>\nIsGenuine=false\n"
            "JavaPath=C:\\Program Files\\Java\\jre7\\bin\\java.exe\n"
            "GamePath=D:\\游戏\\Korvane\\.minecraft\\\nJVMMemoryMin=512\nJVMMemoryMax=2048\n"
            "LaunchParameters=-XX:+UseG1GC\nJavaVer=1.7.0_55\nIsAutoMallocMemory=false\nIsShowCmd=true\n"
            "IsKeepLog=false\nDownloadSource=\nAuthServer=\nMsaClientId=\n");
  EXPECT_NE(Run({"settings", "--reveal"}).out.find("PWD=p@ss 密码\n"), std::string::npos);

  result = Run({"instances"});
  EXPECT_EQ(result.out, "生存\t1.7.10\nForge 模组\t1.7.10-Forge10.13.4.1614-1.7.10\n\t\n");
}

TEST_F(Cli, InstanceCommandsAndTheirRefusals) {
  test::CommandResult added = Run({"add", "生存", "1.7.10"});
  EXPECT_EQ(added.status, 0);
  EXPECT_EQ(added.out, "已添加游戏实例 生存（版本 1.7.10）\n");
  EXPECT_TRUE(PathExists(home_ / "Instance/生存"));
  test::CommandResult duplicate = Run({"add", "生存", "1.12.2"});
  EXPECT_NE(duplicate.status, 0);
  EXPECT_EQ(duplicate.err, "korvane-cli: 已存在同名的游戏实例\n");
  EXPECT_NE(Run({"add", "..", "1.7.10"}).status, 0);
  EXPECT_NE(Run({"add", "a/b", "1.7.10"}).status, 0);

  EXPECT_EQ(Run({"rename", "生存", "创造"}).out, "已将游戏实例 生存 重命名为 创造\n");
  EXPECT_TRUE(PathExists(home_ / "Instance/创造"));
  test::CommandResult unknown = Run({"rename", "nobody", "x"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_EQ(unknown.err, "korvane-cli: 没有这个游戏实例: nobody\n");

  EXPECT_EQ(Run({"instances"}).out, "创造\t1.7.10\n");
  EXPECT_EQ(Run({"delete", "创造", "--yes"}).out, "已删除游戏实例 创造\n");
  EXPECT_FALSE(PathExists(home_ / "Instance/创造"));
  EXPECT_EQ(Run({"delete", "创造", "--yes"}).err, "korvane-cli: 没有这个游戏实例: 创造\n");
  // Nothing to list: the list stays empty for scripts, and the player reads why.
  const test::CommandResult none = Run({"instances"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "korvane-cli: 还没有游戏实例（用 korvane-cli add NAME VERSION 添加）\n");
}

TEST_F(Cli, DeletingAsksOnATerminalAndNeedsYesElsewhere) {
  ASSERT_EQ(Run({"add", "生存", "1.7.10"}).status, 0);
  test::WriteFile(home_ / "Instance/生存/saves/world/level.dat", "world");
  const auto stillThere = [&] { return PathExists(home_ / "Instance/生存/saves/world/level.dat"); };
  const std::vector<std::string> environment{"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent"};

  // No one to ask: refused, saying how to confirm.
  const test::CommandResult unasked = Run({"delete", "生存"});
  EXPECT_EQ(unasked.status, 1);
  EXPECT_NE(unasked.err.find("--yes"), std::string::npos) << unasked.err;
  EXPECT_TRUE(stillThere());

  // On a terminal the question names what goes for good and where; only yes deletes.
  const test::CommandResult declined = test::RunCommandOnTerminal(KORVANE_CLI, {"delete", "生存"}, environment, "n\n");
  EXPECT_EQ(declined.status, 1);
  EXPECT_NE(declined.err.find(home_ / "Instance/生存/"), std::string::npos) << declined.err;
  for (const char* word : {"永久", "存档", "Mod", "设置", "[y/N]"}) EXPECT_NE(declined.err.find(word), std::string::npos) << word;
  EXPECT_TRUE(stillThere());
  const test::CommandResult confirmed = test::RunCommandOnTerminal(KORVANE_CLI, {"delete", "生存"}, environment, "y\n");
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
  EXPECT_EQ(confirmed.out, "已删除游戏实例 生存\n");
  EXPECT_FALSE(PathExists(home_ / "Instance/生存"));

  // An instance that is not there is named as such before anything is asked.
  const test::CommandResult unknown = test::RunCommandOnTerminal(KORVANE_CLI, {"delete", "生存"}, environment, "y\n");
  EXPECT_EQ(unknown.err, "korvane-cli: 没有这个游戏实例: 生存\n");
}

TEST_F(Cli, AVersionThatNoListNamesNeedsForce) {
  // No list yet: nothing rules a version out.
  EXPECT_EQ(Run({"add", "早期", "0.0.1-typo"}).status, 0);
  test::WriteFile(home_ / ".minecraft/versions/versions.json", test::ReadFixture("versions/version_manifest.json"));
  EXPECT_EQ(Run({"add", "原版", "1.7.10"}).status, 0);
  const test::CommandResult refused = Run({"add", "错版", "1.7.100"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_TRUE(refused.err.starts_with("korvane-cli: 版本列表中没有版本 1.7.100，")) << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_FALSE(PathExists(home_ / "Instance/错版"));
  EXPECT_EQ(Run({"add", "错版", "1.7.100", "--force"}).status, 0);
  // A loader's version, installed in the game folder, is in no list.
  test::WriteFile(home_ / ".minecraft/versions/1.7.10-Forge/1.7.10-Forge.json", R"({"id":"1.7.10-Forge"})");
  EXPECT_EQ(Run({"add", "锻造", "1.7.10-Forge"}).status, 0);
  EXPECT_EQ(Run({"instances"}).out, "早期\t0.0.1-typo\n原版\t1.7.10\n错版\t1.7.100\n锻造\t1.7.10-Forge\n");
}

TEST_F(Cli, UsageErrorsAndHelpInChinese) {
  const test::CommandResult usage = Run({"add", "only-name"});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err, "用法: korvane-cli add NAME VERSION [--force | --loader KIND[:VERSION]]\n");
  const test::CommandResult unknown = Run({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.err.starts_with("korvane-cli: 没有这个命令: frobnicate\n")) << unknown.err;
  const test::CommandResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  // Every line of the help says something in Chinese.
  std::size_t start = 0;
  for (std::size_t end = help.out.find('\n'); end != std::string::npos; start = end + 1, end = help.out.find('\n', start)) {
    const std::string line = help.out.substr(start, end - start);
    if (line.empty()) continue;
    EXPECT_TRUE(std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        << line;
  }
  test::CommandResult overview = Run({});
  EXPECT_EQ(overview.status, 0);
  EXPECT_NE(overview.out.find("UserName=Player\n"), std::string::npos);
}

}  // namespace
}  // namespace kv
