// Which loader a version is made with, from the descriptions the loaders' installers write.
#include <gtest/gtest.h>

#include "loader/installed_loader.h"
#include "tests/loader/loader_publisher.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

std::optional<InstalledLoader> LoaderOfText(const std::string& text) {
  VersionDescription description;
  EXPECT_TRUE(ParseVersionDescription(text, description));
  return LoaderOf(description);
}

TEST(InstalledLoader, EachLoaderByWhatItsDescriptionCarries) {
  using L = InstalledLoader;
  EXPECT_EQ(LoaderOfText(test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json")),
            (L{LoaderKind::Fabric, "0.16.9"}));
  EXPECT_EQ(LoaderOfText(test::ReadFixture("loaders/forge/1.20.1-47.2.0/version.json")), (L{LoaderKind::Forge, "47.2.0"}));
  EXPECT_EQ(LoaderOfText(test::ReadFixture("loaders/forge/1.16.5-36.2.39/version.json")),
            (L{LoaderKind::Forge, "36.2.39"}));
  EXPECT_EQ(LoaderOfText(test::ReadFixture("loaders/neoforge/21.1.172/version.json")),
            (L{LoaderKind::NeoForge, "21.1.172"}));
  // The legacy installer carries its description inside its profile; its loader is a library.
  const Json::Value legacy = test::ParseJson(test::ReadFixture("loaders/forge/1.12.2-14.23.5.2847-legacy/install_profile.json"));
  EXPECT_EQ(LoaderOfText(test::WriteJson(legacy["versionInfo"])), (L{LoaderKind::Forge, "14.23.5.2847"}));
  // NeoForge's first builds name themselves as Forge does, in NeoForge's group.
  EXPECT_EQ(LoaderOfText(R"({"arguments": {"game": ["--fml.forgeVersion", "47.1.106", "--fml.mcVersion", "1.20.1",
                                                   "--fml.forgeGroup", "net.neoforged"]}})"),
            (L{LoaderKind::NeoForge, "47.1.106"}));
  EXPECT_EQ(LoaderOfText(R"({"libraries": [{"name": "org.quiltmc:quilt-loader:0.26.4-beta.5"}]})"),
            (L{LoaderKind::Quilt, "0.26.4-beta.5"}));
  EXPECT_EQ(LoaderOfText(test::ReadFixture("versions/modern/1.19.4.json")), std::nullopt);
  EXPECT_EQ(LoaderOfText(R"({"arguments": {"game": ["--fml.forgeVersion"]}})"), std::nullopt);
  EXPECT_EQ(DescribeLoader({LoaderKind::NeoForge, "21.1.172"}), "NeoForge 21.1.172");
}

TEST(InstalledLoader, ReadFromTheGameFolder) {
  test::TempFolder game;
  test::WriteFile(game / "versions/fabric-loader-0.16.9-1.21.1/fabric-loader-0.16.9-1.21.1.json",
                  test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json"));
  EXPECT_EQ(LoaderOfVersion(game.Path(), "fabric-loader-0.16.9-1.21.1"), (InstalledLoader{LoaderKind::Fabric, "0.16.9"}));
  EXPECT_EQ(LoaderOfVersion(game.Path(), "1.21.1"), std::nullopt);
  EXPECT_EQ(LoaderOfVersion(game.Path(), "../versions"), std::nullopt);
}

}  // namespace
}  // namespace kv
