// The publisher's layout served by korvane-mirror as a tree of hosts (KORVANE_OFFICIAL_ROOT's
// form) and a stand-in China mirror beside it: checksums, second addresses, the version list
// and the descriptions it names, a loader's missing parent.
#include <gtest/gtest.h>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "install/metadata_refresh.h"
#include "net/download_engine.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::FastRetries;
using test::ListFiles;
using test::MirrorProcess;
using test::ReadFile;
using test::RecordingSink;
using test::TempFolder;
using test::WriteFile;

class OfficialSource : public ::testing::Test {
 protected:
  // The publisher's file at `url` (https://HOST/PATH), in the served tree.
  void Publish(const std::string& url, const std::string& bytes) {
    WriteFile(served_ / ("official/" + url.substr(8)), bytes);
  }
  // The same file where the China mirror keeps it.
  void PublishOnChinaMirror(const std::string& path, const std::string& bytes) { WriteFile(served_ / ("china" + path), bytes); }

  DownloadSource Source(const MirrorProcess& mirror, SourceKind kind = SourceKind::Official) const {
    return DownloadSource(kind, mirror.BaseUrl() + "/official", mirror.BaseUrl() + "/china", "http://127.0.0.1:9");
  }

  // A library published with `bytes`, its description saying `sha1`.
  LibraryEntry Library(const std::string& name, const std::string& relative, const std::string& bytes, std::string sha1) {
    LibraryEntry library;
    library.name = name;
    library.artifact = RemoteFile{relative, "https://libraries.minecraft.net/" + relative, std::move(sha1),
                                  static_cast<std::int64_t>(bytes.size())};
    return library;
  }

  TempFolder served_;
  TempFolder game_;
};

TEST_F(OfficialSource, AFileThatFailsItsChecksumIsRetriedThenNamedAndNeverKept) {
  const std::string good = test::TestBytes(40000, 1);
  const std::string tampered = test::TestBytes(40000, 2);
  Publish("https://libraries.minecraft.net/a/good/1/good-1.jar", good);
  Publish("https://libraries.minecraft.net/a/bad/1/bad-1.jar", tampered);
  PublishOnChinaMirror("/maven/a/bad/1/bad-1.jar", tampered);
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();

  VersionDescription d;
  d.libraries = {Library("a:good:1", "a/good/1/good-1.jar", good, test::Sha1Of(good)),
                 Library("a:bad:1", "a/bad/1/bad-1.jar", tampered, test::Sha1Of(good))};
  std::vector<DownloadItem> plan =
      PlanDownloads(game_.Path(), d, AssetIndex{}, Source(mirror), {.profile = PlatformProfile::Linux()});
  ASSERT_EQ(plan.size(), 2u);
  RecordingSink sink;
  DownloadOptions options = FastRetries();
  options.failuresBeforeGivingUp = 4;
  const DownloadOutcome outcome = DownloadEngine(plan, sink, options).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "bad-1.jar");
  EXPECT_NE(outcome.reason.find("SHA-1"), std::string::npos) << outcome.reason;
  EXPECT_EQ(sink.retries.size(), 3u);
  // Both addresses were tried, each more than once.
  EXPECT_EQ(mirror.CountRequests("GET", "/official/libraries.minecraft.net/a/bad/1/bad-1.jar"), 2);
  EXPECT_EQ(mirror.CountRequests("GET", "/china/maven/a/bad/1/bad-1.jar"), 2);
  EXPECT_EQ(ReadFile(plan[0].path), good);
  // Nothing of the tampered file is left, neither under its name nor as a partial file.
  EXPECT_EQ(ListFiles(game_.Path()), "libraries/a/good/1/good-1.jar\n");
}

TEST_F(OfficialSource, TheSecondAddressServesWhatTheFirstCannot) {
  const std::string bytes = test::TestBytes(30000, 3);
  PublishOnChinaMirror("/maven/a/lib/1/lib-1.jar", bytes);  // the publisher answers 404
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  VersionDescription d;
  d.libraries = {Library("a:lib:1", "a/lib/1/lib-1.jar", bytes, test::Sha1Of(bytes))};
  const std::vector<DownloadItem> plan =
      PlanDownloads(game_.Path(), d, AssetIndex{}, Source(mirror), {.profile = PlatformProfile::Linux()});
  RecordingSink sink;
  ASSERT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(plan[0].path), bytes);
  EXPECT_EQ(mirror.CountRequests("GET", "/official/libraries.minecraft.net/a/lib/1/lib-1.jar"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/china/maven/a/lib/1/lib-1.jar"), 1);
}

TEST_F(OfficialSource, DescriptionsComeFromTheListAndALoadersParentIsFetched) {
  // The list names 1.18.2 with the checksum of what is served; the loader's description is
  // only in the game folder, as its installer left it.
  const std::string vanilla = test::ReadFixture("versions/modern/1.18.2.json");
  const std::string url = "https://piston-meta.mojang.com/v1/packages/" + test::Sha1Of(vanilla) + "/1.18.2.json";
  Publish(url, vanilla);
  Publish(kOfficialVersionList, R"({"latest":{"release":"1.18.2"},"versions":[{"id":"1.18.2","type":"release","url":")" +
                                    url + R"(","sha1":")" + test::Sha1Of(vanilla) + R"("}]})");
  const std::string index = R"({"objects":{"a":{"hash":"a9993e364706816aba3e25717850c26c9cd0d89d","size":3}}})";
  // What the description says about its index is rewritten to what is served.
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  WriteFile(VersionJsonPath(game_.Path(), "1.18.2-forge-40.2.9"), test::ReadFixture("versions/modern/1.18.2-forge-40.2.9.json"));
  Publish("https://piston-meta.mojang.com/v1/packages/d31a2e85ae149dd1b1a7070b22cb8887892fda6c/1.18.json", index);

  VersionDescription description;
  AssetIndex assets;
  InheritanceResult chain;
  const MetadataState state = RefreshAndReadMetadata(Source(mirror), game_.Path(), "1.18.2-forge-40.2.9",
                                                     MetadataChecks::Network(), description, assets, chain);
  // The list and the parent were fetched; the index is not the one described, so it is not kept.
  EXPECT_EQ(state, MetadataState::AssetIndexUnreadable);
  EXPECT_EQ(chain.status, InheritanceStatus::Resolved);
  EXPECT_EQ(ReadFile(VersionJsonPath(game_.Path(), "1.18.2")), vanilla);
  EXPECT_EQ(description.mainClass, "cpw.mods.bootstraplauncher.BootstrapLauncher");
  EXPECT_EQ(mirror.CountRequests("GET", "/official/piston-meta.mojang.com/mc/game/version_manifest_v2.json"), 1);
  EXPECT_FALSE(PathExists(AssetIndexPath(game_.Path(), "1.18")));
  EXPECT_EQ(ListFiles(game_.Path()).find(".download"), std::string::npos);

  // A local description that is not the listed one is fetched again; the listed one is not.
  WriteFile(VersionJsonPath(game_.Path(), "1.18.2"), "{}");
  EXPECT_TRUE(FetchVersionDescription(Source(mirror), game_.Path(), "1.18.2"));
  EXPECT_EQ(ReadFile(VersionJsonPath(game_.Path(), "1.18.2")), vanilla);
  EXPECT_TRUE(FetchVersionDescription(Source(mirror), game_.Path(), "1.18.2"));
  EXPECT_EQ(mirror.CountRequests("GET", "/official" + url.substr(7)), 2);
  // A loader's description that no list names is used as it is, without asking again.
  EXPECT_TRUE(FetchVersionDescription(Source(mirror), game_.Path(), "1.18.2-forge-40.2.9"));
  EXPECT_EQ(mirror.CountRequests("GET", "/official/piston-meta.mojang.com/mc/game/version_manifest_v2.json"), 1);
}

TEST_F(OfficialSource, AnUnknownVersionRefreshesTheListOnce) {
  Publish(kOfficialVersionList, R"({"versions":[]})");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  WriteFile(VersionListPath(game_.Path()), R"({"versions":[]})");
  EXPECT_FALSE(FetchVersionDescription(Source(mirror), game_.Path(), "26.1.2"));
  EXPECT_EQ(mirror.CountRequests("GET", "/official/piston-meta.mojang.com/mc/game/version_manifest_v2.json"), 1);
  // The China mirror is asked when the publisher cannot be reached.
  const DownloadSource unreachable(SourceKind::Official, "http://127.0.0.1:9", mirror.BaseUrl() + "/china",
                                   "http://127.0.0.1:9");
  EXPECT_FALSE(RefreshVersionManifest(unreachable, VersionListPath(game_.Path()), std::chrono::milliseconds(0)).ok());
  PublishOnChinaMirror("/mc/game/version_manifest_v2.json", R"({"versions":[{"id":"x"}]})");
  EXPECT_TRUE(RefreshVersionManifest(unreachable, VersionListPath(game_.Path()), std::chrono::milliseconds(0)).ok());
  EXPECT_EQ(ReadFile(VersionListPath(game_.Path())), R"({"versions":[{"id":"x"}]})");
}

TEST_F(OfficialSource, AListThatIsNotAListNeverReplacesTheCopy) {
  // A network's sign-in page answers for every host.
  Publish(kOfficialVersionList, "<html><body>Sign in to continue</body></html>");
  PublishOnChinaMirror("/mc/game/version_manifest_v2.json", "<html><body>Sign in to continue</body></html>");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string list = VersionListPath(game_.Path());
  WriteFile(list, R"({"versions":[{"id":"1.20.1"}]})");
  const Status refreshed = RefreshVersionManifest(Source(mirror), list, std::chrono::milliseconds(0));
  EXPECT_EQ(refreshed.ok() ? FailureKind::Other : refreshed.kind(), FailureKind::Invalid);
  EXPECT_EQ(ReadFile(list), R"({"versions":[{"id":"1.20.1"}]})");
  EXPECT_EQ(ListFiles(game_.Path()), "versions/versions.json\n");
  // The second address is asked when the first gives no list.
  PublishOnChinaMirror("/mc/game/version_manifest_v2.json", R"({"versions":[{"id":"1.21"}]})");
  EXPECT_TRUE(RefreshVersionManifest(Source(mirror), list, std::chrono::milliseconds(0)).ok());
  EXPECT_EQ(ReadFile(list), R"({"versions":[{"id":"1.21"}]})");
}

}  // namespace
}  // namespace kv
