// Forge and NeoForge installed from installers made here out of their published documents,
// with stand-ins for the processors that the real java runs.
#include <gtest/gtest.h>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "loader/installer_install.h"
#include "loader/loader_install.h"
#include "tests/loader/installer_publisher.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/java_tools.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::LoaderPublisher;

constexpr const char* kForgeId = "1.20.1-forge-47.2.0";
constexpr const char* kSlim = "net.minecraft:client:1.20.1-20230612.114412:slim";
// A library of the description that no repository serves: the installer carries it.
constexpr const char* kCarried = "net.minecraftforge:fmlcore:1.20.1-47.2.0";

std::string JarOf(const std::string& coordinate) { return test::ZipBytes({{"coordinate.txt", coordinate}}); }

class RecordingSink : public InstallSink {
 public:
  void OnStep(InstallStep step, int done, int total) override { steps.push_back(InstallStepText(step, done, total)); }
  void OnOutput(const std::string& line) override { output += line + "\n"; }
  std::vector<std::string> steps;
  std::string output;
};

class InstallerInstall : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    classes_ = new test::TempFolder;
    jars_ = new test::ProcessorJars(test::CompileProcessorJars(classes_->Path()));
  }
  static void TearDownTestSuite() {
    delete jars_;
    delete classes_;
  }

  void SetUp() override { publisher_.ServeGameVersion("1.20.1", "client of 1.20.1"); }

  // Forge 1.20.1-47.2.0's installer, its processors' jars `processorJar`; `edit` changes the
  // profile before it is served.
  Json::Value ServeForge(const std::string& processorJar, const std::function<void(Json::Value&)>& edit = {}) {
    Json::Value profile = test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/install_profile.json"));
    if (edit) edit(profile);
    Json::Value description = test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/version.json"));
    for (Json::Value& library : description["libraries"]) {
      if (library["name"].asString() == kCarried) library["downloads"]["artifact"]["url"] = "";
    }
    return test::ServeInstaller(publisher_, InstallerUrl(LoaderKind::Forge, "1.20.1", "47.2.0"), profile, description,
                                JarOf, processorJar);
  }

  bool StartMirror() {
    mirror_ = std::make_unique<test::MirrorProcess>(root_.Path());
    return mirror_->Started();
  }

  Result<std::string> Install(LoaderKind kind, const std::string& gameVersion, const std::string& version,
                              bool chinaMirror = false) {
    LoaderInstallRequest request{game_, gameVersion, kind, version,
                                 {.firstRetryDelay = std::chrono::milliseconds(1), .failuresBeforeGivingUp = 1},
                                 test::JavaTool("java")};
    const std::string base = mirror_->BaseUrl();
    return InstallLoader(request, chinaMirror ? LoaderPublisher::ChinaMirror(base) : LoaderPublisher::Official(base),
                         sink_);
  }

  std::string Library(const std::string& coordinate) const { return game_ + "/libraries/" + MavenPath(coordinate); }
  bool Described(const std::string& id) const { return PathExists(VersionJsonPath(game_, id)); }

  static test::TempFolder* classes_;
  static test::ProcessorJars* jars_;
  test::TempFolder root_;
  LoaderPublisher publisher_{root_.Path()};
  test::TempFolder home_;
  const std::string game_ = home_.Path() + ".minecraft";
  std::unique_ptr<test::MirrorProcess> mirror_;
  RecordingSink sink_;
};

test::TempFolder* InstallerInstall::classes_ = nullptr;
test::ProcessorJars* InstallerInstall::jars_ = nullptr;

TEST_F(InstallerInstall, ForgeOfTodayRunsTheClientsProcessorsAndSkipsThemOnceTheirOutputsAreInPlace) {
  ServeForge(jars_->working);
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Forge, "1.20.1", "47.2.0");
  ASSERT_TRUE(installed) << installed.message() << "\n" << sink_.output << mirror_->Log();
  EXPECT_EQ(*installed, kForgeId);
  EXPECT_TRUE(Described(kForgeId));
  // The processors' outputs, the installer's own library and the mappings the launcher fetched.
  EXPECT_EQ(test::ReadFile(Library(kSlim)), "slim");
  EXPECT_EQ(test::ReadFile(Library("net.minecraftforge:forge:1.20.1-47.2.0:client")), "output");
  EXPECT_EQ(test::ReadFile(Library(kCarried)), JarOf(kCarried));
  EXPECT_EQ(test::ReadFile(Library("net.minecraft:client:1.20.1-20230612.114412:mappings@txt")), "mappings of 1.20.1");
  EXPECT_EQ(mirror_->CountRequests("GET", "/piston-data.mojang.com/v1/objects/" + test::Sha1Of("client of 1.20.1") +
                                              "/client.jar"),
            1);
  // The client's six processors ran in order, the server's were left out; the launcher did
  // the mappings' download itself.
  EXPECT_NE(sink_.output.find("processor --task MCP_DATA"), std::string::npos) << sink_.output;
  EXPECT_EQ(sink_.output.find("DOWNLOAD_MOJMAPS"), std::string::npos) << sink_.output;
  EXPECT_EQ(sink_.output.find("BUNDLER_EXTRACT"), std::string::npos) << sink_.output;
  EXPECT_LT(sink_.output.find("--slim"), sink_.output.find("--clean"));
  EXPECT_EQ(sink_.steps.front(), "下载安装器");
  EXPECT_NE(std::find(sink_.steps.begin(), sink_.steps.end(), "运行处理器 3/6"), sink_.steps.end());
  EXPECT_EQ(sink_.steps.back(), "运行处理器 6/6");

  // Again: the processor whose outputs are in place with their checksums does not run.
  sink_ = {};
  ASSERT_TRUE(Install(LoaderKind::Forge, "1.20.1", "47.2.0"));
  EXPECT_EQ(sink_.output.find("--slim"), std::string::npos) << sink_.output;
  EXPECT_NE(sink_.output.find("--clean"), std::string::npos) << sink_.output;
}

TEST_F(InstallerInstall, AFailingProcessorLeavesNoDescriptionAndIsNamed) {
  ServeForge(jars_->failing);
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Forge, "1.20.1", "47.2.0");
  ASSERT_FALSE(installed);
  EXPECT_EQ(installed.message(), "处理器 net.minecraftforge:installertools:1.3.0 MCP_DATA 运行失败（退出状态 5）");
  EXPECT_NE(sink_.output.find("failing on purpose"), std::string::npos);
  EXPECT_FALSE(Described(kForgeId));
  // The game version it extends stays: it is whole.
  EXPECT_TRUE(Described("1.20.1"));
}

TEST_F(InstallerInstall, AnOutputOfAnotherChecksumFailsNamingTheFile) {
  ServeForge(jars_->working, [](Json::Value& profile) {
    for (Json::Value& processor : profile["processors"]) {
      if (processor.isMember("outputs")) processor["outputs"]["{MC_SLIM}"] = std::string(40, '0');
    }
  });
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Forge, "1.20.1", "47.2.0");
  ASSERT_FALSE(installed);
  EXPECT_EQ(installed.kind(), FailureKind::Mismatch);
  EXPECT_EQ(installed.message(), "处理器 net.minecraftforge:jarsplitter:1.1.4 的输出文件不正确: " + Library(kSlim));
  EXPECT_FALSE(Described(kForgeId));
}

TEST_F(InstallerInstall, LegacyForgeTakesItsDescriptionAndJarFromTheInstaller) {
  publisher_.ServeGameVersion("1.12.2", "client of 1.12.2");
  test::ServeInstaller(publisher_, InstallerUrl(LoaderKind::Forge, "1.12.2", "14.23.5.2847"),
                       test::ParseJson(test::ReadFixture("loaders/forge/1.12.2-14.23.5.2847-legacy/install_profile.json")),
                       Json::nullValue, JarOf, {});
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Forge, "1.12.2", "14.23.5.2847");
  ASSERT_TRUE(installed) << installed.message() << mirror_->Log();
  EXPECT_EQ(*installed, "1.12.2-forge1.12.2-14.23.5.2847");
  const std::string forge = "net.minecraftforge:forge:1.12.2-14.23.5.2847";
  EXPECT_EQ(test::ReadFile(Library(forge)), JarOf(forge));
  EXPECT_EQ(test::ReadFile(Library("net.minecraft:launchwrapper:1.12")), JarOf("net.minecraft:launchwrapper:1.12"));
  EXPECT_EQ(mirror_->CountRequests("GET", "/maven.minecraftforge.net/" + MavenPath(forge)), 0);
  EXPECT_TRUE(sink_.output.empty());
}

TEST_F(InstallerInstall, FromTheChinaMirrorsMavenUnderItsSource) {
  LoaderPublisher china(root_.Path(), LoaderPublisher::Copy::ChinaMirror);
  china.ServeGameVersion("1.12.2", "client of 1.12.2");
  test::ServeInstaller(china, InstallerUrl(LoaderKind::Forge, "1.12.2", "14.23.5.2847"),
                       test::ParseJson(test::ReadFixture("loaders/forge/1.12.2-14.23.5.2847-legacy/install_profile.json")),
                       Json::nullValue, JarOf, {});
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Forge, "1.12.2", "14.23.5.2847", true);
  ASSERT_TRUE(installed) << installed.message() << mirror_->Log();
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/maven/net/minecraftforge/forge/1.12.2-14.23.5.2847/"
                                          "forge-1.12.2-14.23.5.2847-installer.jar"),
            1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/maven/net/minecraft/launchwrapper/1.12/launchwrapper-1.12.jar"), 1);
  EXPECT_TRUE(Described("1.12.2-forge1.12.2-14.23.5.2847"));
}

TEST_F(InstallerInstall, AnInstallerThatIsNotOneChangesNothing) {
  const std::string url = InstallerUrl(LoaderKind::NeoForge, "1.21.1", "21.1.172");
  EXPECT_EQ(url, "https://maven.neoforged.net/releases/net/neoforged/neoforge/21.1.172/neoforge-21.1.172-installer.jar");
  EXPECT_EQ(InstallerUrl(LoaderKind::NeoForge, "1.20.1", "1.20.1-47.1.106"),
            "https://maven.neoforged.net/releases/net/neoforged/forge/1.20.1-47.1.106/forge-1.20.1-47.1.106-installer.jar");
  const std::vector<std::pair<std::string, std::string>> installers[] = {
      {{"readme.txt", "no profile"}},
      {{"install_profile.json", R"({"spec": 2, "json": "/version.json"})"}},
      {{"install_profile.json", R"({"spec": 1, "json": "/version.json"})"},
       {"version.json", R"({"id": "../../escape", "inheritsFrom": "1.21.1"})"}},
      {{"install_profile.json", R"({"spec": 1, "json": "/version.json", "libraries": []})"},
       {"version.json", R"({"id": "neoforge-21.1.172", "inheritsFrom": "1.21.1"})"},
       {"maven/../../../escape.jar", "outside"}},
  };
  publisher_.ServeGameVersion("1.21.1", "client of 1.21.1");
  ASSERT_TRUE(StartMirror());
  for (const auto& entries : installers) {
    const std::string bytes = test::ZipBytes(entries);
    publisher_.Serve(url, bytes);
    publisher_.Serve(url + ".sha1", test::Sha1Of(bytes));
    const Result<std::string> installed = Install(LoaderKind::NeoForge, "1.21.1", "21.1.172");
    ASSERT_FALSE(installed) << entries.front().second;
    EXPECT_NE(installed.message().find("NeoForge"), std::string::npos) << installed.message();
  }
  // An installer that is not the one its repository's checksum names is not read.
  publisher_.Serve(url + ".sha1", std::string(40, 'a'));
  const Result<std::string> tampered = Install(LoaderKind::NeoForge, "1.21.1", "21.1.172");
  ASSERT_FALSE(tampered);
  EXPECT_NE(tampered.message().find("neoforge-21.1.172-installer.jar"), std::string::npos) << tampered.message();
  EXPECT_FALSE(PathExists(game_ + "/versions/neoforge-21.1.172"));
  EXPECT_FALSE(PathExists(home_.Path() + "escape.jar"));
  EXPECT_FALSE(PathExists(game_ + "/escape.jar"));
}

}  // namespace
}  // namespace kv
