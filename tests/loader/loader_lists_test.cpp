// The loaders' version lists fetched from korvane-mirror standing in for the publishers and the
// China mirror.
#include <gtest/gtest.h>

#include "loader/loader_lists.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

using test::LoaderPublisher;

constexpr const char* kForgeMetadata = R"(<?xml version="1.0" encoding="UTF-8"?>
<metadata><groupId>net.minecraftforge</groupId><artifactId>forge</artifactId><versioning><versions>
<version>1.20.1-47.2.0</version><version>1.20.1-47.4.10</version><version>1.20.1-47.4.23</version>
<version>1.21.1-52.1.0</version></versions></versioning></metadata>)";

class LoaderLists : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    served_ = new test::TempFolder;
    LoaderPublisher publisher(served_->Path());
    const Json::Value fabric = test::ParseJson(test::ReadFixture("loaders/fabric/v2_versions_loader.json"));
    publisher.ServeList("https://meta.fabricmc.net/v2/versions/loader/1.21.1", test::MetaListForGame(fabric, "1.21.1"));
    publisher.ServeList("https://meta.fabricmc.net/v2/versions/loader/1.99", "[]");
    const Json::Value quilt = test::ParseJson(test::ReadFixture("loaders/quilt/v3_versions_loader.json"));
    publisher.ServeList("https://meta.quiltmc.org/v3/versions/loader/1.21.1", test::MetaListForGame(quilt, "1.21.1"));
    publisher.Serve("https://maven.minecraftforge.net/net/minecraftforge/forge/maven-metadata.xml", kForgeMetadata);
    publisher.Serve("https://files.minecraftforge.net/net/minecraftforge/forge/promotions_slim.json",
                    test::ReadFixture("loaders/forge/promotions_slim.json"));
    publisher.Serve("https://maven.neoforged.net/api/maven/versions/releases/net/neoforged/neoforge",
                    R"({"isSnapshot": false, "versions": ["21.0.1-beta", "21.1.0-beta", "21.1.1", "21.1.172"]})");
    publisher.Serve("https://maven.neoforged.net/api/maven/versions/releases/net/neoforged/forge",
                    R"({"isSnapshot": false, "versions": ["1.20.1-47.1.3", "1.20.1-47.1.106"]})");
    publisher.ServeOnChinaMirror("/forge/minecraft/1.21", test::ReadFixture("loaders/bmclapi/forge-minecraft-1.21.trimmed.json"));
    publisher.ServeOnChinaMirror("/neoforge/list/1.21", test::ReadFixture("loaders/bmclapi/neoforge-list-1.21.trimmed.json"));
    publisher.ServeOnChinaMirror("/fabric-meta/v2/versions/loader/1.21",
                                 test::ReadFixture("loaders/bmclapi/fabric-meta-v2-versions-loader-1.21.trimmed.json"));
    publisher.ServeOnChinaMirror("/forge/minecraft/1.12.2", "<html>");
  }
  static void TearDownTestSuite() { delete served_; }

  static std::vector<LoaderVersion> Versions(const LoaderVersionList& list) {
    EXPECT_TRUE(list) << list.message();
    return list ? *list : std::vector<LoaderVersion>{};
  }

  static test::TempFolder* served_;
};

test::TempFolder* LoaderLists::served_ = nullptr;

TEST_F(LoaderLists, FromThePublishersNewestStableFirst) {
  test::MirrorProcess mirror(served_->Path());
  ASSERT_TRUE(mirror.Started());
  const DownloadSource source = LoaderPublisher::Official(mirror.BaseUrl());

  const std::vector<LoaderVersion> fabric = Versions(FetchLoaderVersions(LoaderKind::Fabric, "1.21.1", source));
  ASSERT_EQ(fabric.size(), 251u);
  EXPECT_EQ(fabric[0], (LoaderVersion{"0.19.3", true}));
  EXPECT_EQ(fabric[1], (LoaderVersion{"0.19.2", false}));

  const std::vector<LoaderVersion> quilt = Versions(FetchLoaderVersions(LoaderKind::Quilt, "1.21.1", source));
  ASSERT_EQ(quilt.size(), 300u);
  EXPECT_EQ(quilt[0], (LoaderVersion{"0.30.0", true}));
  EXPECT_FALSE(quilt.back().stable);

  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Forge, "1.20.1", source)),
            (std::vector<LoaderVersion>{{"47.4.23", false, false}, {"47.4.10", false, true}, {"47.2.0", false, false}}));
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::NeoForge, "1.21.1", source)),
            (std::vector<LoaderVersion>{{"21.1.172", true}, {"21.1.1", true}, {"21.1.0-beta", false}}));
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::NeoForge, "1.20.1", source)),
            (std::vector<LoaderVersion>{{"1.20.1-47.1.106", true}, {"1.20.1-47.1.3", true}}));

  // The mirror layout has no place for loaders: they come from their publishers.
  const DownloadSource deployment(SourceKind::Mirror, mirror.BaseUrl(), "http://127.0.0.1:9", "http://127.0.0.1:9");
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::NeoForge, "1.21.1", deployment)).size(), 3u);
}

TEST_F(LoaderLists, TheChinaMirrorsOwnListsFirstUnderItsSource) {
  test::MirrorProcess mirror(served_->Path());
  ASSERT_TRUE(mirror.Started());
  const DownloadSource source = LoaderPublisher::ChinaMirror(mirror.BaseUrl());
  const std::vector<LoaderVersion> forge = Versions(FetchLoaderVersions(LoaderKind::Forge, "1.21", source));
  ASSERT_EQ(forge.size(), 5u);
  EXPECT_EQ(forge.front().id, "51.0.8");
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::NeoForge, "1.21", source)).front(),
            (LoaderVersion{"21.0.5-beta", false}));
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Fabric, "1.21", source)).front(), (LoaderVersion{"0.16.10", true}));
  EXPECT_EQ(mirror.CountRequests("GET", "/bmclapi/forge/minecraft/1.21"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/bmclapi/neoforge/list/1.21"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/bmclapi/fabric-meta/v2/versions/loader/1.21"), 1);

  // Under the publisher's source the China mirror is the second address of the same document.
  const DownloadSource official(SourceKind::Official, "http://127.0.0.1:9", mirror.BaseUrl() + "/bmclapi", "");
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Fabric, "1.21", official)).size(), 3u);
}

TEST_F(LoaderLists, ALoaderWithoutBuildsForTheGameVersionIsUnavailableNotFailed) {
  test::MirrorProcess mirror(served_->Path());
  ASSERT_TRUE(mirror.Started());
  // Both the publisher and the China mirror answer.
  const DownloadSource source(SourceKind::Official, mirror.BaseUrl(), mirror.BaseUrl() + "/bmclapi", "");
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Fabric, "1.99", source)), std::vector<LoaderVersion>{});  // []
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Quilt, "1.99", source)), std::vector<LoaderVersion>{});   // 404
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::Forge, "1.19", source)), std::vector<LoaderVersion>{});
  EXPECT_EQ(Versions(FetchLoaderVersions(LoaderKind::NeoForge, "24w14a", source)), std::vector<LoaderVersion>{});
}

TEST_F(LoaderLists, FailuresSayWhichListAndWhy) {
  {
    test::MirrorProcess mirror(served_->Path(), {"--status", "/meta.fabricmc.net/v2/versions/loader/1.21.1=500"});
    ASSERT_TRUE(mirror.Started());
    const LoaderVersionList list = FetchLoaderVersions(LoaderKind::Fabric, "1.21.1", LoaderPublisher::Official(mirror.BaseUrl()));
    ASSERT_FALSE(list);
    EXPECT_EQ(list.kind(), FailureKind::Refused);
    EXPECT_NE(list.message().find("Fabric"), std::string::npos) << list.message();
    EXPECT_NE(list.message().find("HTTP 500"), std::string::npos) << list.message();
  }
  test::MirrorProcess mirror(served_->Path());
  ASSERT_TRUE(mirror.Started());
  // A page where the mirror's list belongs, and the publisher closed.
  const LoaderVersionList unreadable =
      FetchLoaderVersions(LoaderKind::Forge, "1.12.2", LoaderPublisher::ChinaMirror(mirror.BaseUrl()));
  ASSERT_FALSE(unreadable);
  EXPECT_EQ(unreadable.kind(), FailureKind::Invalid);
  const LoaderVersionList closed =
      FetchLoaderVersions(LoaderKind::Quilt, "1.21.1", LoaderPublisher::Official("http://127.0.0.1:9"));
  ASSERT_FALSE(closed);
  EXPECT_EQ(closed.kind(), FailureKind::Unreachable);
}

TEST(LoaderListsTogether, EveryKindInItsPlace) {
  const std::vector<LoaderChoices> lists = FetchEveryLoaderList([](LoaderKind kind) -> LoaderVersionList {
    if (kind == LoaderKind::Quilt) return Fail(FailureKind::Unreachable, "closed");
    return std::vector<LoaderVersion>{{std::string(LoaderKindName(kind)), true}};
  });
  ASSERT_EQ(lists.size(), kLoaderKinds.size());
  for (std::size_t i = 0; i < lists.size(); ++i) {
    EXPECT_EQ(lists[i].kind, kLoaderKinds[i]);
    if (lists[i].kind == LoaderKind::Quilt) {
      EXPECT_FALSE(lists[i].versions);
    } else {
      EXPECT_EQ(lists[i].versions->front().id, LoaderKindName(lists[i].kind));
    }
  }
}

}  // namespace
}  // namespace kv
