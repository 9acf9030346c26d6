#include <gtest/gtest.h>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "meta/version_manifest.h"
#include "tests/support/fixtures.h"

namespace kv {
namespace {

VersionDescription Fixture(const std::string& version) {
  VersionDescription d;
  EXPECT_TRUE(ParseVersionDescription(test::ReadFixture("versions/version-" + version + ".json"), d));
  return d;
}

TEST(PublishedDocuments, VersionDescriptions) {
  const VersionDescription v164 = Fixture("1.6.4");
  EXPECT_EQ(v164.id, "1.6.4");
  EXPECT_EQ(v164.assets, "legacy");
  EXPECT_EQ(v164.libraries.size(), 21u);
  EXPECT_EQ(v164.mainClass, "net.minecraft.client.main.Main");
  EXPECT_EQ(v164.libraries[1].rules.at(0).osName, "osx");
  EXPECT_EQ(v164.libraries[0].extractExclude, std::vector<std::string>{"META-INF/"});

  const VersionDescription v1710 = Fixture("1.7.10");
  EXPECT_EQ(v1710.id, "1.7.10");
  EXPECT_EQ(v1710.libraries.size(), 33u);
  EXPECT_EQ(v1710.libraries[31].nativesWindows, "natives-windows-${arch}");
  EXPECT_EQ(v1710.libraries[32].nativesLinux, "");

  const VersionDescription v1122 = Fixture("1.12.2");
  EXPECT_EQ(v1122.id, "1.12.2");
  EXPECT_EQ(v1122.assets, "1.12");
  EXPECT_EQ(v1122.libraries.size(), 39u);
  EXPECT_NE(v1122.minecraftArguments.find("${version_type}"), std::string::npos);
}

TEST(PublishedDocuments, VersionList) {
  VersionManifest m;
  ASSERT_TRUE(ReadVersionManifest(test::FixturePath("versions/version_manifest.json"), m));
  EXPECT_EQ(m.entries.size(), 129u);
  EXPECT_EQ(m.latestRelease, "1.12.2");
  EXPECT_EQ(m.latestSnapshot, "18w10d");
  bool found = false;
  for (const ManifestEntry& e : m.entries) {
    EXPECT_FALSE(e.id.empty());
    EXPECT_FALSE(e.type.empty());
    found = found || (e.id == "1.7.10" && e.type == "release");
  }
  EXPECT_TRUE(found);
}

TEST(PublishedDocuments, AssetIndex) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(test::ReadFixture("versions/assets-1.7.10.json"), index));
  ASSERT_EQ(index.objects.size(), 686u);
  for (std::size_t i = 0; i < index.objects.size(); ++i) {
    EXPECT_GT(index.objects[i].size, 0) << index.objects[i].name;
    if (i > 0) {
      EXPECT_LT(index.objects[i - 1].name, index.objects[i].name);
    }
  }
}

}  // namespace
}  // namespace kv
