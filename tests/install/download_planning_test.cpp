#include "game/game_files.h"
#include "install/download_planning.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_layout.h"
#include "meta/asset_index.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::ReadFixture;
using test::TempFolder;
using test::WriteFile;

constexpr const char* kMirror = "http://mirror.test";
constexpr const char* kWindowsGame = "C:\\game\\.minecraft\\";

VersionDescription Description(const std::string& id) {
  VersionDescription description;
  EXPECT_TRUE(ParseVersionDescription(ReadFixture("versions/version-" + id + ".json"), description));
  return description;
}

AssetIndex Assets() {
  AssetIndex index;
  EXPECT_TRUE(ParseAssetIndex(ReadFixture("versions/assets-1.7.10.json"), index));
  return index;
}

// A plan from the mirror at kMirror, its asset layout decided by the id as a launch decides it.
std::vector<DownloadItem> Plan(const std::string& game, const VersionDescription& description, const AssetIndex& assets,
                               const std::string& id, const PlatformProfile& profile) {
  const DownloadSource mirror(SourceKind::Mirror, "", "", kMirror);
  return PlanDownloads(game, description, assets, mirror,
                       {.profile = profile, .bitness = 64, .legacyAssets = UsesLegacyAssets(id)});
}

const DownloadItem* Find(const std::vector<DownloadItem>& plan, const std::string& name) {
  auto found = std::find_if(plan.begin(), plan.end(), [&](const DownloadItem& item) { return item.name == name; });
  return found == plan.end() ? nullptr : &*found;
}

TEST(PlanDownloads, WindowsProfileGivesTheWindowsPathsAndAddresses) {
  std::vector<DownloadItem> plan =
      Plan(kWindowsGame, Description("1.7.10"), Assets(), "1.7.10", PlatformProfile::Windows());
  // Every library (rules are not applied on Windows), the client jar, each distinct object.
  ASSERT_EQ(plan.size(), 33u + 1u + 674u);

  const DownloadItem* natives = Find(plan, "lwjgl-platform-2.9.1-natives-windows.jar");
  ASSERT_NE(natives, nullptr);
  EXPECT_EQ(natives->path,
            "C:\\game\\.minecraft\\/libraries/org/lwjgl/lwjgl/lwjgl-platform/2.9.1/lwjgl-platform-2.9.1-natives-windows.jar");
  EXPECT_EQ(natives->urls, std::vector<std::string>{"http://mirror.test/libs/org/lwjgl/lwjgl/lwjgl-platform/2.9.1/lwjgl-platform-2.9.1-natives-windows.jar"});
  EXPECT_TRUE(natives->isArchive);
  EXPECT_EQ(natives->archivePath, natives->path);
  EXPECT_EQ(natives->extractFolder, "C:\\game\\.minecraft\\/libraries/org/lwjgl/lwjgl/lwjgl-platform/2.9.1/");

  EXPECT_NE(Find(plan, "twitch-platform-5.16-natives-windows-64.jar"), nullptr);

  const DownloadItem* realms = Find(plan, "realms-1.3.5.jar");
  ASSERT_NE(realms, nullptr);
  EXPECT_EQ(realms->path, "C:\\game\\.minecraft\\/libraries/com/mojang/realms/1.3.5/realms-1.3.5.jar");
  EXPECT_EQ(realms->urls, std::vector<std::string>{"http://mirror.test/libs/com/mojang/realms/1.3.5/realms-1.3.5.jar"});
  EXPECT_FALSE(realms->isArchive);
  EXPECT_EQ(realms->archivePath, "");
  EXPECT_EQ(realms->extractFolder, "C:\\game\\.minecraft\\/libraries/com/mojang/realms/1.3.5/");

  const DownloadItem& jar = plan[33];
  EXPECT_EQ(jar.name, "C:\\game\\.minecraft\\/versions/1.7.10/1.7.10.jar");
  EXPECT_EQ(jar.path, jar.name);
  EXPECT_EQ(jar.urls, std::vector<std::string>{"http://mirror.test/versions/1.7.10/1.7.10.jar"});
  EXPECT_EQ(jar.size, 5256245);  // the description gives the client's size and checksum
  EXPECT_EQ(jar.sha1.size(), 40u);
  EXPECT_FALSE(jar.isArchive);
  EXPECT_EQ(jar.extractFolder, "");

  const DownloadItem& icon = plan[34];  // objects follow the index's name order
  EXPECT_EQ(icon.name, "icons/icon_16x16.png");
  EXPECT_EQ(icon.path, "C:\\game\\.minecraft\\/assets/objects/bd/bdf48ef6b5d0d23bbb02e17d04865216179f510a");
  EXPECT_EQ(icon.urls, std::vector<std::string>{"http://mirror.test/objects/bd/bdf48ef6b5d0d23bbb02e17d04865216179f510a"});
  EXPECT_EQ(icon.size, 3665);  // the index's
  EXPECT_FALSE(icon.isArchive);
  EXPECT_EQ(icon.extractFolder, "");
}

TEST(PlanDownloads, LinuxProfileHonoursTheRulesAndPlansOnlyWhatIsMissing) {
  TempFolder game;
  VersionDescription description = Description("1.7.10");
  AssetIndex assets = Assets();
  std::vector<DownloadItem> plan =
      Plan(game.Path(), description, assets, "1.7.10", PlatformProfile::Linux());
  // The two twitch natives are not for Linux.
  ASSERT_EQ(plan.size(), 31u + 1u + 674u);
  EXPECT_EQ(Find(plan, "twitch-platform-5.16-natives-linux-64.jar"), nullptr);
  const DownloadItem* natives = Find(plan, "lwjgl-platform-2.9.1-natives-linux.jar");
  ASSERT_NE(natives, nullptr);
  EXPECT_EQ(natives->path, game.Path() + "/libraries/org/lwjgl/lwjgl/lwjgl-platform/2.9.1/lwjgl-platform-2.9.1-natives-linux.jar");
  EXPECT_TRUE(natives->isArchive);

  // A file of the right name and the described size is enough, whatever it holds; then
  // nothing is left to plan. Where no size is described (these libraries), the name is enough.
  for (const DownloadItem& item : plan) WriteFile(item.path, std::string(static_cast<std::size_t>(std::max<std::int64_t>(item.size, 0)), 'x'));
  EXPECT_TRUE(Plan(game.Path(), description, assets, "1.7.10", PlatformProfile::Linux()).empty());
}

TEST(PlanDownloads, LegacyVersionsPlanTheArchiveInsteadOfObjects) {
  TempFolder game;
  std::vector<DownloadItem> plan =
      Plan(game.Path(), Description("1.6.4"), Assets(), "1.6.4", PlatformProfile::Linux());
  ASSERT_EQ(plan.size(), 18u + 1u + 1u);  // three libraries are for OS X only
  const DownloadItem& legacy = plan.back();
  EXPECT_EQ(legacy.name, "legacy.zip");
  EXPECT_EQ(legacy.path, game.Path() + "/assets/virtual/legacy/legacy.zip");
  EXPECT_EQ(legacy.urls, std::vector<std::string>{"http://mirror.test/legacy.zip"});
  EXPECT_TRUE(legacy.isArchive);
  EXPECT_EQ(legacy.archivePath, legacy.path);
  EXPECT_EQ(legacy.extractFolder, game.Path() + "/assets/virtual/legacy/");

  // The id decides, by a plain substring test.
  VersionDescription none;
  EXPECT_EQ(Plan(game.Path(), none, Assets(), "1.7.2", PlatformProfile::Linux()).size(), 1u);
  EXPECT_EQ(Plan(game.Path(), none, Assets(), "1.7.10", PlatformProfile::Linux()).size(), 674u);
}

TEST(PlanDownloads, NamesThatWouldLeaveTheGameFolderAreNeverPlanned) {
  TempFolder game;
  VersionDescription description;
  description.id = "../../escape";
  description.libraries = {{"a:..:1"}, {"a:b:../../../x"}, {"a.b:c:1"}};
  AssetIndex assets;
  assets.objects = {{"one", "../../../../../../etc/passwd", 1},
                    {"two", "ab12345678901234567890123456789012345678", 1},
                    {"same", "ab12345678901234567890123456789012345678", 1},
                    {"short", "ab", 1}};
  std::vector<DownloadItem> plan =
      Plan(game.Path(), description, assets, "x", PlatformProfile::Linux());
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].name, "c-1.jar");
  EXPECT_EQ(plan[1].name, "two");  // the second object with the same hash shares its file
}

TEST(ReadVersionDescription, MissingEmptyBrokenOrUnsafeFilesAreNotRead) {
  TempFolder game;
  VersionDescription description;
  description.id = "kept";
  EXPECT_FALSE(ReadVersionDescription(game.Path(), "1.7.10", description));
  WriteFile(VersionJsonPath(game.Path(), "1.7.10"), "");
  EXPECT_FALSE(ReadVersionDescription(game.Path(), "1.7.10", description));
  WriteFile(VersionJsonPath(game.Path(), "1.7.10"), "{\"id\": ");
  EXPECT_FALSE(ReadVersionDescription(game.Path(), "1.7.10", description));
  EXPECT_EQ(description.id, "kept");
  WriteFile(game / "versions/x.json", "{\"id\":\"outside\"}");
  EXPECT_FALSE(ReadVersionDescription(game.Path() + "versions/a/b", "..", description));

  WriteFile(VersionJsonPath(game.Path(), "1.7.10"), ReadFixture("versions/version-1.7.10.json"));
  EXPECT_TRUE(ReadVersionDescription(game.Path(), "1.7.10", description));
  EXPECT_EQ(description.id, "1.7.10");
  EXPECT_EQ(description.libraries.size(), 33u);
}

}  // namespace
}  // namespace kv
