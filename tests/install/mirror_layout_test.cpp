#include "install/mirror_layout.h"

#include <gtest/gtest.h>

#include "net/endpoints.h"
#include "tests/net/net_test_support.h"
#include "tests/support/scoped_environment.h"

namespace kv {
namespace {

TEST(MirrorLayout, TheBaseLosesItsTrailingSlash) {
  test::ScopedEnvironment mirror("KORVANE_MIRROR", "http://127.0.0.1:8080/");
  EXPECT_EQ(VersionListUrl(MirrorBase()), "http://127.0.0.1:8080/versions/versions.json");
}

TEST(MirrorLayout, AddressesOfEveryKindOfFile) {
  const std::string base = "http://m";
  EXPECT_EQ(VersionJsonUrl(base, "1.7.10"), "http://m/versions/1.7.10/1.7.10.json");
  EXPECT_EQ(VersionJarUrl(base, "1.7.10"), "http://m/versions/1.7.10/1.7.10.jar");
  EXPECT_EQ(AssetIndexUrl(base, "legacy"), "http://m/indexes/legacy.json");
  EXPECT_EQ(AssetObjectUrl(base, "ABcdef"), "http://m/objects/AB/ABcdef");
  EXPECT_EQ(LibraryUrl(base, "a/b/1/b-1.jar"), "http://m/libs/a/b/1/b-1.jar");
  EXPECT_EQ(LegacyArchiveUrl(base), "http://m/legacy.zip");
}

TEST(MirrorLayout, NamesAreEncodedPathSegments) {
  EXPECT_EQ(VersionJsonUrl("http://m", "1.20 Fabric #2"), "http://m/versions/1.20%20Fabric%20%232/1.20%20Fabric%20%232.json");
  EXPECT_EQ(VersionJarUrl("http://m", "a?b"), "http://m/versions/a%3Fb/a%3Fb.jar");
  EXPECT_EQ(AssetIndexUrl("http://m", "小"), "http://m/indexes/%E5%B0%8F.json");
  EXPECT_EQ(LibraryUrl("http://m", "a b/c+d/1/c+d-1.jar"), "http://m/libs/a%20b/c%2Bd/1/c%2Bd-1.jar");
}

}  // namespace
}  // namespace kv
