// Fabric and Quilt installed from korvane-mirror standing in for their publishers, the game's
// publisher and the China mirror.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "loader/loader_install.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::LoaderPublisher;

constexpr const char* kFabricProfile = "https://meta.fabricmc.net/v2/versions/loader/1.21.1/0.16.9/profile/json";
constexpr const char* kFabricId = "fabric-loader-0.16.9-1.21.1";

std::string JarOf(const std::string& coordinate) { return "jar of " + coordinate; }

class RecordingSink : public InstallSink {
 public:
  void OnStep(InstallStep step, int done, int total) override { steps.push_back(InstallStepText(step, done, total)); }
  void OnOutput(const std::string&) override {}
  std::vector<std::string> steps;
};

class LoaderInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    publisher_.ServeGameVersion("1.21.1", "client of 1.21.1");
    served_ = publisher_.ServeProfile(kFabricProfile,
                                      test::ParseJson(test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json")),
                                      JarOf);
  }

  bool StartMirror(const std::vector<std::string>& options = {}) {
    mirror_ = std::make_unique<test::MirrorProcess>(root_.Path(), options);
    return mirror_->Started();
  }

  Result<std::string> Install(LoaderKind kind, const std::string& version, const DownloadSource& source) {
    // A file that fails is given up at once: the tests of failures need no retries.
    LoaderInstallRequest request{game_, "1.21.1", kind, version,
                                 {.firstRetryDelay = std::chrono::milliseconds(1), .failuresBeforeGivingUp = 1}};
    return InstallLoader(request, source, sink_);
  }

  Result<std::string> InstallFabric() {
    return Install(LoaderKind::Fabric, "0.16.9", LoaderPublisher::Official(mirror_->BaseUrl()));
  }

  std::string Library(const std::string& coordinate) const { return game_ + "/libraries/" + MavenPath(coordinate); }
  bool FabricDescriptionInPlace() const { return PathExists(VersionJsonPath(game_, kFabricId)); }

  test::TempFolder root_;
  LoaderPublisher publisher_{root_.Path()};
  std::string served_;
  test::TempFolder home_;
  const std::string game_ = home_.Path() + ".minecraft";
  std::unique_ptr<test::MirrorProcess> mirror_;
  RecordingSink sink_;
};

TEST_F(LoaderInstall, FabricsProfileSavedAsPublishedAfterItsFiles) {
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = InstallFabric();
  ASSERT_TRUE(installed) << installed.message() << mirror_->Log();
  EXPECT_EQ(*installed, kFabricId);
  EXPECT_EQ(test::ReadFile(VersionJsonPath(game_, kFabricId)), served_);
  // The game version it extends, and every library, each checked.
  EXPECT_TRUE(PathExists(VersionJsonPath(game_, "1.21.1")));
  for (const char* coordinate : {"org.ow2.asm:asm:9.7.1", "net.fabricmc:sponge-mixin:0.15.4+mixin.0.8.7",
                                 "net.fabricmc:intermediary:1.21.1", "net.fabricmc:fabric-loader:0.16.9"}) {
    EXPECT_EQ(test::ReadFile(Library(coordinate)), JarOf(coordinate)) << coordinate;
  }
  // The profile gives the checksums of some; the repository's .sha1 stands for the others'.
  const std::string loaderJar = "/maven.fabricmc.net/net/fabricmc/fabric-loader/0.16.9/fabric-loader-0.16.9.jar";
  EXPECT_EQ(mirror_->CountRequests("GET", loaderJar + ".sha1"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/maven.fabricmc.net/org/ow2/asm/asm/9.7.1/asm-9.7.1.jar.sha1"), 0);
  EXPECT_EQ(sink_.steps.front(), "获取加载器描述文件");
  EXPECT_EQ(sink_.steps[1], "获取游戏版本描述文件");
  EXPECT_EQ(sink_.steps.back(), "下载库文件 8/8");

  // Installed again: the libraries in place are not fetched again.
  sink_.steps.clear();
  ASSERT_TRUE(InstallFabric());
  EXPECT_EQ(mirror_->CountRequests("GET", loaderJar), 1);
  EXPECT_EQ(sink_.steps.size(), 2u);
}

TEST_F(LoaderInstall, QuiltFromTheChinaMirror) {
  // Its meta, its Maven and the game's metadata at the China mirror's paths; the publishers closed.
  LoaderPublisher china(root_.Path(), LoaderPublisher::Copy::ChinaMirror);
  china.ServeGameVersion("1.21.1", "client of 1.21.1");
  china.ServeProfile("https://meta.quiltmc.org/v3/versions/loader/1.21.1/0.26.0/profile/json",
                     test::QuiltProfile("0.26.0", "1.21.1"), JarOf);
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = Install(LoaderKind::Quilt, "0.26.0", LoaderPublisher::ChinaMirror(mirror_->BaseUrl()));
  ASSERT_TRUE(installed) << installed.message() << mirror_->Log();
  EXPECT_EQ(*installed, "quilt-loader-0.26.0-1.21.1");
  EXPECT_EQ(test::ReadFile(Library("org.quiltmc:quilt-loader:0.26.0")), JarOf("org.quiltmc:quilt-loader:0.26.0"));
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/maven/org/quiltmc/quilt-loader/0.26.0/quilt-loader-0.26.0.jar"), 1);
  EXPECT_EQ(mirror_->CountRequests("GET", "/bmclapi/mc/game/version_manifest_v2.json"), 1);
  EXPECT_TRUE(PathExists(VersionJsonPath(game_, "1.21.1")));
}

TEST_F(LoaderInstall, AFailedLibraryLeavesNoDescription) {
  const std::string intermediary = "/maven.fabricmc.net/net/fabricmc/intermediary/1.21.1/intermediary-1.21.1.jar";
  ASSERT_TRUE(StartMirror({"--status", intermediary + "=404"}));
  const Result<std::string> installed = InstallFabric();
  ASSERT_FALSE(installed);
  EXPECT_NE(installed.message().find("intermediary-1.21.1.jar"), std::string::npos) << installed.message();
  EXPECT_FALSE(PathExists(game_ + "/versions/" + kFabricId));
}

TEST_F(LoaderInstall, ALibraryThatIsNotWhatItsRepositorySaysIsRefused) {
  publisher_.Serve("https://maven.fabricmc.net/" + MavenPath("net.fabricmc:fabric-loader:0.16.9") + ".sha1",
                   test::Sha1Of("something else"));
  ASSERT_TRUE(StartMirror());
  const Result<std::string> installed = InstallFabric();
  ASSERT_FALSE(installed);
  EXPECT_NE(installed.message().find("fabric-loader-0.16.9.jar"), std::string::npos) << installed.message();
  EXPECT_FALSE(FabricDescriptionInPlace());
  EXPECT_FALSE(PathExists(Library("net.fabricmc:fabric-loader:0.16.9")));
}

TEST_F(LoaderInstall, UnknownVersionsAndMissingGameVersions) {
  ASSERT_TRUE(StartMirror());
  const DownloadSource source = LoaderPublisher::Official(mirror_->BaseUrl());
  const Result<std::string> unknown = Install(LoaderKind::Fabric, "9.9.9", source);
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.kind(), FailureKind::NotFound);
  EXPECT_EQ(unknown.message(), "没有适用于 1.21.1 的 Fabric 9.9.9");

  // A profile for a game version its publisher does not have: nothing stays in versions/.
  Json::Value profile = test::ParseJson(served_);
  profile["id"] = "fabric-loader-0.16.9-1.99";
  profile["inheritsFrom"] = "1.99";
  publisher_.Serve("https://meta.fabricmc.net/v2/versions/loader/1.99/0.16.9/profile/json", test::WriteJson(profile));
  LoaderInstallRequest request{game_, "1.99", LoaderKind::Fabric, "0.16.9"};
  const Result<std::string> missing = InstallLoader(request, source, sink_);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.message().find("1.99"), std::string::npos) << missing.message();
  EXPECT_FALSE(PathExists(game_ + "/versions/fabric-loader-0.16.9-1.99"));
}

TEST_F(LoaderInstall, AProfileThatWouldOverwriteOrLeaveItsFolderIsRefused) {
  const std::string url = "https://meta.fabricmc.net/v2/versions/loader/1.21.1/6.6.6/profile/json";
  const Json::Value published = test::ParseJson(served_);
  ASSERT_TRUE(StartMirror());
  const DownloadSource source = LoaderPublisher::Official(mirror_->BaseUrl());
  std::vector<Json::Value> hostile(4, published);
  hostile[0]["id"] = "1.21.1";             // the game's own description
  hostile[1]["id"] = "../../escape";
  hostile[2]["inheritsFrom"] = "1.20.1";   // another game version than asked
  hostile[3]["libraries"][0]["name"] = "org.ow2:..:1:../../../escape";
  for (const Json::Value& profile : hostile) {
    publisher_.Serve(url, test::WriteJson(profile));
    const Result<std::string> installed = Install(LoaderKind::Fabric, "6.6.6", source);
    ASSERT_FALSE(installed) << test::WriteJson(profile);
    EXPECT_EQ(installed.kind(), FailureKind::Invalid);
  }
  EXPECT_FALSE(PathExists(game_ + "/versions"));
  EXPECT_FALSE(PathExists(home_.Path() + "escape"));
}

}  // namespace
}  // namespace kv
