#include "meta/asset_index.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using namespace std::literals;

TEST(AssetIndex, ObjectsInAscendingByteOrderOfTheirNames) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(R"({"virtual": true, "objects": {
      "sounds/b.ogg": {"hash": "h2", "size": 2},
      "Z.txt": {"hash": "h3", "size": 3},
      "a.txt": {"hash": "h1", "size": 1},
      "\u00e9.txt": {"hash": "h4", "size": 4},
      "a": {"hash": "h5", "size": 5}}})", index));
  ASSERT_EQ(index.objects.size(), 5u);
  const char* names[] = {"Z.txt", "a", "a.txt", "sounds/b.ogg", "\xc3\xa9.txt"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(index.objects[i].name, names[i]);
  EXPECT_EQ(index.objects[0].hash, "h3");
  EXPECT_EQ(index.objects[0].size, 3);
}

TEST(AssetIndex, EmptyOrMissingObjectsGiveAnEmptyModel) {
  AssetIndex index;
  index.objects.push_back({"old", "h", 1});
  ASSERT_TRUE(ParseAssetIndex(R"({"objects": {}})", index));
  EXPECT_TRUE(index.objects.empty());
  index.objects.push_back({"old", "h", 1});
  for (const char* text : {"{}", R"({"objects": []})", R"({"objects": "x"})", "[]", "3"}) {
    ASSERT_TRUE(ParseAssetIndex(text, index)) << text;
    EXPECT_TRUE(index.objects.empty()) << text;
  }
}

TEST(AssetIndex, ValuesOfTheWrongKind) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(R"({"objects": {
      "a": {"hash": 5, "size": "12"},
      "b": {"hash": null, "size": 3000000000},
      "c": "not an object",
      "d": {"size": 7.9}}})", index));
  ASSERT_EQ(index.objects.size(), 4u);
  EXPECT_EQ(index.objects[0].hash, "");
  EXPECT_EQ(index.objects[0].size, 0);
  EXPECT_EQ(index.objects[1].size, 0);
  EXPECT_EQ(index.objects[2].hash, "");
  EXPECT_EQ(index.objects[3].size, 7);
}

TEST(AssetIndex, NamesWithNulAndRepeatedNames) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(R"({"objects": {"a\u0000b": {"hash": "h"}, "x": {"hash": "1"}, "x": {"hash": "2"}}})", index));
  ASSERT_EQ(index.objects.size(), 2u);
  EXPECT_EQ(index.objects[0].name, "a\0b"s);
  EXPECT_EQ(index.objects[1].hash, "2");  // the later of two equal names counts
}

TEST(AssetIndex, TextThatIsNotJsonLeavesTheModelUntouched) {
  AssetIndex index;
  index.objects.push_back({"kept", "h", 1});
  EXPECT_FALSE(ParseAssetIndex("", index));
  EXPECT_FALSE(ParseAssetIndex(R"({"objects": {"a": {"hash": "h")", index));
  EXPECT_FALSE(ParseAssetIndex(std::string(100000, '['), index));
  ASSERT_EQ(index.objects.size(), 1u);
  EXPECT_EQ(index.objects[0].name, "kept");
}

}  // namespace
}  // namespace kv
