// qrx end to end: korvane-catalogue makes a catalogue from jars, korvane-mirror serves it, and
// the launcher's bridge runs the real qrx on an instance of a launcher folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "mods/package_tool.h"
#include "settings/instance_commands.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/mod_jars.h"
#include "tools/qrx/instance_place.h"
#include "tools/qrx/qrx_commands.h"
#include "util/digest.h"

namespace kv {
namespace {

constexpr const char* kInstance = "生存";

class QrxEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeModJars(root_ / "jars/");
    const test::CommandResult built =
        test::RunCommand(KORVANE_CATALOGUE_PROGRAM, {"--jars", root_ / "jars", "--out", root_ / "www/allmod"});
    ASSERT_EQ(built.status, 0) << built.err;
    mirror_ = std::make_unique<test::MirrorProcess>(root_ / "www");
    ASSERT_TRUE(mirror_->Started());
    ASSERT_EQ(AddInstance(home_ / "KvCfg.ini", home_ / ".minecraft/", kInstance, "1.7.10-Forge10.13.2.1291").status,
              InstanceCommandStatus::Done);
    tool_.program = KORVANE_QRX_PROGRAM;
    tool_.workingFolder = home_.Path();
    tool_.catalogueBase = mirror_->BaseUrl() + "/allmod/";
    tool_.gamePath = home_ / ".minecraft/";
  }

  std::string Mods() const { return home_ / ".minecraft/../Instance/生存/mods/"; }
  std::string Qrx() const { return home_ / ".minecraft/../Instance/生存/.qrx/"; }
  std::vector<CatalogueMod> Catalogue() {
    std::vector<CatalogueMod> catalogue;
    std::string why;
    EXPECT_TRUE(PkgMatchList(tool_, kInstance, "1.7.10-Forge10.13.2.1291", catalogue, &why)) << why;
    return catalogue;
  }
  // Rewrites the published index, as a careless or hostile publisher might.
  void EditIndex(const std::string& from, const std::string& to) {
    const std::string path = root_ / "www/allmod/index.json";
    std::string index = test::ReadFile(path);
    const std::size_t at = index.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    index.replace(at, from.size(), to);
    test::WriteFile(path, index);
  }

  test::TempFolder root_;
  test::TempFolder home_;
  std::unique_ptr<test::MirrorProcess> mirror_;
  PackageTool tool_;
};

TEST_F(QrxEndToEnd, InitFetchesTheCatalogueAndIconsAndMatchListOffersTheForgeModsOfTheVersion) {
  std::string why;
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291", &why)) << why;
  EXPECT_EQ(mirror_->CountRequests("GET", "/allmod/jars/oldmod-1.0.jar"), 0);
  EXPECT_EQ(mirror_->CountRequests("GET", "/allmod/jars/Tech%20Mod%202.0.jar") +
                mirror_->CountRequests("GET", "/allmod/jars/Tech Mod 2.0.jar"),
            0);

  const std::vector<CatalogueMod> catalogue = Catalogue();
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].id, "oldmod");
  EXPECT_EQ(catalogue[1].id, "techmod");
  EXPECT_EQ(catalogue[1].installed, "false");
  EXPECT_EQ(catalogue[1].extra.author, (std::vector<std::string>{"甲", "乙"}));
  EXPECT_EQ(catalogue[1].extra.modchn, "科技 Mod");
  EXPECT_EQ(catalogue[1].extra.modtype, "Forge");
  ASSERT_EQ(catalogue[1].branches.size(), 1u);
  EXPECT_EQ(catalogue[1].branches[0].branch, "2.0");
  EXPECT_EQ(test::ReadFile(Qrx() + ".cache/" + catalogue[0].extra.icon), test::OldModIcon());
  EXPECT_EQ(test::ReadFile(Qrx() + ".cache/" + catalogue[1].extra.icon), test::TechModIcon());

  // The NeoForge mod is for another game version; the Fabric mod waits for a Fabric client.
  std::vector<CatalogueMod> other;
  ASSERT_TRUE(PkgMatchList(tool_, kInstance, "1.20.1-Forge47", other));
  ASSERT_EQ(other.size(), 1u);
  EXPECT_EQ(other[0].id, "neomod");
  EXPECT_EQ(other[0].extra.modtype, "NeoForge");
}

TEST_F(QrxEndToEnd, InstallPlacesTheCheckedJarAndUninstallLeavesTheModsFolderAsItWas) {
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  test::WriteFile(Mods() + "mine.jar", "the player's own mod");
  const std::string before = test::ListFiles(Mods());

  std::string why;
  ASSERT_TRUE(PkgInstall(tool_, kInstance, "techmod", &why)) << why;
  EXPECT_EQ(test::ReadFile(Mods() + "Tech Mod 2.0.jar"), test::ReadFile(root_ / "jars/Tech Mod 2.0.jar"));
  EXPECT_EQ(test::ListFiles(Mods()), "Tech Mod 2.0.jar\nmine.jar\n");
  EXPECT_EQ(test::ListFiles(Qrx() + ".download"), "");
  EXPECT_EQ(Catalogue()[1].installed, "true");

  std::vector<InstalledMod> installed;
  ASSERT_TRUE(PkgList(tool_, kInstance, installed));
  ASSERT_EQ(installed.size(), 1u);
  EXPECT_EQ(installed[0].mod.id, "techmod");
  ASSERT_EQ(installed[0].installs.size(), 1u);
  EXPECT_EQ(installed[0].installs[0].to, "mods/Tech Mod 2.0.jar");
  EXPECT_EQ(installed[0].installs[0].md5, Md5Hex(test::ReadFile(root_ / "jars/Tech Mod 2.0.jar")));

  // Installing it again changes nothing and fetches nothing.
  const std::string log = mirror_->Log();
  ASSERT_TRUE(PkgInstall(tool_, kInstance, "techmod"));
  EXPECT_EQ(mirror_->Log(), log);

  ASSERT_TRUE(PkgUninstall(tool_, kInstance, "techmod", &why)) << why;
  EXPECT_EQ(test::ListFiles(Mods()), before);
  EXPECT_EQ(test::ReadFile(Mods() + "mine.jar"), "the player's own mod");
  ASSERT_TRUE(PkgList(tool_, kInstance, installed));
  EXPECT_TRUE(installed.empty());

  EXPECT_FALSE(PkgUninstall(tool_, kInstance, "techmod", &why));
  EXPECT_EQ(why, "没有安装这个 Mod: techmod");
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "fabmod", &why));
  EXPECT_EQ(why, "Mod fabmod 不适用于游戏版本 1.7.10");
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "nosuchmod", &why));
}

TEST_F(QrxEndToEnd, AJarThatDoesNotMatchItsDigestIsRefusedWithNothingPlaced) {
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  std::string jar = test::ReadFile(root_ / "www/allmod/jars/oldmod-1.0.jar");
  jar[jar.size() / 2] ^= 0x20;
  test::WriteFile(root_ / "www/allmod/jars/oldmod-1.0.jar", jar);
  std::string why;
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "oldmod", &why));
  EXPECT_NE(why.find("MD5"), std::string::npos) << why;
  EXPECT_EQ(test::ListFiles(Mods()), "");
  EXPECT_EQ(test::ListFiles(Qrx() + ".download"), "");
  EXPECT_EQ(Catalogue()[0].installed, "false");

  // A file the player placed under the same name is never replaced.
  test::WriteFile(Mods() + "Tech Mod 2.0.jar", "own build");
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "techmod", &why));
  EXPECT_EQ(test::ReadFile(Mods() + "Tech Mod 2.0.jar"), "own build");
}

TEST_F(QrxEndToEnd, NeitherTheCatalogueNorTheInstalledListCanReachOutsideTheModsFolder) {
  EditIndex("\"name\" : \"Tech Mod 2.0.jar\"", "\"name\" : \"../../escaped.jar\"");
  EditIndex("\"path\" : \"jars/oldmod-1.0.jar\"", "\"path\" : \"../../../etc/passwd\"");
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  // Such entries are not offered, and installing them is refused.
  EXPECT_TRUE(Catalogue().empty());
  std::string why;
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "techmod", &why));
  EXPECT_NE(why.find("../../escaped.jar"), std::string::npos) << why;
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "oldmod", &why));
  EXPECT_FALSE(std::filesystem::exists(home_ / ".minecraft/../Instance/escaped.jar"));
  EXPECT_EQ(test::ListFiles(Mods()), "");

  // An installed list that names a file elsewhere: nothing is removed, the record stays.
  test::WriteFile(home_ / "victim.txt", "keep me");
  test::WriteFile(Qrx() + ".info/InstalledMod.info",
                  R"({"installmodlist":[{"mod":{"id":"evil"},"installs":{"installs":[
                     {"from":"x","to":"mods/../../../victim.txt","md5":")" +
                      Md5Hex("keep me") + R"("}]}}]})");
  EXPECT_FALSE(PkgUninstall(tool_, kInstance, "evil", &why));
  EXPECT_EQ(test::ReadFile(home_ / "victim.txt"), "keep me");
  std::vector<InstalledMod> installed;
  ASSERT_TRUE(PkgList(tool_, kInstance, installed));
  EXPECT_EQ(installed.size(), 1u);
}

TEST_F(QrxEndToEnd, NothingIsFetchedBeyondTheSizeTheCatalogueGivesOrBeyondTheIndexsBound) {
  // Every file answered with much more than it has, and no length to tell.
  test::MirrorProcess generous(root_ / "www", {"--extra", "*=20000000", "--no-length", "*"});
  ASSERT_TRUE(generous.Started()) << generous.Log();
  std::string error;
  const std::optional<qrx::InstancePlace> place = qrx::InstancePlace::Find(home_.Path(), kInstance, error);
  ASSERT_TRUE(place) << error;
  ASSERT_TRUE(place->MakeFolders());
  const qrx::CommandResult init = qrx::Init(*place, generous.BaseUrl() + "/allmod/", "1.7.10");
  ASSERT_TRUE(init.ok) << init.failure;
  int stopped = 0;
  for (const std::string& line : init.lines) {
    if (line.starts_with("图标: 无法下载 ") && line.find("字节的上限，已停止") != std::string::npos) ++stopped;
  }
  EXPECT_EQ(stopped, 2) << ::testing::PrintToString(init.lines);
  const qrx::CommandResult install = qrx::Install(*place, "techmod");
  EXPECT_FALSE(install.ok);
  EXPECT_NE(install.failure.find("字节的上限，已停止"), std::string::npos) << install.failure;
  EXPECT_EQ(test::ListFiles(Mods()), "");

  // The index has a bound of its own; an answer that announces more is refused at once.
  test::MirrorProcess endless(root_ / "www", {"--extra", "/allmod/index.json=" + std::to_string(qrx::kCatalogueIndexLimit)});
  ASSERT_TRUE(endless.Started()) << endless.Log();
  tool_.catalogueBase = endless.BaseUrl() + "/allmod/";
  std::string why;
  EXPECT_FALSE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291", &why));
  EXPECT_NE(why.find("无法下载 Mod 目录"), std::string::npos) << why;
  EXPECT_NE(why.find(std::to_string(qrx::kCatalogueIndexLimit) + " 字节的上限"), std::string::npos) << why;
}

TEST_F(QrxEndToEnd, WhatIsKeptUnchangedIsNotReadAgainButEveryChangeIs) {
  // An icon the server cannot give: the next init with the same catalogue asks again.
  std::string oldIcon;
  for (const auto& icon : std::filesystem::directory_iterator(root_ / "www/allmod/icons")) {
    if (icon.path().filename().string().rfind("oldmod-", 0) == 0) oldIcon = icon.path().string();
  }
  ASSERT_FALSE(oldIcon.empty());
  std::filesystem::rename(oldIcon, root_ / "aside.png");
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  EXPECT_FALSE(std::filesystem::exists(Qrx() + ".cache/" + Catalogue()[0].extra.icon));
  std::filesystem::rename(root_ / "aside.png", oldIcon);
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  EXPECT_EQ(test::ReadFile(Qrx() + ".cache/" + Catalogue()[0].extra.icon), test::OldModIcon());

  // A catalogue published anew is read anew, and so is the list made from it.
  const std::string before = test::ReadFile(Qrx() + ".info/Matchmod.info");
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  EXPECT_EQ(Catalogue()[1].extra.modchn, "科技 Mod");
  EXPECT_EQ(test::ReadFile(Qrx() + ".info/Matchmod.info"), before);
  EditIndex("\"name\" : \"科技 Mod\"", "\"name\" : \"科技 Mod 第二版\"");
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  EXPECT_EQ(Catalogue()[1].extra.modchn, "科技 Mod 第二版");

  // A list changed or damaged since it was written is written again.
  test::WriteFile(Qrx() + ".info/Matchmod.info", R"({"allmodlist": [{"id": "planted"}]})");
  EXPECT_EQ(Catalogue().size(), 2u);
  test::WriteFile(Qrx() + ".info/InstalledMod.info", R"({"installmodlist": [{"mod": {"id": "oldmod"}}]})");
  EXPECT_EQ(Catalogue()[0].installed, "true");
  // As is a list asked for another game version.
  std::vector<CatalogueMod> other;
  ASSERT_TRUE(PkgMatchList(tool_, kInstance, "1.20.1-Forge47", other));
  EXPECT_EQ(other[0].id, "neomod");
}

TEST_F(QrxEndToEnd, AModWhoseIdHoldsTheFailureWordInstallsAndUninstallsAsAnyOther) {
  EditIndex("\"id\" : \"techmod\"", "\"id\" : \"badluck-tools\"");
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  ASSERT_EQ(Catalogue()[1].id, "badluck-tools");
  std::string why;
  ASSERT_TRUE(PkgInstall(tool_, kInstance, "badluck-tools", &why)) << why;
  EXPECT_EQ(test::ListFiles(Mods()), "Tech Mod 2.0.jar\n");
  std::vector<InstalledMod> installed;
  ASSERT_TRUE(PkgList(tool_, kInstance, installed));
  ASSERT_EQ(installed.size(), 1u);
  EXPECT_EQ(installed[0].mod.id, "badluck-tools");
  ASSERT_TRUE(PkgUninstall(tool_, kInstance, "badluck-tools", &why)) << why;
  EXPECT_EQ(test::ListFiles(Mods()), "");
  // A line break in a catalogue's text cannot make a line of qrx's own either.
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "x\nbadluck", &why));
  EXPECT_EQ(why, "目录中没有这个 Mod: x?badluck");
}

TEST_F(QrxEndToEnd, LinksPlantedInTheInstanceNeverCarryAWriteOutOfIt) {
  ASSERT_TRUE(PkgInit(tool_, kInstance, "1.7.10-Forge10.13.2.1291"));
  test::WriteFile(home_ / "victim.txt", "keep me");
  test::WriteFile(home_ / "victim.json", R"({"installmodlist": []})");
  // Result files that are links to files outside the instance: the results replace the links.
  std::filesystem::create_symlink("../../../../victim.txt", Qrx() + ".info/Matchmod.info");
  std::filesystem::create_symlink("../../../../victim.json", Qrx() + ".info/InstalledMod.info");
  ASSERT_EQ(Catalogue().size(), 2u);
  std::vector<InstalledMod> installed;
  ASSERT_TRUE(PkgList(tool_, kInstance, installed));
  EXPECT_EQ(test::ReadFile(home_ / "victim.txt"), "keep me");
  EXPECT_EQ(test::ReadFile(home_ / "victim.json"), R"({"installmodlist": []})");
  EXPECT_FALSE(std::filesystem::is_symlink(Qrx() + ".info/Matchmod.info"));
  EXPECT_FALSE(std::filesystem::is_symlink(Qrx() + ".info/InstalledMod.info"));

  // Folders that lead elsewhere are refused before anything is written into them.
  test::WriteFile(home_ / "elsewhere/mine.txt", "mine");
  std::filesystem::remove_all(Qrx() + ".info");
  std::filesystem::create_directory_symlink(home_ / "elsewhere", Qrx() + ".info");
  std::vector<CatalogueMod> catalogue;
  std::string why;
  EXPECT_FALSE(PkgMatchList(tool_, kInstance, "1.7.10-Forge10.13.2.1291", catalogue, &why));
  EXPECT_NE(why.find("链接"), std::string::npos) << why;
  std::filesystem::remove(Qrx() + ".info");
  std::filesystem::create_directory_symlink(home_ / "elsewhere", Mods().substr(0, Mods().size() - 1));
  EXPECT_FALSE(PkgInstall(tool_, kInstance, "techmod", &why));
  EXPECT_NE(why.find("链接"), std::string::npos) << why;
  EXPECT_EQ(test::ListFiles(home_ / "elsewhere"), "mine.txt\n");
}

TEST_F(QrxEndToEnd, UnknownInstancesAndUnreachableCataloguesFailWithAReason) {
  std::string why;
  EXPECT_FALSE(PkgInit(tool_, "没有", "1.7.10-Forge1", &why));
  EXPECT_EQ(why, "没有这个游戏实例: 没有");
  tool_.catalogueBase = mirror_->BaseUrl() + "/nothing-here/";
  EXPECT_FALSE(PkgInit(tool_, kInstance, "1.7.10-Forge1", &why));
  EXPECT_NE(why.find("无法下载 Mod 目录"), std::string::npos) << why;
  std::vector<CatalogueMod> catalogue;
  EXPECT_FALSE(PkgMatchList(tool_, kInstance, "1.7.10-Forge1", catalogue, &why));
  EXPECT_EQ(why, "还没有 Mod 目录，请先运行 init");
}

}  // namespace
}  // namespace kv
