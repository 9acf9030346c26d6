// The publisher's runtime index and a runtime's manifest: the real documents, and manifests
// that would write outside the runtime's folder.
#include "meta/java_runtime_documents.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fixtures.h"

namespace kv {
namespace {

std::vector<std::string> Components(const std::vector<PublishedRuntime>& runtimes) {
  std::vector<std::string> names;
  for (const PublishedRuntime& runtime : runtimes) names.push_back(runtime.component);
  return names;
}

TEST(RuntimeIndex, EachSystemGetsItsOwnKey) {
  EXPECT_EQ(RuntimePlatformKey("linux", "x86_64"), "linux");
  EXPECT_EQ(RuntimePlatformKey("linux", "i686"), "linux-i386");
  EXPECT_EQ(RuntimePlatformKey("linux", "aarch64"), "");
  EXPECT_EQ(RuntimePlatformKey("windows", "AMD64"), "windows-x64");
  EXPECT_EQ(RuntimePlatformKey("windows", "x86"), "windows-x86");
  EXPECT_EQ(RuntimePlatformKey("windows", "ARM64"), "windows-arm64");
  EXPECT_EQ(RuntimePlatformKey("osx", "x86_64"), "mac-os");
  EXPECT_EQ(RuntimePlatformKey("osx", "arm64"), "mac-os-arm64");
  EXPECT_EQ(RuntimePlatformKey("freebsd", "x86_64"), "");
}

TEST(RuntimeIndex, ThePublishedIndexOffersWhatEachPlatformHas) {
  const std::string index = test::ReadFixture("java-runtime/java-runtime-all.json");
  Result<std::vector<PublishedRuntime>> linux = ParseRuntimeIndex(index, "linux");
  ASSERT_TRUE(linux.ok());
  // The empty list of minecraft-java-exe offers nothing.
  EXPECT_EQ(Components(*linux),
            (std::vector<std::string>{"java-runtime-alpha", "java-runtime-beta", "java-runtime-delta",
                                      "java-runtime-epsilon", "java-runtime-gamma", "java-runtime-gamma-snapshot",
                                      "jre-legacy"}));
  const PublishedRuntime& gamma = (*linux)[4];
  EXPECT_EQ(gamma.versionName, "17.0.15");
  EXPECT_EQ(gamma.released, "2025-05-19T08:24:16+00:00");
  EXPECT_EQ(gamma.manifestUrl,
            "https://piston-meta.mojang.com/v1/packages/71651340afda9fe593026fa7c56b1d9e2dbc1292/manifest.json");
  EXPECT_EQ(gamma.manifestSha1, "71651340afda9fe593026fa7c56b1d9e2dbc1292");
  EXPECT_EQ(gamma.manifestSize, 82280);

  EXPECT_EQ(Components(*ParseRuntimeIndex(index, "linux-i386")), std::vector<std::string>{"jre-legacy"});
  EXPECT_TRUE(ParseRuntimeIndex(index, "gamecore")->empty());
  EXPECT_TRUE(ParseRuntimeIndex(index, "linux-arm64")->empty());
  EXPECT_EQ(ParseRuntimeIndex("<html>busy</html>", "linux").kind(), FailureKind::Invalid);
}

TEST(RuntimeIndex, EntriesThatCannotBeUsedAreLeftOut) {
  const std::string index = R"({"linux":{
      "../../escape":[{"manifest":{"sha1":"0123456789012345678901234567890123456789","url":"https://h/m.json"}}],
      "no-sha1":[{"manifest":{"url":"https://h/m.json"}}],
      "file-address":[{"manifest":{"sha1":"0123456789012345678901234567890123456789","url":"file:///etc/passwd"}}],
      "good":[{"manifest":{"sha1":"0123456789ABCDEF012345678901234567890123","url":"https://h/g.json","size":5},
               "version":{"name":"21.0.7"}}]}})";
  Result<std::vector<PublishedRuntime>> runtimes = ParseRuntimeIndex(index, "linux");
  ASSERT_TRUE(runtimes.ok());
  ASSERT_EQ(Components(*runtimes), std::vector<std::string>{"good"});
  EXPECT_EQ((*runtimes)[0].manifestSha1, "0123456789abcdef012345678901234567890123");
}

TEST(RuntimeManifest, ThePublishedManifestIsReadWhole) {
  Result<std::vector<RuntimeEntry>> entries =
      ParseRuntimeManifest(test::ReadFixture("java-runtime/java-runtime-manifest-jre-legacy-1.8.0_202-x64.json"));
  ASSERT_TRUE(entries.ok()) << entries.message();
  const auto count = [&](RuntimeEntry::Type type) {
    return std::count_if(entries->begin(), entries->end(), [type](const RuntimeEntry& e) { return e.type == type; });
  };
  EXPECT_EQ(count(RuntimeEntry::Type::File), 300);
  EXPECT_EQ(count(RuntimeEntry::Type::Directory), 88);
  EXPECT_EQ(count(RuntimeEntry::Type::Link), 3);
  const auto find = [&](const std::string& path) {
    return *std::find_if(entries->begin(), entries->end(), [&](const RuntimeEntry& e) { return e.path == path; });
  };
  const RuntimeEntry java = find("bin/java");
  EXPECT_TRUE(java.executable);
  EXPECT_FALSE(find("release").executable);
  // The raw download, never the compressed one.
  EXPECT_EQ(find("COPYRIGHT").url, "https://launcher.mojang.com/v1/objects/c725183c757011e7ba96c83c1e86ee7e8b516a2b/COPYRIGHT");
  EXPECT_EQ(find("COPYRIGHT").size, 3244);
  EXPECT_EQ(find("COPYRIGHT").sha1, "c725183c757011e7ba96c83c1e86ee7e8b516a2b");
  EXPECT_EQ(find("lib/amd64/server/libjsig.so").target, "../libjsig.so");
}

TEST(RuntimeManifest, AnyEntryThatCouldReachOutsideRefusesTheWholeManifest) {
  const std::string file =
      R"({"type":"file","downloads":{"raw":{"sha1":"0123456789012345678901234567890123456789","size":1,"url":"https://h/f"}}})";
  const auto manifest = [&](const std::string& entries) {
    return ParseRuntimeManifest(R"({"files":{"bin":{"type":"directory"},"bin/java":)" + file + "," + entries + "}}");
  };
  ASSERT_TRUE(manifest(R"("lib/x":{"type":"link","target":"../bin/java"})").ok());
  ASSERT_TRUE(manifest(R"("a/b/c":{"type":"link","target":"../../bin"})").ok());
  for (const std::string& bad : std::vector<std::string>{
           R"("/etc/cron.d/x":)" + file,
           R"("../x":)" + file,
           R"("lib/../../x":)" + file,
           R"("lib//x":)" + file,
           R"("lib\\..\\..\\x":)" + file,
           R"("C:x":)" + file,
           R"("bin/java/inside":)" + file,  // below a file
           R"("l":{"type":"link","target":"bin"},"l/x":)" + file,  // written through a link
           R"("lib/x":{"type":"link","target":"../../etc/passwd"})",
           R"("x":{"type":"link","target":"/etc/passwd"})",
           R"("x":{"type":"link","target":""})",
           R"("x":{"type":"file","downloads":{"lzma":{"sha1":"0123456789012345678901234567890123456789","size":1,"url":"https://h/f"}}})",
           R"("x":{"type":"file","downloads":{"raw":{"sha1":"abc","size":1,"url":"https://h/f"}}})",
           R"("x":{"type":"file","downloads":{"raw":{"sha1":"0123456789012345678901234567890123456789","url":"https://h/f"}}})",
           R"("x":{"type":"fifo"})",
       }) {
    Result<std::vector<RuntimeEntry>> entries = manifest(bad);
    ASSERT_FALSE(entries.ok()) << bad;
    EXPECT_EQ(entries.kind(), FailureKind::Invalid);
  }
  EXPECT_FALSE(ParseRuntimeManifest("[]").ok());
}

TEST(RuntimeManifest, ComponentNamesThatCannotNameAFolderAreRefused) {
  EXPECT_TRUE(IsSafeComponentName("java-runtime-gamma"));
  EXPECT_TRUE(IsSafeComponentName("jre-legacy"));
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "x y", "nul\n"}) EXPECT_FALSE(IsSafeComponentName(bad)) << bad;
}

}  // namespace
}  // namespace kv
