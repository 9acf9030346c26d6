// Which catalogue entries qrx offers for a game version.
#include "tools/qrx/game_versions.h"

#include <gtest/gtest.h>

namespace kv::qrx {
namespace {

TEST(GameVersions, VersionsAreOrderedAsMavenOrdersThem) {
  EXPECT_LT(CompareMavenVersions("1.7.10", "1.8"), 0);
  EXPECT_LT(CompareMavenVersions("1.9", "1.10"), 0);
  EXPECT_EQ(CompareMavenVersions("1.20", "1.20.0"), 0);
  EXPECT_LT(CompareMavenVersions("1.20", "1.20.1"), 0);
  EXPECT_LT(CompareMavenVersions("1.0-alpha1", "1.0-beta"), 0);
  EXPECT_LT(CompareMavenVersions("1.0-rc1", "1.0"), 0);
  EXPECT_EQ(CompareMavenVersions("1.0-final", "1.0"), 0);
  EXPECT_LT(CompareMavenVersions("1.0-SNAPSHOT", "1.0"), 0);
  EXPECT_LT(CompareMavenVersions("1.0", "1.0-sp1"), 0);
  EXPECT_EQ(CompareMavenVersions("1.0a1", "1.0-alpha-1"), 0);
  EXPECT_LT(CompareMavenVersions("1.0.x", "1.0.1"), 0);
  EXPECT_EQ(CompareMavenVersions("01.007", "1.7"), 0);
}

TEST(GameVersions, MavenRangesIncludeWhatTheySay) {
  EXPECT_TRUE(MavenRangeContains("[1.20,1.21)", "1.20.1"));
  EXPECT_TRUE(MavenRangeContains("[1.20,1.21)", "1.20"));
  EXPECT_FALSE(MavenRangeContains("[1.20,1.21)", "1.21"));
  EXPECT_FALSE(MavenRangeContains("(1.20,1.21)", "1.20"));
  EXPECT_TRUE(MavenRangeContains("[1.20.1]", "1.20.1"));
  EXPECT_FALSE(MavenRangeContains("[1.20.1]", "1.20.2"));
  EXPECT_TRUE(MavenRangeContains("[1.18,)", "1.21.4"));
  EXPECT_TRUE(MavenRangeContains("(,1.12.2]", "1.7.10"));
  EXPECT_TRUE(MavenRangeContains("[1.7.10], [1.12,1.13)", "1.12.2"));
  EXPECT_FALSE(MavenRangeContains("[1.7.10], [1.12,1.13)", "1.10"));
  // A bare version stands for itself only.
  EXPECT_TRUE(MavenRangeContains("1.16.5", "1.16.5"));
  EXPECT_FALSE(MavenRangeContains("1.16.5", "1.17"));
  for (const char* broken : {"", "[", "[1.0", "[1.0,2.0", "(1.0)", "[2.0,1.0]", "[1,2,3]", "[1.0],", "[1.0]x",
                             "1.0,2.0", "[[1.0]]"}) {
    EXPECT_FALSE(IsMavenRange(broken)) << broken;
    EXPECT_FALSE(MavenRangeContains(broken, "1.0")) << broken;
  }
}

TEST(GameVersions, OnlyForgeAndNeoForgeEntriesOfTheVersionAreOffered) {
  CatalogueEntry entry;
  entry.gameVersions = {GameVersions::Syntax::Exact, {"1.7.10", "1.7.2"}};
  EXPECT_TRUE(OfferedFor(entry, "1.7.2"));
  EXPECT_FALSE(OfferedFor(entry, "1.7"));
  entry.loader = ModLoader::NeoForge;
  entry.gameVersions = {GameVersions::Syntax::MavenRange, {"[1.20.2,1.21)"}};
  EXPECT_TRUE(OfferedFor(entry, "1.20.4"));
  EXPECT_FALSE(OfferedFor(entry, ""));
  entry.loader = ModLoader::Fabric;
  EXPECT_FALSE(OfferedFor(entry, "1.20.4"));
  entry.loader = ModLoader::Forge;
  entry.gameVersions = {GameVersions::Syntax::Fabric, {">=1.20"}};
  EXPECT_FALSE(OfferedFor(entry, "1.20.4"));
  entry.gameVersions = {};
  EXPECT_FALSE(OfferedFor(entry, "1.20.4"));
}

}  // namespace
}  // namespace kv::qrx
