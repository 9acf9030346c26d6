#include "install/download_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/game_layout.h"
#include "install/download_planning.h"
#include "install/legacy_assets.h"
#include "meta/version_inheritance.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

// The sources' addresses and what a plan from the publisher's documents carries: addresses,
// sizes and checksums.
namespace kv {
namespace {

using Strings = std::vector<std::string>;
using test::ScopedEnvironment;
using test::TempFolder;
using test::WriteFile;

constexpr const char* kChina = "https://bmclapi2.bangbang93.com";

DownloadSource Official(std::string root = "") { return DownloadSource(SourceKind::Official, std::move(root), kChina, "http://m"); }

VersionDescription Modern(const std::string& name) {
  VersionDescription d;
  EXPECT_TRUE(ParseVersionDescription(test::ReadFixture("versions/modern/" + name + ".json"), d));
  return d;
}

const DownloadItem* Named(const std::vector<DownloadItem>& plan, const std::string& name) {
  auto found = std::find_if(plan.begin(), plan.end(), [&](const DownloadItem& item) { return item.name == name; });
  return found == plan.end() ? nullptr : &*found;
}

PlanOptions Linux(bool verify = false) { return {.profile = PlatformProfile::Linux(), .bitness = 64, .verify = verify}; }

TEST(DownloadSource, OfficialFirstTheChinaMirrorSecond) {
  const std::string library = "https://libraries.minecraft.net/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar";
  EXPECT_EQ(Official().Addresses(library), (Strings{library, std::string(kChina) + "/maven/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar"}));
  EXPECT_EQ(Official("http://127.0.0.1:5/root").Addresses(library),
            (Strings{"http://127.0.0.1:5/root/libraries.minecraft.net/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar",
                     std::string(kChina) + "/maven/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1.jar"}));
  const DownloadSource china(SourceKind::ChinaMirror, "", kChina, "http://m");
  EXPECT_EQ(china.Addresses("https://resources.download.minecraft.net/ab/abc"),
            (Strings{std::string(kChina) + "/assets/ab/abc", "https://resources.download.minecraft.net/ab/abc"}));
  EXPECT_EQ(china.Addresses("https://piston-data.mojang.com/v1/objects/x/client.jar"),
            (Strings{std::string(kChina) + "/v1/objects/x/client.jar", "https://piston-data.mojang.com/v1/objects/x/client.jar"}));
  EXPECT_EQ(Official().VersionListAddresses(),
            (Strings{kOfficialVersionList, std::string(kChina) + "/mc/game/version_manifest_v2.json"}));
  // A host the China mirror does not carry, or one that merely begins like one it does.
  EXPECT_EQ(Official().Addresses("https://example.org/x.jar"), Strings{"https://example.org/x.jar"});
  EXPECT_EQ(Official().Addresses("https://libraries.minecraft.net.evil/x.jar").size(), 1u);
  // Nothing but http and https: a document's file: address would read the player's disk.
  for (const char* refused : {"file:///etc/passwd", "ftp://libraries.minecraft.net/x", "", "libraries.minecraft.net/x"}) {
    EXPECT_TRUE(Official().Addresses(refused).empty()) << refused;
  }
  // The mirror layout knows only its own addresses.
  const DownloadSource mirror(SourceKind::Mirror, "", kChina, "http://m");
  EXPECT_TRUE(mirror.Addresses(library).empty());
  EXPECT_EQ(mirror.VersionListAddresses(), Strings{"http://m/versions/versions.json"});
}

TEST(DownloadSource, TheSettingAndTheEnvironment) {
  ScopedEnvironment mirror("KORVANE_MIRROR", "http://mirror.test/");
  ScopedEnvironment china("KORVANE_BMCLAPI_ROOT", "http://china.test/");
  ScopedEnvironment root("KORVANE_OFFICIAL_ROOT", "http://root.test/");
  {
    ScopedEnvironment none("KORVANE_SOURCE", std::nullopt);
    EXPECT_EQ(DownloadSource::Configured(std::nullopt).Kind(), SourceKind::Official);
    EXPECT_EQ(DownloadSource::Configured(SourceKind::ChinaMirror).Kind(), SourceKind::ChinaMirror);
    const DownloadSource configured = DownloadSource::Configured(SourceKind::Mirror);
    EXPECT_TRUE(configured.UsesMirrorLayout());
    EXPECT_EQ(configured.MirrorBase(), "http://mirror.test");
    EXPECT_EQ(DownloadSource::Configured(SourceKind::Official).Addresses("https://libraries.minecraft.net/a.jar"),
              (Strings{"http://root.test/libraries.minecraft.net/a.jar", "http://china.test/maven/a.jar"}));
  }
  {
    ScopedEnvironment unknown("KORVANE_SOURCE", "nonsense");
    EXPECT_EQ(DownloadSource::Configured(SourceKind::Mirror).Kind(), SourceKind::Official);
  }
  ScopedEnvironment over("KORVANE_SOURCE", "mirror");
  EXPECT_EQ(DownloadSource::Configured(SourceKind::Official).Kind(), SourceKind::Mirror);
}

TEST(OfficialPlan, FilesCarryTheirAddressesSizesAndChecksums) {
  TempFolder game;
  AssetIndex assets;
  ASSERT_TRUE(ParseAssetIndex(test::ReadFixture("versions/modern/assets-1.19.json"), assets));
  const std::vector<DownloadItem> plan = PlanDownloads(game.Path(), Modern("1.19.4"), assets, Official(), Linux());
  // The libraries Linux uses, the client, the log configuration, every distinct object.
  ASSERT_EQ(plan.size(), 52u + 1u + 1u + 3364u);

  const DownloadItem* natives = Named(plan, "lwjgl-3.3.1-natives-linux.jar");
  ASSERT_NE(natives, nullptr);
  EXPECT_EQ(natives->path, game.Path() + "/libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar");
  EXPECT_EQ(natives->urls, (Strings{"https://libraries.minecraft.net/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar",
                                    std::string(kChina) + "/maven/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar"}));
  EXPECT_EQ(natives->size, 110704);
  EXPECT_EQ(natives->sha1, "1de885aba434f934201b99f2f1afb142036ac189");
  EXPECT_FALSE(natives->isArchive);  // on the class path, loaded from there

  const DownloadItem& client = plan[52];
  EXPECT_EQ(client.path, game.Path() + "/versions/1.19.4/1.19.4.jar");
  EXPECT_EQ(client.urls.front(), "https://piston-data.mojang.com/v1/objects/958928a560c9167687bea0cefeb7375da1e552a8/client.jar");
  EXPECT_EQ(client.size, 23476620);
  EXPECT_EQ(client.sha1, "958928a560c9167687bea0cefeb7375da1e552a8");

  const DownloadItem& logging = plan[53];
  EXPECT_EQ(logging.name, "client-1.12.xml");
  EXPECT_EQ(logging.path, LogConfigPath(game.Path(), "client-1.12.xml"));
  EXPECT_EQ(logging.sha1, "bd65e7d2e3c237be76cfbef4c2405033d7f91521");

  const DownloadItem& object = plan[54];
  EXPECT_EQ(object.sha1, assets.objects.front().hash);
  EXPECT_EQ(object.size, assets.objects.front().size);
  EXPECT_EQ(object.urls.front(), OfficialObjectUrl(object.sha1));
  EXPECT_EQ(object.urls.back(), std::string(kChina) + "/assets/" + object.sha1.substr(0, 2) + "/" + object.sha1);
}

TEST(OfficialPlan, NativesUnpackedWithoutTheirExcludedNames) {
  TempFolder game;
  const std::vector<DownloadItem> plan = PlanDownloads(game.Path(), Modern("1.18.2"), AssetIndex{}, Official(), Linux());
  const DownloadItem* speech = Named(plan, "text2speech-1.12.4-natives-linux.jar");
  ASSERT_NE(speech, nullptr);
  EXPECT_TRUE(speech->isArchive);
  EXPECT_EQ(speech->extractExclude, Strings{"META-INF/"});
  EXPECT_EQ(speech->urls.front(),
            "https://libraries.minecraft.net/com/mojang/text2speech/1.12.4/text2speech-1.12.4-natives-linux.jar");
  EXPECT_EQ(speech->sha1, "9571b1360a268311d7fa625614186965914f0215");
}

TEST(OfficialPlan, AnInheritingVersionGetsItsParentsClientUnderItsOwnName) {
  TempFolder game;
  const VersionDescription forge = MergeOverParent(Modern("1.18.2-forge-40.2.9"), Modern("1.18.2"));
  std::vector<DownloadItem> plan = PlanDownloads(game.Path(), forge, AssetIndex{}, Official(), Linux());
  const DownloadItem* client = Named(plan, VersionJarPath(game.Path(), "1.18.2-forge-40.2.9"));
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->sha1, "2e9a3e3107cca00d6bc9c97bf7d149cae163ef21");
  // The mirror layout keeps it under the parent.
  plan = PlanDownloads(game.Path(), forge, AssetIndex{}, DownloadSource(SourceKind::Mirror, "", "", "http://m"), Linux());
  EXPECT_EQ(Named(plan, VersionJarPath(game.Path(), "1.18.2-forge-40.2.9"))->urls,
            Strings{"http://m/versions/1.18.2/1.18.2.jar"});

  // A parent's jar on disk with the described size is copied instead.
  WriteFile(VersionJarPath(game.Path(), "1.18.2"), "short");
  ProvideClientJar(game.Path(), forge);
  EXPECT_FALSE(PathExists(VersionJarPath(game.Path(), "1.18.2-forge-40.2.9")));
  VersionDescription small = forge;
  small.downloads["client"].size = 5;
  ProvideClientJar(game.Path(), small);
  EXPECT_EQ(test::ReadFile(VersionJarPath(game.Path(), "1.18.2-forge-40.2.9")), "short");
}

TEST(OfficialPlan, SizeChecksumsAndPublishedChecksums) {
  TempFolder game;
  VersionDescription d;
  d.libraries = {{"a:sized:1"}, {"b:loader:2"}};
  d.libraries[0].artifact = RemoteFile{"", "https://libraries.minecraft.net/a/sized/1/sized-1.jar",
                                       "a9993e364706816aba3e25717850c26c9cd0d89d", 3};  // "abc"
  d.libraries[1].repository = "https://maven.fabricmc.net";
  Strings asked;
  PlanOptions options = Linux();
  options.publishedChecksum = [&](const Strings& urls) {
    asked = urls;
    return std::string("0123456789abcdef0123456789abcdef01234567");
  };
  std::vector<DownloadItem> plan = PlanDownloads(game.Path(), d, AssetIndex{}, Official(), options);
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[1].urls.front(), "https://maven.fabricmc.net/b/loader/2/loader-2.jar");
  EXPECT_EQ(asked, plan[1].urls);
  EXPECT_EQ(plan[1].sha1, "0123456789abcdef0123456789abcdef01234567");

  // A file of another size is fetched again; one of the right size stands, unless --verify
  // finds another checksum.
  WriteFile(plan[0].path, "abcd");
  WriteFile(plan[1].path, "anything");
  EXPECT_EQ(PlanDownloads(game.Path(), d, AssetIndex{}, Official(), Linux()).size(), 1u);
  WriteFile(plan[0].path, "xyz");
  EXPECT_TRUE(PlanDownloads(game.Path(), d, AssetIndex{}, Official(), Linux()).empty());
  EXPECT_EQ(PlanDownloads(game.Path(), d, AssetIndex{}, Official(), Linux(true)).size(), 1u);
  WriteFile(plan[0].path, "abc");
  EXPECT_TRUE(PlanDownloads(game.Path(), d, AssetIndex{}, Official(), Linux(true)).empty());
}

TEST(LegacyAssets, TheIndexDecidesForThePublishersSources) {
  AssetIndex plain;
  AssetIndex virtualIndex;
  virtualIndex.isVirtual = true;
  const DownloadSource mirror(SourceKind::Mirror, "", "", "http://m");
  EXPECT_TRUE(UsesLegacyAssetTree(mirror, "1.6.4", "legacy", plain));
  EXPECT_FALSE(UsesLegacyAssetTree(mirror, "26.1.2", "legacy", virtualIndex));
  EXPECT_FALSE(UsesLegacyAssetTree(Official(), "1.6.4", "1.6", plain));  // "1.6" is in 26.1.6 too
  EXPECT_TRUE(UsesLegacyAssetTree(Official(), "x", "1.6", virtualIndex));
  EXPECT_TRUE(UsesLegacyAssetTree(Official(), "x", "legacy", plain));
  EXPECT_TRUE(UsesLegacyAssetTree(Official(), "x", "pre-1.6", plain));
}

TEST(LegacyAssets, TheTreeIsMadeFromTheObjects) {
  TempFolder game;
  const std::string hash = "a9993e364706816aba3e25717850c26c9cd0d89d";
  WriteFile(AssetObjectPath(game.Path(), hash), "abc");
  AssetIndex index;
  index.mapToResources = true;
  index.objects = {{"sound/a.ogg", hash, 3}, {"../../escape", hash, 3}, {"lang/b.lang", hash, 3}};
  EXPECT_EQ(BuildLegacyAssetTree(game.Path(), index, game / "Instance/i/resources/"), 1);
  EXPECT_EQ(test::ReadFile(LegacyAssetFolder(game.Path()) + "sound/a.ogg"), "abc");
  EXPECT_EQ(test::ReadFile(game / "Instance/i/resources/lang/b.lang"), "abc");
  EXPECT_FALSE(PathExists(game / "escape"));
}

TEST(LegacyAssets, LinksInTheInstancesResourcesNeverCarryACopyOutOfThem) {
  TempFolder game;
  const std::string hash = "a9993e364706816aba3e25717850c26c9cd0d89d";
  WriteFile(AssetObjectPath(game.Path(), hash), "abc");
  WriteFile(game / "outside/b.lang", "keep me");
  WriteFile(game / "outside/precious.ogg", "keep me");
  const std::string resources = game / "Instance/i/resources/";
  WriteFile(resources + "sound/music/placeholder", "");
  std::filesystem::create_directory_symlink(game / "outside", resources + "lang");
  std::filesystem::create_symlink(game / "outside/precious.ogg", resources + "sound/a.ogg");
  AssetIndex index;
  index.mapToResources = true;
  index.objects = {{"sound/a.ogg", hash, 3}, {"lang/b.lang", hash, 3}};
  EXPECT_EQ(BuildLegacyAssetTree(game.Path(), index, resources), 1);
  EXPECT_EQ(test::ReadFile(game / "outside/b.lang"), "keep me");
  EXPECT_EQ(test::ReadFile(game / "outside/precious.ogg"), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(resources + "sound/a.ogg"));
  EXPECT_EQ(test::ReadFile(resources + "sound/a.ogg"), "abc");
}

}  // namespace
}  // namespace kv
