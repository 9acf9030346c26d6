#include "game/game_layout.h"

#include <gtest/gtest.h>

#include "game/game_files.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

using namespace std::literals;

const std::string kHash = "ab0123456789abcdef0123456789abcdef012345";

TEST(AssetFiles, ObjectPathUsesTheHashAlone) {
  EXPECT_EQ(AssetObjectPath("C:\\game\\.minecraft\\", kHash),
            "C:\\game\\.minecraft\\/assets/objects/ab/" + kHash);
  // The bucket keeps the case as written.
  EXPECT_EQ(AssetObjectPath("/g/", "AB" + kHash.substr(2)), "/g//assets/objects/AB/AB" + kHash.substr(2));
  EXPECT_EQ(AssetIndexPath("/g/", "1.7.10"), "/g//assets/indexes/1.7.10.json");
}

TEST(AssetFiles, OnlyFortyHexDigitsAreASafeHash) {
  EXPECT_TRUE(IsSafeAssetHash(kHash));
  EXPECT_TRUE(IsSafeAssetHash("ABCDEF0123456789ABCDEF0123456789ABCDEF01"));
  for (const std::string& bad : {""s, "ab"s, kHash + "0", kHash.substr(1), "../" + kHash.substr(3),
                                 "ab/" + kHash.substr(3), "g" + kHash.substr(1),
                                 kHash.substr(0, 39) + "\0"s, "..\\\\" + kHash.substr(4)}) {
    EXPECT_FALSE(IsSafeAssetHash(bad)) << bad;
  }
}

TEST(AssetFiles, EveryHashOfAPublishedIndexIsSafe) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(test::ReadFixture("versions/assets-1.7.10.json"), index));
  for (const AssetObject& object : index.objects) EXPECT_TRUE(IsSafeAssetHash(object.hash)) << object.name;
}

TEST(AssetFiles, IndexIdsThatWouldLeaveTheIndexFolder) {
  EXPECT_TRUE(IsSafeAssetIndexId("1.7.10"));
  EXPECT_TRUE(IsSafeAssetIndexId("legacy"));
  for (const char* bad : {"", ".", "..", "../../x", "a/b", "a\\b", "x\n"}) {
    EXPECT_FALSE(IsSafeAssetIndexId(bad)) << bad;
  }
}

TEST(AssetFiles, ReadingTheLocalIndex) {
  test::TempFolder game;
  AssetIndex index;
  index.objects.push_back({"kept", "h", 1});
  EXPECT_FALSE(ReadAssetIndex(game.Path(), "1.7.10", index));  // missing
  test::WriteFile(AssetIndexPath(game.Path(), "1.7.10"), "");
  EXPECT_FALSE(ReadAssetIndex(game.Path(), "1.7.10", index));  // empty
  test::WriteFile(AssetIndexPath(game.Path(), "1.7.10"), "{\"objects\": {");
  EXPECT_FALSE(ReadAssetIndex(game.Path(), "1.7.10", index));  // truncated
  EXPECT_EQ(index.objects.front().name, "kept");
  test::WriteFile(AssetIndexPath(game.Path(), "1.7.10"), R"({"objects": {"a": {"hash": "h", "size": 1}}})");
  EXPECT_TRUE(ReadAssetIndex(game.Path(), "1.7.10", index));
  EXPECT_EQ(index.objects.front().name, "a");
  // An index id from the network never reaches a file outside the index folder.
  test::WriteFile(game / "secret.json", R"({"objects": {"s": {}}})");
  EXPECT_FALSE(ReadAssetIndex(game.Path(), "../../secret", index));
  EXPECT_EQ(index.objects.front().name, "a");
}

}  // namespace
}  // namespace kv
