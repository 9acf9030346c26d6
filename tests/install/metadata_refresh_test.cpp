#include "game/game_files.h"
#include "install/metadata_refresh.h"

#include <gtest/gtest.h>

#include "game/game_layout.h"
#include "install/download_planning.h"
#include "meta/asset_index.h"
#include "platform/launcher_folder.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

using namespace std::chrono_literals;
using test::MirrorProcess;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

DownloadSource MirrorAt(const std::string& base) {
  return DownloadSource(SourceKind::Mirror, "http://127.0.0.1:9", "http://127.0.0.1:9", base);
}

VersionDescription NamingIndex(const std::string& indexId) {
  VersionDescription description;
  description.assets = indexId;
  return description;
}

class MetadataRefresh : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(served_ / "versions/1.7.10/1.7.10.json", std::string(1234, 'v'));
    WriteFile(served_ / "indexes/1.7.10.json", std::string(1234, 'i'));
    WriteFile(served_ / "versions/versions.json", "the new list");
  }
  TempFolder served_;
  TempFolder game_;
};

TEST_F(MetadataRefresh, AnEqualSizeCountsAsUpToDate) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  std::string index = AssetIndexPath(game_.Path(), "1.7.10");
  WriteFile(description, std::string(1234, 'x'));
  WriteFile(index, std::string(1234, 'x'));
  EXPECT_TRUE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10"));
  EXPECT_TRUE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("1.7.10")));
  EXPECT_EQ(ReadFile(description), std::string(1234, 'x'));
  EXPECT_EQ(ReadFile(index), std::string(1234, 'x'));

  WriteFile(description, "short");
  EXPECT_TRUE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10"));
  EXPECT_EQ(ReadFile(description), std::string(1234, 'v'));
  EXPECT_EQ(mirror.CountRequests("GET", "/versions/1.7.10/1.7.10.json"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/indexes/1.7.10.json"), 0);

  // Missing or empty locally: fetched at once, whatever size the mirror would announce.
  EXPECT_TRUE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path() + "other/", NamingIndex("1.7.10")));
  EXPECT_EQ(ReadFile(AssetIndexPath(game_.Path() + "other/", "1.7.10")), std::string(1234, 'i'));
  WriteFile(index, "");
  EXPECT_TRUE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("1.7.10")));
  EXPECT_EQ(ReadFile(index), std::string(1234, 'i'));
  EXPECT_EQ(mirror.CountRequests("HEAD", "/indexes/1.7.10.json"), 1);
}

TEST_F(MetadataRefresh, AnAnnouncedEmptyFileIsNotTakenForTheFile) {
  // The mirror's HEAD announces 0 bytes for a description that has 1,234.
  MirrorProcess mirror(served_.Path(), {"--empty-head", "/versions/1.7.10/1.7.10.json"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string url = mirror.BaseUrl() + "/versions/1.7.10/1.7.10.json";
  std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  // Missing, empty or another size: the GET brings the real file.
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), std::string(1234, 'v'));
  WriteFile(description, "");
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), std::string(1234, 'v'));
  EXPECT_EQ(mirror.CountRequests("HEAD", "/versions/1.7.10/1.7.10.json"), 0);
  WriteFile(description, "old");
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), std::string(1234, 'v'));
}

TEST_F(MetadataRefresh, AFailedRefreshKeepsTheLocalCopy) {
  MirrorProcess mirror(served_.Path(), {"--drop", "/versions/1.7.10/1.7.10.json=100", "--status",
                                        "/indexes/1.7.10.json=404"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  WriteFile(description, "{\"id\":\"1.7.10\"}");
  EXPECT_FALSE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10"));
  EXPECT_EQ(ReadFile(description), "{\"id\":\"1.7.10\"}");

  // Nothing on disk: fetched at once, and an error answer leaves nothing.
  EXPECT_FALSE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("1.7.10")));
  AssetIndex index;
  EXPECT_FALSE(ReadAssetIndex(game_.Path(), "1.7.10", index));
  EXPECT_EQ(mirror.CountRequests("GET", "/indexes/1.7.10.json"), 1);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/indexes/1.7.10.json"), 0);

  // A mirror that announces no size: the local copy is used unchecked.
  MirrorProcess silent(served_.Path(), {"--no-length", "/versions/1.7.10/1.7.10.json"});
  ASSERT_TRUE(silent.Started()) << silent.Log();
  EXPECT_EQ(RefreshWhenSizeDiffers(description, silent.BaseUrl() + "/versions/1.7.10/1.7.10.json"),
            RefreshOutcome::Unchecked);
  EXPECT_EQ(ReadFile(description), "{\"id\":\"1.7.10\"}");
}

TEST_F(MetadataRefresh, TheLaunchChecksBothAndUsesTheLocalCopiesWhenTheMirrorIsAway) {
  std::string closed;
  {
    MirrorProcess mirror(served_.Path());
    ASSERT_TRUE(mirror.Started()) << mirror.Log();
    closed = mirror.BaseUrl();
    WriteFile(VersionJsonPath(game_.Path(), "1.7.10"), "short");
    WriteFile(AssetIndexPath(game_.Path(), "1.7.10"), std::string(1234, 'x'));
    const VersionDescription named = NamingIndex("1.7.10");
    LaunchMetadataChecks checks = CheckLaunchMetadata(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10", &named);
    EXPECT_EQ(checks.description, RefreshOutcome::Fetched);
    EXPECT_EQ(checks.assetIndex, RefreshOutcome::UpToDate);
    EXPECT_EQ(ReadFile(VersionJsonPath(game_.Path(), "1.7.10")), std::string(1234, 'v'));
    EXPECT_EQ(mirror.CountRequests("HEAD", "/indexes/1.7.10.json"), 1);
    EXPECT_EQ(CheckLaunchMetadata(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10", nullptr).assetIndex,
              std::nullopt);
  }
  // Nobody listens any more: the local copies stay, and the log says they are used unchecked.
  WriteFile(VersionJsonPath(game_.Path(), "1.7.10"), "short");
  const VersionDescription named = NamingIndex("1.7.10");
  LaunchMetadataChecks away = CheckLaunchMetadata(MirrorAt(closed), game_.Path(), "1.7.10", &named);
  EXPECT_EQ(away.description, RefreshOutcome::Unchecked);
  EXPECT_EQ(away.assetIndex, RefreshOutcome::Unchecked);
  EXPECT_EQ(ReadFile(VersionJsonPath(game_.Path(), "1.7.10")), "short");
  EXPECT_EQ(ReadFile(AssetIndexPath(game_.Path(), "1.7.10")), std::string(1234, 'x'));
  const std::string log = ReadFile(GetLauncherFolder() + "log/log.log");
  EXPECT_NE(log.find("using the local copy " + VersionJsonPath(game_.Path(), "1.7.10")), std::string::npos) << log;
  EXPECT_NE(log.find("using the local copy " + AssetIndexPath(game_.Path(), "1.7.10")), std::string::npos) << log;
}

TEST_F(MetadataRefresh, UnsafeOrEmptyIdsAskNobody) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  EXPECT_FALSE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), ""));
  EXPECT_FALSE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), ".."));
  EXPECT_FALSE(FetchVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), "a/../../b"));
  EXPECT_FALSE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("")));
  EXPECT_FALSE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("../../x")));
  EXPECT_EQ(mirror.Log(), "");
}

TEST_F(MetadataRefresh, TheVersionListIsFetchedAfterEverySizeQuery) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string list = VersionListPath(game_.Path());
  EXPECT_EQ(list, game_.Path() + "/versions/versions.json");
  EXPECT_TRUE(RefreshVersionManifest(MirrorAt(mirror.BaseUrl()), list, 0ms));
  EXPECT_TRUE(RefreshVersionManifest(MirrorAt(mirror.BaseUrl()), list, 0ms));
  EXPECT_EQ(ReadFile(list), "the new list");
  EXPECT_EQ(mirror.CountRequests("GET", "/versions/versions.json"), 2);
}

TEST_F(MetadataRefresh, AnUnreachableMirrorKeepsTheOldListAfterThePause) {
  std::string closed;
  {
    MirrorProcess mirror(served_.Path());
    ASSERT_TRUE(mirror.Started());
    closed = mirror.BaseUrl();
  }
  std::string list = VersionListPath(game_.Path());
  WriteFile(list, "the old list");
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(RefreshVersionManifest(MirrorAt(closed), list, 300ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(ReadFile(list), "the old list");

  MirrorProcess failing(served_.Path(), {"--drop", "/versions/versions.json=3"});
  ASSERT_TRUE(failing.Started());
  EXPECT_FALSE(RefreshVersionManifest(MirrorAt(failing.BaseUrl()), list, 0ms));
  EXPECT_EQ(ReadFile(list), "the old list");
}

}  // namespace
}  // namespace kv
