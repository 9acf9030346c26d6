#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

// Descriptions that extend others, read from the game folder.
namespace kv {
namespace {

class VersionChain : public ::testing::Test {
 protected:
  void Install(const std::string& id, const std::string& fixture) {
    test::WriteFile(VersionJsonPath(game_.Path(), id), test::ReadFixture("versions/modern/" + fixture));
  }
  void Write(const std::string& id, const std::string& parent) {
    test::WriteFile(VersionJsonPath(game_.Path(), id),
                    R"({"id":")" + id + R"(","inheritsFrom":")" + parent + R"(","libraries":[{"name":"x:)" + id + R"(:1"}]})");
  }
  test::TempFolder game_;
};

TEST_F(VersionChain, ForgeOverItsGameVersion) {
  Install("1.18.2", "1.18.2.json");
  Install("1.18.2-forge-40.2.9", "1.18.2-forge-40.2.9.json");
  VersionDescription merged;
  const InheritanceResult result = ReadVersionChain(game_.Path(), "1.18.2-forge-40.2.9", merged);
  ASSERT_EQ(result.status, InheritanceStatus::Resolved);
  EXPECT_EQ(result.depth, 1);
  EXPECT_EQ(merged.id, "1.18.2-forge-40.2.9");
  EXPECT_EQ(merged.inheritsFrom, "");
  EXPECT_EQ(merged.mainClass, "cpw.mods.bootstraplauncher.BootstrapLauncher");
  // The loader's libraries first, then the game's.
  ASSERT_EQ(merged.libraries.size(), 27u + 60u);
  EXPECT_EQ(merged.libraries.front().name, "cpw.mods:securejarhandler:1.0.8");
  EXPECT_EQ(merged.libraries[27].name, "com.mojang:logging:1.0.0");
  // What the loader does not name comes from the game: the asset index, the client, Java 17.
  EXPECT_EQ(merged.assets, "1.18");
  EXPECT_EQ(merged.assetIndex.sha1, "d31a2e85ae149dd1b1a7070b22cb8887892fda6c");
  ASSERT_NE(ClientDownload(merged), nullptr);
  EXPECT_EQ(ClientDownload(merged)->sha1, "2e9a3e3107cca00d6bc9c97bf7d149cae163ef21");
  EXPECT_EQ(merged.javaMajorVersion, 17);
  EXPECT_EQ(merged.jar, "1.18.2");  // its client jar is made from the game's
  // Arguments: the game's, then the loader's.
  ASSERT_TRUE(merged.gameArguments && merged.jvmArguments);
  EXPECT_EQ(merged.gameArguments->front().values, std::vector<std::string>{"--username"});
  EXPECT_EQ(merged.gameArguments->back().values, std::vector<std::string>{"20220404.173914"});
  EXPECT_EQ(merged.jvmArguments->back().values, std::vector<std::string>{"jdk.naming.dns/com.sun.jndi.dns=java.naming"});
}

TEST_F(VersionChain, OnlyAMissingParentIsFetched) {
  Install("1.18.2-forge-40.2.9", "1.18.2-forge-40.2.9.json");
  std::vector<std::string> fetched;
  VersionDescription merged;
  const InheritanceResult result = ReadVersionChain(game_.Path(), "1.18.2-forge-40.2.9", merged, [&](const std::string& id) {
    fetched.push_back(id);
    Install(id, id + ".json");
  });
  EXPECT_EQ(result.status, InheritanceStatus::Resolved);
  EXPECT_EQ(fetched, std::vector<std::string>{"1.18.2"});
  fetched.clear();
  EXPECT_EQ(ReadVersionChain(game_.Path(), "1.18.2-forge-40.2.9", merged, [&](const std::string& id) { fetched.push_back(id); }).status,
            InheritanceStatus::Resolved);
  EXPECT_TRUE(fetched.empty());
}

TEST_F(VersionChain, RefusedChains) {
  VersionDescription untouched;
  untouched.id = "before";
  VersionDescription merged = untouched;

  Write("a", "b");
  InheritanceResult result = ReadVersionChain(game_.Path(), "a", merged, [](const std::string&) {});
  EXPECT_EQ(result.status, InheritanceStatus::MissingParent);
  EXPECT_EQ(result.version, "b");

  Write("b", "c");
  Write("c", "a");
  result = ReadVersionChain(game_.Path(), "a", merged);
  EXPECT_EQ(result.status, InheritanceStatus::Cycle);
  EXPECT_EQ(result.version, "a");
  Write("self", "self");
  EXPECT_EQ(ReadVersionChain(game_.Path(), "self", merged).status, InheritanceStatus::Cycle);

  // Eight ancestors are fine, a ninth is too many.
  for (int i = 0; i < 9; ++i) Write("d" + std::to_string(i), "d" + std::to_string(i + 1));
  test::WriteFile(VersionJsonPath(game_.Path(), "d9"), R"({"id":"d9"})");
  EXPECT_EQ(ReadVersionChain(game_.Path(), "d1", merged).status, InheritanceStatus::Resolved);
  EXPECT_EQ(merged.libraries.size(), 8u);
  merged = untouched;
  result = ReadVersionChain(game_.Path(), "d0", merged);
  EXPECT_EQ(result.status, InheritanceStatus::TooDeep);
  EXPECT_EQ(merged.id, "before");

  // A parent named by a path is never looked for outside the versions folder.
  Write("escape", "../../x");
  EXPECT_EQ(ReadVersionChain(game_.Path(), "escape", merged, [](const std::string&) { FAIL(); }).status,
            InheritanceStatus::MissingParent);
  EXPECT_EQ(ReadVersionChain(game_.Path(), "nothing", merged).status, InheritanceStatus::Unreadable);
}

TEST_F(VersionChain, EachDescriptionIsTheVersionOfItsFolder) {
  VersionDescription merged;
  merged.id = "before";
  test::WriteFile(VersionJsonPath(game_.Path(), "a"), R"({"id":"b","mainClass":"Main"})");
  InheritanceResult result = ReadVersionChain(game_.Path(), "a", merged);
  EXPECT_EQ(result.status, InheritanceStatus::IdMismatch);
  EXPECT_EQ(result.version, "a");
  EXPECT_EQ(result.namedId, "b");
  EXPECT_EQ(merged.id, "before");

  // A parent too; one without an id is taken as its folder's.
  Write("child", "parent");
  test::WriteFile(VersionJsonPath(game_.Path(), "parent"), R"({"id":"other","mainClass":"Main"})");
  result = ReadVersionChain(game_.Path(), "child", merged);
  EXPECT_EQ(result.status, InheritanceStatus::IdMismatch);
  EXPECT_EQ(result.version, "parent");
  EXPECT_EQ(result.namedId, "other");
  test::WriteFile(VersionJsonPath(game_.Path(), "parent"), R"({"mainClass":"Main"})");
  EXPECT_EQ(ReadVersionChain(game_.Path(), "child", merged).status, InheritanceStatus::Resolved);
  EXPECT_EQ(merged.id, "child");
}

}  // namespace
}  // namespace kv
