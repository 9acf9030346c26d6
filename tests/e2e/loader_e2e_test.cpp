// Loaders listed, installed and launched through korvane-cli: a local korvane-mirror stands in
// for the loaders' publishers, the game's publisher and the China mirror. The loaders' main
// classes, the game's and the installers' processors are stand-ins compiled here; the real
// java runs them.
#include <gtest/gtest.h>

#include <map>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "loader/installer_install.h"
#include "platform/profile_store.h"
#include "settings/instance_list.h"
#include "tests/loader/installer_publisher.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/java_tools.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::LoaderPublisher;

constexpr const char* kFabricId = "fabric-loader-0.16.9-1.21.1";
constexpr const char* kIntermediary = "/maven.fabricmc.net/net/fabricmc/intermediary/1.21.1/intermediary-1.21.1.jar";

class LoaderEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new test::TempFolder;
    const std::string classes = root_->Path() + "classes";
    const std::string game = std::string(KORVANE_SOURCE_DIR) + "/tests/e2e/game/";
    const std::string fabricMain = "net/fabricmc/loader/impl/launch/knot/KnotClient";
    const std::string quiltMain = "org/quiltmc/loader/impl/launch/knot/KnotClient";
    const std::string bootstrap = "cpw/mods/bootstraplauncher/BootstrapLauncher";
    const std::string launchWrapper = "net/minecraft/launchwrapper/Launch";
    const std::string gameMain = "net/minecraft/client/main/Main";
    std::vector<std::string> javac = {"--release", "11", "-d", classes};
    for (const std::string& main : {fabricMain, quiltMain, bootstrap, launchWrapper, gameMain}) javac.push_back(game + main + ".java");
    const test::CommandResult compiled = test::RunCommand(test::JavaTool("javac"), javac);
    ASSERT_EQ(compiled.status, 0) << compiled.err;
    // Each library a jar of its own; the loaders' own jars hold their main classes.
    const std::map<std::string, std::string> mainClasses = {
        {"net.fabricmc:fabric-loader:0.16.9", fabricMain},  {"org.quiltmc:quilt-loader:0.26.0", quiltMain},
        {"cpw.mods:bootstraplauncher:1.1.2", bootstrap},    {"cpw.mods:bootstraplauncher:2.0.2", bootstrap},
        {"net.minecraft:launchwrapper:1.12", launchWrapper}};
    auto jarOf = [&](const std::string& coordinate) {
      std::vector<std::pair<std::string, std::string>> entries = {
          {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\nCreated-By: " + coordinate + "\n"}};
      if (const auto main = mainClasses.find(coordinate); main != mainClasses.end()) {
        entries.emplace_back(main->second + ".class", *ReadWholeFile(classes + "/" + main->second + ".class"));
      }
      return test::ZipBytes(entries);
    };

    const std::string client = test::ZipBytes({{gameMain + ".class", *ReadWholeFile(classes + "/" + gameMain + ".class")}});
    const std::string served = root_->Path() + "served";
    for (LoaderPublisher::Copy copy : {LoaderPublisher::Copy::Publishers, LoaderPublisher::Copy::ChinaMirror}) {
      LoaderPublisher publisher(served, copy);
      publisher.ServeGameVersion("1.21.1", client);
      const std::string fabricMeta = "https://meta.fabricmc.net/v2/versions/loader/1.21.1";
      publisher.ServeList(fabricMeta, test::MetaListForGame(test::ParseJson(R"([{"version": "0.17.0-beta.1", "stable": false},
                                                                               {"version": "0.16.9", "stable": true}])"),
                                                            "1.21.1"));
      publisher.ServeProfile(fabricMeta + "/0.16.9/profile/json",
                             test::ParseJson(test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json")),
                             jarOf);
      publisher.ServeProfile("https://meta.quiltmc.org/v3/versions/loader/1.21.1/0.26.0/profile/json",
                             test::QuiltProfile("0.26.0", "1.21.1"), jarOf);
    }
    LoaderPublisher publisher(served);
    ServeInstallers(publisher, client, jarOf);
    publisher.ServeList("https://meta.quiltmc.org/v3/versions/loader/1.21.1",
                        test::MetaListForGame(test::ParseJson(R"([{"version": "0.26.0"}])"), "1.21.1"));
    publisher.Serve("https://maven.minecraftforge.net/net/minecraftforge/forge/maven-metadata.xml",
                    "<metadata><versioning><versions><version>1.21.1-52.1.0</version><version>1.21.1-52.1.16</version>"
                    "</versions></versioning></metadata>");
    publisher.Serve("https://files.minecraftforge.net/net/minecraftforge/forge/promotions_slim.json",
                    test::ReadFixture("loaders/forge/promotions_slim.json"));
    publisher.Serve("https://maven.neoforged.net/api/maven/versions/releases/net/neoforged/neoforge",
                    R"({"isSnapshot": false, "versions": ["21.1.1", "21.1.172"]})");
  }
  static void TearDownTestSuite() { delete root_; }

  // Forge 1.20.1-47.2.0, the legacy Forge 1.12.2-14.23.5.2847 and NeoForge 21.1.172, made from
  // their published documents, with the game versions they extend.
  static void ServeInstallers(LoaderPublisher& publisher, const std::string& client, const test::JarOf& jarOf) {
    const test::ProcessorJars processors = test::CompileProcessorJars(root_->Path() + "processors");
    // This publisher's version list names every version it serves.
    for (const char* version : {"1.21.1", "1.20.1", "1.12.2"}) publisher.ServeGameVersion(version, client);
    test::ServeInstaller(publisher, InstallerUrl(LoaderKind::Forge, "1.20.1", "47.2.0"),
                         test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/install_profile.json")),
                         test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/version.json")), jarOf,
                         processors.working);
    test::ServeInstaller(publisher, InstallerUrl(LoaderKind::Forge, "1.12.2", "14.23.5.2847"),
                         test::ParseJson(test::ReadFixture("loaders/forge/1.12.2-14.23.5.2847-legacy/install_profile.json")),
                         Json::nullValue, jarOf, {});
    test::ServeInstaller(publisher, InstallerUrl(LoaderKind::NeoForge, "1.21.1", "21.1.172"),
                         test::ParseJson(test::ReadFixture("loaders/neoforge/21.1.172/install_profile.json")),
                         test::ParseJson(test::ReadFixture("loaders/neoforge/21.1.172/version.json")), jarOf,
                         processors.working);
  }

  void SetUp() override {
    settings_ = home_ / "KvCfg.ini";
    profile::WriteString(settings_, "KvCfg", "JavaPath", test::JavaTool("java"));
  }

  bool StartMirror(const std::vector<std::string>& options = {}) {
    mirror_ = std::make_unique<test::MirrorProcess>(root_->Path() + "served", options);
    return mirror_->Started();
  }

  test::CommandResult Cli(const std::vector<std::string>& args, bool chinaMirror = false) {
    const std::string closed = "http://127.0.0.1:9";
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), std::string("KORVANE_SOURCE=") + (chinaMirror ? "bmclapi" : "official"),
                             "KORVANE_OFFICIAL_ROOT=" + (chinaMirror ? closed : mirror_->BaseUrl()),
                             "KORVANE_BMCLAPI_ROOT=" + (chinaMirror ? mirror_->BaseUrl() + "/bmclapi" : closed),
                             "KORVANE_MIRROR=" + closed, "KORVANE_STATS_URL=", "KORVANE_TEST_EXIT=7"});
  }

  bool Registered(const std::string& name) const { return CInstanceList(settings_, false).Contains(name); }
  std::string Game(const std::string& path) const { return home_.Path() + ".minecraft/" + path; }

  static test::TempFolder* root_;
  test::TempFolder home_;
  std::string settings_;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

test::TempFolder* LoaderEndToEnd::root_ = nullptr;

TEST_F(LoaderEndToEnd, TheVersionsOfEveryLoaderForAGameVersion) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult listed = Cli({"loaders", "1.21.1"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out,
            "fabric 0.16.9 stable\n"
            "fabric 0.17.0-beta.1\n"
            "quilt 0.26.0 stable\n"
            "forge 52.1.16\n"
            "forge 52.1.0 recommended\n"
            "neoforge 21.1.172 stable\n"
            "neoforge 21.1.1 stable\n");
  const test::CommandResult older = Cli({"loaders", "1.19.2"});
  EXPECT_EQ(older.status, 0) << older.err;
  EXPECT_EQ(older.out, "");
  EXPECT_NE(older.err.find("Fabric 没有适用于 1.19.2 的版本"), std::string::npos) << older.err;
  EXPECT_NE(older.err.find("NeoForge 没有适用于 1.19.2 的版本"), std::string::npos) << older.err;
}

TEST_F(LoaderEndToEnd, FabricInstalledWithTheInstanceAndLaunched) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "织布", "1.21.1", "--loader", "fabric"});
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(added.out, std::string("已添加游戏实例 织布（版本 ") + kFabricId + "）\n");
  EXPECT_NE(added.err.find("下载库文件 8/8"), std::string::npos) << added.err;
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("织布"), kFabricId);

  const test::CommandResult launched = Cli({"launch", "织布"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  const std::string& out = launched.out;
  EXPECT_NE(out.find("loader=fabric\n"), std::string::npos) << out;
  // The description's argument with blanks arrives as one, blanks and all.
  EXPECT_NE(out.find("FabricMcEmu=[ net.minecraft.client.main.Main ]\n"), std::string::npos) << out;
  EXPECT_NE(out.find("=--version\narg[3]=" + std::string(kFabricId) + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find(Game("libraries/net/fabricmc/fabric-loader/0.16.9/fabric-loader-0.16.9.jar")), std::string::npos);
  EXPECT_NE(out.find(Game("libraries/net/fabricmc/intermediary/1.21.1/intermediary-1.21.1.jar")), std::string::npos);
}

TEST_F(LoaderEndToEnd, QuiltOfTheNamedVersionLaunched) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "被子", "1.21.1", "--loader", "quilt:0.26.0"});
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("被子"), "quilt-loader-0.26.0-1.21.1");
  const test::CommandResult launched = Cli({"launch", "被子"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  EXPECT_NE(launched.out.find("loader=quilt\n"), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("arg[3]=quilt-loader-0.26.0-1.21.1\n"), std::string::npos) << launched.out;
}

TEST_F(LoaderEndToEnd, FromTheChinaMirrorsPathsUnderItsSource) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "镜像", "1.21.1", "--loader", "fabric"}, true);
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/fabric-meta/v2/versions/loader/1.21.1"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/maven/net/fabricmc/fabric-loader/0.16.9/fabric-loader-0.16.9.jar"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/mc/game/version_manifest_v2.json"), 1);
  EXPECT_EQ(mirror_->Log().find(" GET /maven.fabricmc.net"), std::string::npos);
  EXPECT_TRUE(PathExists(Game(std::string("versions/") + kFabricId + "/" + kFabricId + ".json")));
}

TEST_F(LoaderEndToEnd, AFailedInstallationAddsNoInstance) {
  ASSERT_TRUE(StartMirror({"--status", std::string(kIntermediary) + "=404"}));
  const test::CommandResult added = Cli({"add", "织布", "1.21.1", "--loader", "fabric:0.16.9"});
  EXPECT_EQ(added.status, 1);
  EXPECT_NE(added.err.find("intermediary-1.21.1.jar"), std::string::npos) << added.err;
  EXPECT_FALSE(Registered("织布"));
  EXPECT_FALSE(PathExists(Game(std::string("versions/") + kFabricId)));
  EXPECT_FALSE(PathExists(home_.Path() + "Instance/织布"));
}

TEST_F(LoaderEndToEnd, RefusedBeforeAnythingIsFetched) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult unknown = Cli({"add", "轻量", "1.20.1", "--loader", "liteloader"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("fabric、quilt、forge、neoforge"), std::string::npos) << unknown.err;
  ASSERT_EQ(Cli({"add", "原版", "1.21.1"}).status, 0);
  const test::CommandResult duplicate = Cli({"add", "原版", "1.21.1", "--loader", "fabric"});
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_NE(duplicate.err.find("已存在同名的游戏实例"), std::string::npos) << duplicate.err;
  EXPECT_EQ(Cli({"add", "织布", "1.21.1", "--loader"}).status, 2);
  EXPECT_EQ(Cli({"add", "织布", "1.21.1", "--force", "--loader", "fabric"}).status, 2);
  EXPECT_FALSE(Registered("轻量"));
  EXPECT_EQ(mirror_->Log().find(" GET /"), std::string::npos) << mirror_->Log();
}

TEST_F(LoaderEndToEnd, ForgeInstalledByItsProcessorsAndLaunchedThroughItsModulePath) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "锻造", "1.20.1", "--loader", "forge:47.2.0"});
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(added.out, "已添加游戏实例 锻造（版本 1.20.1-forge-47.2.0）\n");
  // The steps, and what the processors printed, on standard error.
  for (const char* said : {"下载安装器", "运行处理器 0/6", "运行处理器 6/6", "processor --task MCP_DATA"}) {
    EXPECT_NE(added.err.find(said), std::string::npos) << said << "\n" << added.err;
  }
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("锻造"), "1.20.1-forge-47.2.0");
  EXPECT_EQ(test::ReadFile(Game("libraries/" + MavenPath("net.minecraftforge:forge:1.20.1-47.2.0:client"))), "output");

  const test::CommandResult launched = Cli({"launch", "锻造"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  EXPECT_NE(launched.out.find("bootstrap module=bootstraplauncher\n"), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("=--fml.forgeVersion\narg["), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("]=47.2.0\n"), std::string::npos) << launched.out;
}

TEST_F(LoaderEndToEnd, LegacyForgeLaunchedThroughItsLaunchWrapper) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "老锻造", "1.12.2", "--loader", "forge:14.23.5.2847"});
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("老锻造"), "1.12.2-forge1.12.2-14.23.5.2847");
  const test::CommandResult launched = Cli({"launch", "老锻造"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  EXPECT_NE(launched.out.find("launchwrapper\n"), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("=--tweakClass\narg["), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("]=net.minecraftforge.fml.common.launcher.FMLTweaker\n"), std::string::npos) << launched.out;
}

TEST_F(LoaderEndToEnd, NeoForgeNewestStableInstalledAndLaunched) {
  ASSERT_TRUE(StartMirror());
  const test::CommandResult added = Cli({"add", "新锻造", "1.21.1", "--loader", "neoforge"});
  ASSERT_EQ(added.status, 0) << added.err << mirror_->Log();
  EXPECT_EQ(CInstanceList(settings_, false).GetVersion("新锻造"), "neoforge-21.1.172");
  // The game's mappings came from its description, fetched by the launcher.
  EXPECT_EQ(test::ReadFile(Game("libraries/" + MavenPath("net.minecraft:client:1.21.1-20240808.144430:mappings@txt"))),
            "mappings of 1.21.1");
  const test::CommandResult launched = Cli({"launch", "新锻造"});
  ASSERT_EQ(launched.status, 7) << launched.err << launched.out;
  EXPECT_NE(launched.out.find("bootstrap module=bootstraplauncher\n"), std::string::npos) << launched.out;
  EXPECT_NE(launched.out.find("=--fml.neoForgeVersion\narg["), std::string::npos) << launched.out;
}

}  // namespace
}  // namespace kv
