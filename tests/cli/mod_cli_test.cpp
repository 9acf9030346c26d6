// korvane-cli's mod commands, over the qrx that the build puts beside it, against a one-mod
// catalogue served by korvane-mirror.
#include <gtest/gtest.h>

#include "mods/mod_documents.h"
#include "tests/net/mirror_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/digest.h"
#include "util/files.h"

namespace kv {
namespace {

class ModCli : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string jar = "not really a jar, but what the catalogue says";
    test::WriteFile(www_ / "allmod/jars/demo-1.0.jar", jar);
    test::WriteFile(www_ / "allmod/index.json", R"({"format": 1, "mods": [{"id": "demo", "name": "演示 Mod",
        "version": "1.0", "authors": ["A", "B\u001b[2J"], "loader": "forge", "minecraft": {"versions": ["1.7.10"]},
        "files": [{"path": "jars/demo-1.0.jar", "name": "demo-1.0.jar", "md5": ")" +
                                                    Md5Hex(jar) + R"(", "size": )" + std::to_string(jar.size()) +
                                                    "}]}]}");
    mirror_ = std::make_unique<test::MirrorProcess>(www_.Path());
    ASSERT_TRUE(mirror_->Started());
  }
  test::CommandResult Run(const std::vector<std::string>& args) {
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), "KORVANE_CATALOGUE=" + mirror_->BaseUrl() + "/allmod/",
                             "JAVA_HOME=", "PATH=/nonexistent"});
  }
  test::TempFolder home_;
  test::TempFolder www_;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

TEST_F(ModCli, ListInstallListInstalledAndRemove) {
  ASSERT_EQ(Run({"add", "生存", "1.7.10-Forge10.13.2.1291"}).status, 0);
  test::CommandResult listed = Run({"mods", "生存"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, "demo\t演示 Mod\tA, B?[2J\t未安装\n");

  test::CommandResult installed = Run({"mod-install", "生存", "demo"});
  ASSERT_EQ(installed.status, 0) << installed.err;
  EXPECT_TRUE(PathExists(home_ / "Instance/生存/mods/demo-1.0.jar"));
  EXPECT_EQ(Run({"mods", "生存", "--installed"}).out, "demo\t演示 Mod\tA, B?[2J\t已安装\n");
  EXPECT_EQ(Run({"mods", "生存"}).out, "demo\t演示 Mod\tA, B?[2J\t已安装\n");

  ASSERT_EQ(Run({"mod-remove", "生存", "demo"}).status, 0);
  EXPECT_FALSE(PathExists(home_ / "Instance/生存/mods/demo-1.0.jar"));
  const test::CommandResult none = Run({"mods", "生存", "--installed"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "korvane-cli: 游戏实例 生存 还没有安装 Mod\n");
  test::CommandResult again = Run({"mod-remove", "生存", "demo"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "korvane-cli: 没有安装这个 Mod: demo\n");
}

TEST_F(ModCli, ALargeCatalogueListsEachModOnceWithAllItsVersionsInCatalogueOrder) {
  // 20,000 entries: 5,000 mods, each in four versions spread over the whole index.
  constexpr int kMods = 5000;
  std::string index = R"({"format": 1, "mods": [)";
  for (int i = 0; i < 4 * kMods; ++i) {
    const std::string id = "m" + std::to_string((i * 7) % kMods);
    const std::string version = std::to_string(i / kMods + 1) + ".0";
    index += std::string(i == 0 ? "" : ",") + R"({"id": ")" + id + R"(", "version": ")" + version +
             R"(", "loader": "forge", "minecraft": {"versions": ["1.7.10"]}, "files": [{"path": "jars/)" + id +
             R"(.jar", "name": ")" + id + R"(.jar", "md5": "0123456789abcdef0123456789abcdef", "size": 1}]})";
  }
  test::WriteFile(www_ / "allmod/index.json", index + "]}");
  ASSERT_EQ(Run({"add", "生存", "1.7.10-Forge10.13.2.1291"}).status, 0);
  const test::CommandResult listed = Run({"mods", "生存"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = listed.out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(listed.out.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kMods));
  EXPECT_EQ(lines[0], "m0\t\t\t未安装");
  EXPECT_EQ(lines[1], "m7\t\t\t未安装");
  EXPECT_EQ(lines.back(), "m4993\t\t\t未安装");

  std::vector<CatalogueMod> offered;
  const std::optional<std::string> matched = ReadWholeFile(home_ / "Instance/生存/.qrx/.info/Matchmod.info");
  ASSERT_TRUE(matched && ParseCatalogue(*matched, offered));
  ASSERT_EQ(offered.size(), static_cast<std::size_t>(kMods));
  ASSERT_EQ(offered[1].branches.size(), 4u);
  EXPECT_EQ(offered[1].branches[0].branch, "1.0");
  EXPECT_EQ(offered[1].branches[3].branch, "4.0");
}

TEST_F(ModCli, ACatalogueWithNothingForTheVersionSaysSo) {
  ASSERT_EQ(Run({"add", "新版", "1.12.2-Forge14.23.5.2859"}).status, 0);
  const test::CommandResult listed = Run({"mods", "新版"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "");
  EXPECT_TRUE(listed.err.ends_with("korvane-cli: Mod 目录中没有适用于版本 1.12.2-Forge14.23.5.2859 的 Mod\n")) << listed.err;
}

TEST_F(ModCli, VersionsWithoutForgeAndUnknownInstancesAreRefused) {
  ASSERT_EQ(Run({"add", "原版", "1.7.10"}).status, 0);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"mods", "原版"}, {"mod-install", "原版", "demo"}, {"mod-remove", "原版", "demo"}}) {
    test::CommandResult refused = Run(args);
    EXPECT_EQ(refused.status, 1) << args[0];
    EXPECT_EQ(refused.err, "korvane-cli: 这个游戏实例的版本不是 Forge 版本，不支持 Mod\n") << args[0];
  }
  EXPECT_EQ(Run({"mods", "没有"}).err, "korvane-cli: 没有这个游戏实例: 没有\n");
  EXPECT_EQ(Run({"mods", "原版", "--all"}).status, 2);
  EXPECT_EQ(mirror_->CountRequests("GET", "/allmod/index.json"), 0);
}

}  // namespace
}  // namespace kv
