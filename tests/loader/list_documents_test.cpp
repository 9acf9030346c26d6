// The list documents of the publishers and the China mirror, read from the real ones where
// they were found and from documents of their published shape otherwise.
#include <gtest/gtest.h>

#include "loader/list_documents.h"
#include "tests/loader/loader_publisher.h"
#include "tests/support/fixtures.h"

namespace kv {
namespace {

std::vector<std::string> Ids(const std::optional<std::vector<LoaderVersion>>& versions) {
  std::vector<std::string> ids;
  for (const LoaderVersion& version : versions.value_or(std::vector<LoaderVersion>{})) ids.push_back(version.id);
  return ids;
}

TEST(LoaderListDocuments, FabricAndQuiltMeta) {
  // The China mirror's copy has the meta's own shape for one game version.
  EXPECT_EQ(ReadMetaLoaderList(test::ReadFixture("loaders/bmclapi/fabric-meta-v2-versions-loader-1.21.trimmed.json")),
            (std::vector<LoaderVersion>{{"0.16.10", true}, {"0.16.9", false}, {"0.16.8", false}}));

  // Every Fabric loader as the list for one game version gives them: Fabric's own flags.
  const Json::Value fabric = test::ParseJson(test::ReadFixture("loaders/fabric/v2_versions_loader.json"));
  const auto fabricVersions = ReadMetaLoaderList(test::MetaListForGame(fabric, "1.21.1"));
  ASSERT_TRUE(fabricVersions);
  ASSERT_EQ(fabricVersions->size(), fabric.size());
  EXPECT_EQ(fabricVersions->front(), (LoaderVersion{"0.19.3", true}));
  EXPECT_EQ(fabricVersions->at(1), (LoaderVersion{"0.19.2", false}));

  // Quilt flags nothing: its pre-releases say what they are.
  const Json::Value quilt = test::ParseJson(test::ReadFixture("loaders/quilt/v3_versions_loader.json"));
  const auto quiltVersions = ReadMetaLoaderList(test::MetaListForGame(quilt, "1.21.1"));
  ASSERT_TRUE(quiltVersions);
  ASSERT_EQ(quiltVersions->size(), quilt.size());
  EXPECT_EQ(quiltVersions->at(0), (LoaderVersion{"0.30.1-beta.3", false}));
  EXPECT_EQ(quiltVersions->at(3), (LoaderVersion{"0.30.0", true}));

  EXPECT_EQ(ReadMetaLoaderList("[]"), std::vector<LoaderVersion>{});
  EXPECT_EQ(ReadMetaLoaderList("{\"loader\": []}"), std::nullopt);
  EXPECT_EQ(ReadMetaLoaderList("<html>"), std::nullopt);
}

TEST(LoaderListDocuments, ForgeMavenMetadataAndPromotions) {
  const std::string metadata = R"(<?xml version="1.0" encoding="UTF-8"?>
<metadata>
  <groupId>net.minecraftforge</groupId>
  <artifactId>forge</artifactId>
  <versioning>
    <latest>1.21.1-52.1.16</latest>
    <versions>
      <version>1.7.10-10.13.4.1614-1.7.10</version>
      <version>1.20-46.0.14</version>
      <version>1.20.1-47.2.0</version>
      <version>1.20.1-47.4.10</version>
      <version>1.20.1-../../x</version>
      <version>1.20.1-</version>
      <version>1.21.1-52.1.16</version>
    </versions>
  </versioning>
</metadata>)";
  EXPECT_EQ(Ids(ReadForgeMavenMetadata(metadata, "1.20.1")), (std::vector<std::string>{"47.2.0", "47.4.10"}));
  EXPECT_EQ(Ids(ReadForgeMavenMetadata(metadata, "1.20")), std::vector<std::string>{"46.0.14"});
  EXPECT_EQ(Ids(ReadForgeMavenMetadata(metadata, "1.7.10")), std::vector<std::string>{"10.13.4.1614-1.7.10"});
  EXPECT_EQ(ReadForgeMavenMetadata(metadata, "1.19"), std::vector<LoaderVersion>{});
  EXPECT_EQ(ReadForgeMavenMetadata("<metadata><versioning>", "1.20.1"), std::nullopt);
  EXPECT_EQ(ReadForgeMavenMetadata("{\"versions\": []}", "1.20.1"), std::nullopt);

  const std::string promotions = test::ReadFixture("loaders/forge/promotions_slim.json");
  EXPECT_EQ(ReadForgeRecommended(promotions, "1.20.1"), "47.4.10");
  EXPECT_EQ(ReadForgeRecommended(promotions, "1.21"), std::nullopt);  // a latest build only
  EXPECT_EQ(ReadForgeRecommended("[1, 2]", "1.20.1"), std::nullopt);
}

TEST(LoaderListDocuments, ChinaMirrorForgeList) {
  const std::string list = test::ReadFixture("loaders/bmclapi/forge-minecraft-1.21.trimmed.json");
  EXPECT_EQ(Ids(ReadMirrorForgeList(list, "1.21")),
            (std::vector<std::string>{"51.0.8", "51.0.7", "51.0.6", "51.0.5", "51.0.4"}));
  EXPECT_EQ(ReadMirrorForgeList(list, "1.20.1"), std::vector<LoaderVersion>{});
  EXPECT_EQ(ReadMirrorForgeList("{}", "1.21"), std::nullopt);
}

TEST(LoaderListDocuments, NeoForgeMavenApiAndTheChinaMirrorsList) {
  const std::string neoforge =
      R"({"isSnapshot": false, "versions": ["20.4.237", "21.0.1-beta", "21.1.1", "21.1.172", "21.10.3-beta", 7]})";
  EXPECT_EQ(ReadNeoForgeVersions(neoforge, "21.1."),
            (std::vector<LoaderVersion>{{"21.1.1", true}, {"21.1.172", true}}));
  EXPECT_EQ(ReadNeoForgeVersions(neoforge, "21.0."), (std::vector<LoaderVersion>{{"21.0.1-beta", false}}));
  // NeoForge's first builds, under the name of the project it came from.
  const std::string forge = R"({"isSnapshot": false, "versions": ["1.20.1-47.1.3", "1.20.1-47.1.106", "47.1.0"]})";
  EXPECT_EQ(Ids(ReadNeoForgeVersions(forge, "1.20.1-")), (std::vector<std::string>{"1.20.1-47.1.3", "1.20.1-47.1.106"}));
  EXPECT_EQ(ReadNeoForgeVersions("{\"versions\": {}}", "21.1."), std::nullopt);

  // The mirror names the Maven version in the installer's path: the id NeoForge's list has.
  const std::string mirrored = test::ReadFixture("loaders/bmclapi/neoforge-list-1.21.trimmed.json");
  const auto versions = ReadMirrorNeoForgeList(mirrored);
  EXPECT_EQ(Ids(versions),
            (std::vector<std::string>{"21.0.1-beta", "21.0.2-beta", "21.0.3-beta", "21.0.4-beta", "21.0.5-beta"}));
  EXPECT_FALSE(versions->front().stable);
  const std::string firstLine = R"([{"installerPath": "/maven/net/neoforged/forge/1.20.1-47.1.106/forge-1.20.1-47.1.106-installer.jar",
      "mcversion": "1.20.1", "version": "47.1.106"}, {"version": "47.1.107"}, {"installerPath": "x", "version": "a b"}])";
  EXPECT_EQ(ReadMirrorNeoForgeList(firstLine), (std::vector<LoaderVersion>{{"1.20.1-47.1.106", true}, {"47.1.107", true}}));
}

TEST(LoaderListDocuments, WhereNeoForgesVersionsOfAGameVersionBegin) {
  const std::vector<std::pair<const char*, std::optional<std::string>>> cases = {
      {"1.21.1", "21.1."}, {"1.21", "21.0."},   {"1.20.4", "20.4."},       {"26.1", "26.1.0."},
      {"26.1.2", "26.1.2."}, {"24w14a", std::nullopt}, {"1", std::nullopt}, {"1..2", std::nullopt},
      {"", std::nullopt}};
  for (const auto& [game, prefix] : cases) EXPECT_EQ(NeoForgeVersionPrefix(game), prefix) << game;
}

}  // namespace
}  // namespace kv
