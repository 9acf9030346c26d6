#include "meta/version_manifest.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace kv {
namespace {

TEST(VersionManifest, ReadsLatestAndEveryEntryInOrder) {
  VersionManifest m;
  ASSERT_TRUE(ParseVersionManifest(R"({"latest": {"snapshot": "s1", "release": "r1", "other": "x"},
      "versions": [
        {"id": "b", "time": "t1", "releaseTime": "r1", "type": "snapshot", "url": "u"},
        {"id": "a", "time": "t2", "releaseTime": "r2", "type": "release"},
        {"id": "a", "type": "release"}]})", m));
  EXPECT_EQ(m.latestSnapshot, "s1");
  EXPECT_EQ(m.latestRelease, "r1");
  ASSERT_EQ(m.entries.size(), 3u);  // neither sorted nor merged
  EXPECT_EQ(m.entries[0].id, "b");
  EXPECT_EQ(m.entries[0].time, "t1");
  EXPECT_EQ(m.entries[0].releaseTime, "r1");
  EXPECT_EQ(m.entries[0].type, "snapshot");
  EXPECT_EQ(m.entries[1].id, "a");
  EXPECT_EQ(m.entries[2].time, "");
}

TEST(VersionManifest, EmptyVersionsKeepTheLatestIds) {
  VersionManifest m;
  ASSERT_TRUE(ParseVersionManifest(R"({"latest": {"snapshot": "s", "release": "r"}, "versions": []})", m));
  EXPECT_EQ(m.latestRelease, "r");
  EXPECT_TRUE(m.entries.empty());
}

TEST(VersionManifest, NoLatestGivesEmptyIdsAndAllEntries) {
  VersionManifest m;
  ASSERT_TRUE(ParseVersionManifest(R"({"versions": [{"id": "1"}, {"id": "2"}]})", m));
  EXPECT_EQ(m.latestSnapshot, "");
  EXPECT_EQ(m.latestRelease, "");
  EXPECT_EQ(m.entries.size(), 2u);
}

TEST(VersionManifest, ValuesOfTheWrongKind) {
  VersionManifest m;
  ASSERT_TRUE(ParseVersionManifest(R"({"latest": ["r"], "versions": [3, "x", null, {"id": 1.7, "type": true}]})", m));
  EXPECT_EQ(m.latestRelease, "");
  ASSERT_EQ(m.entries.size(), 4u);
  EXPECT_EQ(m.entries[0].id, "");
  EXPECT_EQ(m.entries[3].id, "");
  EXPECT_EQ(m.entries[3].type, "true");
  ASSERT_TRUE(ParseVersionManifest(R"({"latest": {"release": "r"}, "versions": {"id": "1"}})", m));
  EXPECT_EQ(m.latestRelease, "r");
  EXPECT_TRUE(m.entries.empty());
}

TEST(VersionManifest, TextThatIsNotJsonLeavesAFilledModelUntouched) {
  VersionManifest m;
  ASSERT_TRUE(ParseVersionManifest(R"({"latest": {"release": "r"}, "versions": [{"id": "1"}]})", m));
  EXPECT_FALSE(ParseVersionManifest(R"({"latest": {"release": "x"}, "versions": [{"id": "2"})", m));
  EXPECT_FALSE(ParseVersionManifest(std::string(100000, '{'), m));
  EXPECT_EQ(m.latestRelease, "r");
  ASSERT_EQ(m.entries.size(), 1u);
  EXPECT_EQ(m.entries[0].id, "1");
}

TEST(VersionManifest, ReadingTheLocalCopy) {
  test::TempFolder folder;
  const std::string path = folder / "versions/versions.json";
  VersionManifest m;
  m.latestRelease = "before";
  EXPECT_FALSE(ReadVersionManifest(path, m));  // missing
  test::WriteFile(path, "");
  EXPECT_FALSE(ReadVersionManifest(path, m));  // empty
  test::WriteFile(path, R"({"latest": {"release": "1.7)");
  EXPECT_FALSE(ReadVersionManifest(path, m));  // truncated by a broken download
  EXPECT_EQ(m.latestRelease, "before");
  test::WriteFile(path, R"({"latest": {"release": "1.7.10"}, "versions": [{"id": "1.7.10"}]})");
  EXPECT_TRUE(ReadVersionManifest(path, m));
  EXPECT_EQ(m.latestRelease, "1.7.10");
  EXPECT_EQ(m.entries.size(), 1u);
}

}  // namespace
}  // namespace kv
