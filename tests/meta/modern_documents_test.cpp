#include <gtest/gtest.h>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "meta/version_inheritance.h"
#include "meta/version_manifest.h"
#include "tests/support/fixtures.h"

// Today's documents: the argument lists, published files, Java version, logging; merging a
// description over its parent; the official version list; the index's layout flags.
namespace kv {
namespace {

VersionDescription Modern(const std::string& name) {
  VersionDescription d;
  EXPECT_TRUE(ParseVersionDescription(test::ReadFixture("versions/modern/" + name + ".json"), d));
  return d;
}

TEST(ModernDocuments, ArgumentsWithRulesAndValues) {
  const VersionDescription d = Modern("1.18.2");
  EXPECT_TRUE(IsModernForm(d));
  EXPECT_EQ(d.minecraftArguments, "");
  ASSERT_TRUE(d.gameArguments && d.jvmArguments);
  ASSERT_EQ(d.gameArguments->size(), 24u);
  EXPECT_EQ((*d.gameArguments)[15].values, std::vector<std::string>{"${clientid}"});
  const ArgumentEntry& resolution = d.gameArguments->back();
  EXPECT_EQ(resolution.values, (std::vector<std::string>{"--width", "${resolution_width}", "--height", "${resolution_height}"}));
  ASSERT_EQ(resolution.rules.size(), 1u);
  EXPECT_EQ(resolution.rules[0].features, (std::vector<std::pair<std::string, bool>>{{"has_custom_resolution", true}}));
  const ArgumentEntry& windows10 = (*d.jvmArguments)[2];
  EXPECT_EQ(windows10.values, (std::vector<std::string>{"-Dos.name=Windows 10", "-Dos.version=10.0"}));
  EXPECT_EQ(windows10.rules[0].osName, "windows");
  EXPECT_EQ(windows10.rules[0].osVersion, "^10\\.");
  EXPECT_EQ((*d.jvmArguments)[3].rules[0].osArch, "x86");
  EXPECT_EQ(d.jvmArguments->back().values, std::vector<std::string>{"${classpath}"});
}

TEST(ModernDocuments, PublishedFilesJavaAndLogging) {
  const VersionDescription d = Modern("1.19.3");
  EXPECT_EQ(d.javaMajorVersion, 17);
  EXPECT_EQ(d.javaComponent, "java-runtime-gamma");
  EXPECT_EQ(d.assets, "2");
  EXPECT_EQ(d.assetIndex.url, "https://piston-meta.mojang.com/v1/packages/f462a9152c30690c36a7866c639eabf6c0d2c25f/2.json");
  EXPECT_EQ(d.assetIndex.size, 405671);
  ASSERT_NE(ClientDownload(d), nullptr);
  EXPECT_EQ(ClientDownload(d)->size, 22704188);
  EXPECT_EQ(d.logging.argument, "-Dlog4j.configurationFile=${path}");
  EXPECT_EQ(d.logging.fileId, "client-1.12.xml");
  EXPECT_EQ(d.logging.file.sha1, "bd65e7d2e3c237be76cfbef4c2405033d7f91521");
  const LibraryEntry& objc = d.libraries.front();
  ASSERT_TRUE(objc.artifact);
  EXPECT_EQ(objc.artifact->path, "ca/weblite/java-objc-bridge/1.1/java-objc-bridge-1.1.jar");
  EXPECT_EQ(objc.artifact->size, 1330045);

  const VersionDescription older = Modern("1.18.2");
  const LibraryEntry& speech = older.libraries[57];
  ASSERT_EQ(speech.name, "com.mojang:text2speech:1.12.4");
  EXPECT_EQ(speech.extractExclude, std::vector<std::string>{"META-INF/"});
  EXPECT_EQ(speech.classifiers.count("natives-linux"), 1u);
  EXPECT_EQ(older.logging.argument, "");  // saved without one

  // A loader saved flattened names the version whose jar it uses.
  EXPECT_EQ(Modern("1.19.3-forge-44.1.0").jar, "1.19.3");
  const VersionDescription forge = Modern("1.18.2-forge-40.2.9");
  EXPECT_EQ(forge.inheritsFrom, "1.18.2");
  EXPECT_EQ(forge.javaMajorVersion, 0);
  EXPECT_FALSE(forge.gameArguments->empty());
}

TEST(ModernDocuments, ALoadersLibrariesCarryTheirChecksumsBesideTheirRepository) {
  VersionDescription fabric;
  ASSERT_TRUE(ParseVersionDescription(test::ReadFixture("loaders/fabric/profile-fabric-loader-0.16.9-1.21.1.json"), fabric));
  const LibraryEntry& asm_ = fabric.libraries.front();
  EXPECT_EQ(asm_.repository, "https://maven.fabricmc.net/");
  ASSERT_TRUE(asm_.artifact);
  EXPECT_EQ(asm_.artifact->sha1, "f0ed132a49244b042cd0e15702ab9f2ce3cc8436");
  EXPECT_EQ(asm_.artifact->size, 126093);
  EXPECT_EQ(asm_.artifact->url, "");   // fetched from the repository by its name
  EXPECT_EQ(asm_.artifact->path, "");
  const LibraryEntry& loader = fabric.libraries.back();
  EXPECT_EQ(loader.name, "net.fabricmc:fabric-loader:0.16.9");
  EXPECT_FALSE(loader.artifact);  // nothing known beside it
}

TEST(ModernDocuments, MergedOverTheParent) {
  VersionDescription parent;
  ASSERT_TRUE(ParseVersionDescription(R"({"id":"p","type":"release","mainClass":"P","assets":"1","jar":"p",
      "assetIndex":{"id":"1","sha1":"s"},"javaVersion":{"component":"java-runtime-gamma","majorVersion":17},"minecraftArguments":"--p",
      "downloads":{"client":{"url":"https://p/c.jar"},"server":{"url":"https://p/s.jar"}},
      "logging":{"client":{"argument":"-Dp=${path}","file":{"id":"p.xml"}}},
      "arguments":{"game":["--pg"],"jvm":["-Dp"]},"libraries":[{"name":"p:p:1"}]})", parent));
  VersionDescription child;
  ASSERT_TRUE(ParseVersionDescription(R"({"id":"c","inheritsFrom":"p","mainClass":"C","logging":{},"downloads":{},
      "arguments":{"game":["--cg"]},"libraries":[{"name":"c:c:1"}]})", child));
  const VersionDescription merged = MergeOverParent(child, parent);
  EXPECT_EQ(merged.id, "c");
  EXPECT_EQ(merged.type, "release");
  EXPECT_EQ(merged.mainClass, "C");
  EXPECT_EQ(merged.assets, "1");
  EXPECT_EQ(merged.assetIndex.sha1, "s");
  EXPECT_EQ(merged.jar, "p");
  EXPECT_EQ(merged.javaMajorVersion, 17);
  EXPECT_EQ(merged.javaComponent, "java-runtime-gamma");
  EXPECT_EQ(merged.logging.fileId, "p.xml");  // the child's is empty
  EXPECT_EQ(merged.minecraftArguments, "--p");
  ASSERT_EQ(merged.libraries.size(), 2u);
  EXPECT_EQ(merged.libraries[0].name, "c:c:1");
  EXPECT_EQ(merged.downloads.at("client").url, "https://p/c.jar");
  ASSERT_EQ(merged.gameArguments->size(), 2u);
  EXPECT_EQ((*merged.gameArguments)[0].values[0], "--pg");
  EXPECT_EQ((*merged.gameArguments)[1].values[0], "--cg");
  EXPECT_EQ(merged.jvmArguments->size(), 1u);

  child.minecraftArguments = "--c";
  child.downloads["client"] = RemoteFile{"", "https://c/c.jar", "", -1};
  const VersionDescription replaced = MergeOverParent(child, parent);
  EXPECT_EQ(replaced.minecraftArguments, "--c");
  EXPECT_EQ(replaced.downloads.at("client").url, "https://c/c.jar");
  EXPECT_EQ(replaced.downloads.at("server").url, "https://p/s.jar");
}

TEST(ModernDocuments, OfficialVersionList) {
  VersionManifest m;
  ASSERT_TRUE(ReadVersionManifest(test::FixturePath("versions/modern/version_manifest_v2.json"), m));
  EXPECT_EQ(m.entries.size(), 891u);
  EXPECT_EQ(m.latestRelease, "26.1.2");
  const ManifestEntry* entry = FindManifestEntry(m, "1.18.2");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->type, "release");
  EXPECT_EQ(entry->url.rfind("https://piston-meta.mojang.com/v1/packages/", 0), 0u);
  EXPECT_EQ(entry->sha1.size(), 40u);
  EXPECT_EQ(FindManifestEntry(m, "1.18.2-forge-40.2.9"), nullptr);
  int types[4] = {};
  for (const ManifestEntry& e : m.entries) {
    int kind = e.type == "release" ? 0 : e.type == "snapshot" ? 1 : e.type == "old_beta" ? 2 : e.type == "old_alpha" ? 3 : -1;
    ASSERT_GE(kind, 0) << e.id << " " << e.type;
    ++types[kind];
  }
  for (int count : types) EXPECT_GT(count, 0);
}

TEST(ModernDocuments, AssetIndexLayoutFlags) {
  AssetIndex index;
  ASSERT_TRUE(ParseAssetIndex(test::ReadFixture("versions/modern/assets-1.19.json"), index));
  EXPECT_EQ(index.objects.size(), 3390u);
  EXPECT_FALSE(index.isVirtual || index.mapToResources);
  ASSERT_TRUE(ParseAssetIndex(R"({"virtual":true,"objects":{}})", index));
  EXPECT_TRUE(index.isVirtual);
  ASSERT_TRUE(ParseAssetIndex(R"({"map_to_resources":true,"virtual":"true","objects":{}})", index));
  EXPECT_TRUE(index.mapToResources);
  EXPECT_FALSE(index.isVirtual);
}

}  // namespace
}  // namespace kv
