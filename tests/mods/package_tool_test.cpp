// The bridge against stand-in tools: shell scripts that record how they were run, print what a
// test needs and leave result files.
#include "mods/package_tool.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class PackageToolBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    tool_.program = home_ / "qrx";
    tool_.workingFolder = home_.Path();
    tool_.catalogueBase = "http://mods.test/allmod/";
    // The instances follow the game folder, wherever it is.
    tool_.gamePath = home_ / "games/.minecraft/";
    test::WriteFile(tool_.gamePath + "launcher_profiles.json", "{}");
  }

  // The tool becomes a shell script with `body`; it records its folder and arguments first.
  void Script(const std::string& body) {
    test::WriteFile(tool_.program, "#!/bin/sh\npwd > \"" + home_.Path() + "ran\"\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> \"" +
                                       home_.Path() + "ran\"\n" + body + "\n");
    ::chmod(tool_.program.c_str(), 0755);
  }
  std::string Ran() const { return test::ReadFile(home_ / "ran"); }
  std::string InfoFolder(const std::string& instance) const {
    return home_ / ("games/Instance/" + instance + "/.qrx/.info/");
  }

  test::TempFolder home_;
  PackageTool tool_;
};

TEST_F(PackageToolBridge, EachOperationRunsTheToolWithItsArgumentsInTheLauncherFolder) {
  Script("exit 0");
  const std::string folder = home_.Path().substr(0, home_.Path().size() - 1);
  ASSERT_TRUE(PkgInit(tool_, "我的 \"世界\"", "1.7.10-Forge10.13.2.1291-Forge2"));
  EXPECT_EQ(Ran(), folder + "\ninit\n我的 \"世界\"\nhttp://mods.test/allmod/\n1.7.10\n");
  ASSERT_TRUE(PkgInstall(tool_, "a", "jei; rm -rf ~"));
  EXPECT_EQ(Ran(), folder + "\ninstall\na\njei; rm -rf ~\n");
  ASSERT_TRUE(PkgUninstall(tool_, "a", "jei"));
  EXPECT_EQ(Ran(), folder + "\nuninstall\na\njei\n");
  ASSERT_TRUE(PkgRefreshList(tool_, "a"));
  EXPECT_EQ(Ran(), folder + "\nlist\na\n");
  // A name far beyond any command-line limit of old still reaches the tool.
  const std::string longName(400, 'n');
  ASSERT_TRUE(PkgInstall(tool_, "a", longName));
  EXPECT_EQ(Ran(), folder + "\ninstall\na\n" + longName + "\n");
}

TEST_F(PackageToolBridge, NothingRunsWithoutAForgeVersionANameOrAnId) {
  Script("exit 0");
  std::vector<CatalogueMod> catalogue;
  std::string why;
  EXPECT_FALSE(PkgInit(tool_, "a", "1.7.10", &why));
  EXPECT_EQ(why, "这个游戏实例的版本不是 Forge 版本，不支持 Mod");
  EXPECT_FALSE(PkgMatchList(tool_, "a", "1.7.10-forge", catalogue));
  EXPECT_FALSE(PkgInit(tool_, "", "1.7.10-Forge1"));
  EXPECT_FALSE(PkgInstall(tool_, "a", ""));
  EXPECT_FALSE(PkgUninstall(tool_, "", "jei"));
  EXPECT_FALSE(PkgRefreshList(tool_, ""));
  // An instance name that would lead out of the instances' folder.
  EXPECT_FALSE(PkgRefreshList(tool_, "..", &why));
  EXPECT_FALSE(PkgInstall(tool_, "../../elsewhere", "jei"));
  EXPECT_EQ(Ran(), "");
}

TEST_F(PackageToolBridge, TheExitStatusAndALineBeginningWithTheFailureWordCount) {
  struct Case {
    const char* body;
    bool succeeds;
  };
  for (const Case& run : {Case{"exit 0", true}, Case{"echo all fine", true}, Case{"echo BADLUCK; echo BadLuck", true},
                          // The word inside a line is the tool's data: a mod may be called so.
                          Case{"echo '已安装: badluck-tools 1.0'", true},
                          Case{"printf 'removed notbadluck\\n  badluck'", true},
                          Case{"echo badluck", false}, Case{"echo 'badluck: 没有这个 Mod' >&2", false},
                          Case{"printf 'working\\nbadlu'; sleep 0.3; printf 'ck: split between two reads'", false},
                          Case{"printf 'working\\rbadluck'", false}, Case{"exit 3", false},
                          Case{"echo '已安装: x'; exit 1", false}, Case{"kill -9 $$", false}}) {
    Script(run.body);
    EXPECT_EQ(PkgRefreshList(tool_, "a"), run.succeeds) << run.body;
  }
  Script("echo working; echo 'badluck: 没有安装这个 Mod: jei'; exit 1");
  std::string why;
  EXPECT_FALSE(PkgUninstall(tool_, "a", "jei", &why));
  EXPECT_EQ(why, "没有安装这个 Mod: jei");
  // The reason is the failure line's, never a data line's, and reaches the player without
  // control characters.
  Script("printf 'badluck: 无法下载 \\033[2Jjar\\n已删除 badluck-tools\\n'; exit 1");
  EXPECT_FALSE(PkgUninstall(tool_, "a", "jei", &why));
  EXPECT_EQ(why, "无法下载 [2Jjar");
  Script("exit 4");
  EXPECT_FALSE(PkgUninstall(tool_, "a", "jei", &why));
  EXPECT_EQ(why, "Mod 管理工具以状态 4 结束");
}

TEST_F(PackageToolBridge, AToolThatKeepsQuietTooLongIsEndedAndFails) {
  Script("echo started; exec sleep 600");
  tool_.quietLimit = std::chrono::milliseconds(300);
  const ToolRun run = RunToolCaptured(tool_, {"list", "a"});
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.silenced);
  EXPECT_EQ(run.output, "started\n");
  EXPECT_FALSE(run.Succeeded());
  EXPECT_FALSE(PkgRefreshList(tool_, "a"));
}

TEST_F(PackageToolBridge, AMissingToolFailsEveryOperation) {
  std::vector<CatalogueMod> catalogue;
  std::vector<InstalledMod> installed;
  std::string why;
  EXPECT_FALSE(PkgInit(tool_, "a", "1.7.10-Forge1", &why));
  EXPECT_NE(why.find("无法启动"), std::string::npos);
  EXPECT_FALSE(PkgInstall(tool_, "a", "jei"));
  EXPECT_FALSE(PkgUninstall(tool_, "a", "jei"));
  EXPECT_FALSE(PkgMatchList(tool_, "a", "1.7.10-Forge1", catalogue));
  EXPECT_FALSE(PkgList(tool_, "a", installed));
  EXPECT_FALSE(PkgRefreshList(tool_, "a"));
}

TEST_F(PackageToolBridge, ListsAreReadFromTheInstanceFolderOnlyAfterASuccessfulRun) {
  const std::string matchList = InfoFolder("生存") + "Matchmod.info";
  const std::string installedList = InfoFolder("生存") + "InstalledMod.info";
  std::vector<CatalogueMod> catalogue(1);
  catalogue[0].id = "earlier";

  Script("exit 0");
  EXPECT_FALSE(PkgMatchList(tool_, "生存", "1.7.10-Forge1", catalogue));  // no result file
  EXPECT_EQ(catalogue.size(), 1u);

  test::WriteFile(matchList, R"({"allmodlist":[{"id":"a"},{"id":"b"}]})");
  Script("echo badluck");
  EXPECT_FALSE(PkgMatchList(tool_, "生存", "1.7.10-Forge1", catalogue));
  EXPECT_EQ(catalogue[0].id, "earlier");

  Script("exit 0");
  ASSERT_TRUE(PkgMatchList(tool_, "生存", "1.7.10-Forge1", catalogue));
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[1].id, "b");
  EXPECT_EQ(Ran().substr(Ran().find('\n') + 1), "matchlist\n生存\n1.7.10\n");

  test::WriteFile(matchList, "{\"allmodlist\": [ broken");
  EXPECT_FALSE(PkgMatchList(tool_, "生存", "1.7.10-Forge1", catalogue));
  EXPECT_EQ(catalogue.size(), 2u);

  std::vector<InstalledMod> installed;
  EXPECT_FALSE(PkgList(tool_, "生存", installed));
  // The tool may write its result just before it ends.
  Script("mkdir -p '" + InfoFolder("生存") + "'; echo '{\"installmodlist\":[{\"mod\":{\"id\":\"jei\"}}]}' > '" +
         installedList + "'");
  ASSERT_TRUE(PkgList(tool_, "生存", installed));
  ASSERT_EQ(installed.size(), 1u);
  EXPECT_EQ(installed[0].mod.id, "jei");
  EXPECT_EQ(InstalledListPath(tool_, "生存"), tool_.gamePath + "../Instance/生存/.qrx/.info/InstalledMod.info");
}

}  // namespace
}  // namespace kv
