#include "game/game_files.h"
#include "install/metadata_refresh.h"

#include <gtest/gtest.h>

#include "game/game_layout.h"
#include "install/download_limits.h"
#include "install/download_planning.h"
#include "meta/asset_index.h"
#include "platform/launcher_folder.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"
#include "util/messages.h"

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

// A document of exactly `size` bytes: `members` and a filler member of `fill` characters.
std::string Document(const std::string& members, char fill, std::size_t size) {
  const std::string head = "{" + members + ",\"pad\":\"";
  return head + std::string(size - head.size() - 2, fill) + "\"}";
}

const std::string kServedDescription = Document(R"("id":"1.7.10")", 'v', 1234);
const std::string kServedIndex = Document(R"("objects":{})", 'i', 1234);
const std::string kServedList = Document(R"("versions":[])", 'l', 100);
// What a network's sign-in page answers to every address, with a success status.
const std::string kSignInPage = "<!DOCTYPE html><html><body>Please sign in to use this network</body></html>";

class MetadataRefresh : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(served_ / "versions/1.7.10/1.7.10.json", kServedDescription);
    WriteFile(served_ / "indexes/1.7.10.json", kServedIndex);
    WriteFile(served_ / "versions/versions.json", kServedList);
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
  EXPECT_EQ(ReadFile(description), kServedDescription);
  EXPECT_EQ(mirror.CountRequests("GET", "/versions/1.7.10/1.7.10.json"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/indexes/1.7.10.json"), 0);

  // Missing or empty locally: fetched at once, whatever size the mirror would announce.
  EXPECT_TRUE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path() + "other/", NamingIndex("1.7.10")));
  EXPECT_EQ(ReadFile(AssetIndexPath(game_.Path() + "other/", "1.7.10")), kServedIndex);
  WriteFile(index, "");
  EXPECT_TRUE(FetchAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("1.7.10")));
  EXPECT_EQ(ReadFile(index), kServedIndex);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/indexes/1.7.10.json"), 1);
}

TEST_F(MetadataRefresh, AnAnnouncedEmptyFileIsNotTakenForTheFile) {
  // The mirror's HEAD announces 0 bytes for a description that has 1,234.
  MirrorProcess mirror(served_.Path(), {"--empty-head", "/versions/1.7.10/1.7.10.json"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string url = mirror.BaseUrl() + "/versions/1.7.10/1.7.10.json";
  std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  // Missing, empty or another size: the GET brings the real file.
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url, VersionDescriptionRule("1.7.10")), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), kServedDescription);
  WriteFile(description, "");
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url, VersionDescriptionRule("1.7.10")), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), kServedDescription);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/versions/1.7.10/1.7.10.json"), 0);
  WriteFile(description, "old");
  EXPECT_EQ(RefreshWhenSizeDiffers(description, url, VersionDescriptionRule("1.7.10")), RefreshOutcome::Fetched);
  EXPECT_EQ(ReadFile(description), kServedDescription);
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
  EXPECT_EQ(RefreshWhenSizeDiffers(description, silent.BaseUrl() + "/versions/1.7.10/1.7.10.json",
                                   VersionDescriptionRule("1.7.10")),
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
    EXPECT_EQ(ReadFile(VersionJsonPath(game_.Path(), "1.7.10")), kServedDescription);
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
  EXPECT_TRUE(RefreshVersionManifest(MirrorAt(mirror.BaseUrl()), list, 0ms).ok());
  EXPECT_TRUE(RefreshVersionManifest(MirrorAt(mirror.BaseUrl()), list, 0ms).ok());
  EXPECT_EQ(ReadFile(list), kServedList);
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
  EXPECT_FALSE(RefreshVersionManifest(MirrorAt(closed), list, 300ms).ok());
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(ReadFile(list), "the old list");

  MirrorProcess failing(served_.Path(), {"--drop", "/versions/versions.json=3"});
  ASSERT_TRUE(failing.Started());
  EXPECT_FALSE(RefreshVersionManifest(MirrorAt(failing.BaseUrl()), list, 0ms).ok());
  EXPECT_EQ(ReadFile(list), "the old list");
}

TEST_F(MetadataRefresh, ASignInPageNeverReplacesAGoodDocument) {
  WriteFile(served_ / "versions/1.7.10/1.7.10.json", kSignInPage);
  WriteFile(served_ / "indexes/1.7.10.json", kSignInPage);
  WriteFile(served_ / "versions/versions.json", kSignInPage);
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  const std::string index = AssetIndexPath(game_.Path(), "1.7.10");
  const std::string list = VersionListPath(game_.Path());
  WriteFile(description, kServedDescription);
  WriteFile(index, kServedIndex);
  WriteFile(list, kServedList);

  EXPECT_EQ(CheckVersionDescription(MirrorAt(mirror.BaseUrl()), game_.Path(), "1.7.10"), RefreshOutcome::Failed);
  EXPECT_EQ(CheckAssetIndex(MirrorAt(mirror.BaseUrl()), game_.Path(), NamingIndex("1.7.10")), RefreshOutcome::Failed);
  const Status refreshed = RefreshVersionManifest(MirrorAt(mirror.BaseUrl()), list, 0ms);
  EXPECT_EQ(refreshed.ok() ? FailureKind::Other : refreshed.kind(), FailureKind::Invalid);
  EXPECT_EQ(refreshed.ok() ? "" : refreshed.message(), msg::DocumentNotJson(msg::kVersionListDocument));
  EXPECT_EQ(ReadFile(description), kServedDescription);
  EXPECT_EQ(ReadFile(index), kServedIndex);
  EXPECT_EQ(ReadFile(list), kServedList);
  EXPECT_EQ(test::ListFiles(game_.Path()), "assets/indexes/1.7.10.json\nversions/1.7.10/1.7.10.json\nversions/versions.json\n");
  // Each failure is named where the launch leaves its traces.
  const std::string log = ReadFile(GetLauncherFolder() + "log/log.log");
  EXPECT_NE(log.find(msg::DocumentNotReplaced(description, msg::DocumentNotJson(msg::VersionDescriptionDocument("1.7.10")))),
            std::string::npos) << log;
  EXPECT_NE(log.find(msg::DocumentNotReplaced(index, msg::DocumentNotJson(msg::kAssetIndexDocument))), std::string::npos)
      << log;
}

TEST_F(MetadataRefresh, OnlyTheDocumentOfItsKindTakesThePlaceOfTheCopy) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  const std::string url = mirror.BaseUrl() + "/versions/1.7.10/1.7.10.json";
  struct Case {
    std::string served;
    std::string why;
  };
  const std::vector<Case> cases = {
      {R"({"id":"1.7.2","mainClass":"Main"})", msg::DescriptionNamesAnotherVersion("1.7.10", "1.7.2")},
      {R"({"mainClass":"Main"})", msg::DocumentLacks(msg::VersionDescriptionDocument("1.7.10"), "id")},
      {R"(["1.7.10"])", msg::DocumentNotJson(msg::VersionDescriptionDocument("1.7.10"))},
      {"", msg::DocumentNotJson(msg::VersionDescriptionDocument("1.7.10"))},
  };
  for (const Case& wrong : cases) {
    WriteFile(description, "{\"id\":\"1.7.10\"}");
    WriteFile(served_ / "versions/1.7.10/1.7.10.json", wrong.served);
    EXPECT_EQ(RefreshWhenSizeDiffers(description, url, VersionDescriptionRule("1.7.10")), RefreshOutcome::Failed)
        << wrong.served;
    EXPECT_EQ(ReadFile(description), "{\"id\":\"1.7.10\"}");
    const std::string log = ReadFile(GetLauncherFolder() + "log/log.log");
    EXPECT_NE(log.find(msg::DocumentNotReplaced(description, wrong.why)), std::string::npos) << wrong.served;
  }
  WriteFile(served_ / "indexes/1.7.10.json", R"({"objects":[]})");
  const Status index = DownloadDocument(game_ / "index.json", mirror.BaseUrl() + "/indexes/1.7.10.json", AssetIndexRule());
  EXPECT_EQ(index.ok() ? "" : index.message(), msg::DocumentLacks(msg::kAssetIndexDocument, "objects"));
  WriteFile(served_ / "versions/versions.json", R"({"latest":{},"versions":{}})");
  const Status list = DownloadDocument(game_ / "list.json", mirror.BaseUrl() + "/versions/versions.json", VersionListRule());
  EXPECT_EQ(list.ok() ? "" : list.message(), msg::DocumentLacks(msg::kVersionListDocument, "versions"));
  EXPECT_EQ(test::ListFiles(game_.Path()), "versions/1.7.10/1.7.10.json\n");
}

TEST_F(MetadataRefresh, ADocumentBeyondTheBoundOfItsKindIsStoppedAndTheCopyStays) {
  // The served description is followed by more than its kind's bound, with no length told.
  MirrorProcess mirror(served_.Path(), {"--extra", "/versions/1.7.10/1.7.10.json=" + std::to_string(kVersionDescriptionLimit),
                                        "--no-length", "/versions/1.7.10/1.7.10.json"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string description = VersionJsonPath(game_.Path(), "1.7.10");
  WriteFile(description, "{\"id\":\"1.7.10\"}");
  const Status fetched = DownloadDocument(description, mirror.BaseUrl() + "/versions/1.7.10/1.7.10.json",
                                          VersionDescriptionRule("1.7.10"));
  EXPECT_EQ(fetched.ok() ? FailureKind::Other : fetched.kind(), FailureKind::TooLarge);
  EXPECT_EQ(ReadFile(description), "{\"id\":\"1.7.10\"}");
  EXPECT_EQ(test::ListFiles(game_.Path()), "versions/1.7.10/1.7.10.json\n");
}

}  // namespace
}  // namespace kv
