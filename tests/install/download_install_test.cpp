#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/download_planning.h"
#include "install/native_extraction.h"
#include "net/download_engine.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"
#include "util/messages.h"

// Planned files fetched by the download engine, archives unpacked on the way.
namespace kv {
namespace {

using test::FastRetries;
using test::ListFiles;
using test::MirrorProcess;
using test::ReadFile;
using test::RecordingSink;
using test::TempFolder;
using test::TestBytes;
using test::WriteFile;

// Where the mirror keeps an item, below its root.
std::string ServedPath(const TempFolder& served, const MirrorProcess& mirror, const DownloadItem& item) {
  return served.Path() + item.urls.at(0).substr(mirror.BaseUrl().size() + 1);
}

// Puts a file for every planned item on the mirror: archives hold a file named after the item.
void Serve(const std::vector<DownloadItem>& plan, const TempFolder& served, const MirrorProcess& mirror) {
  unsigned seed = 1;
  for (const DownloadItem& item : plan) {
    std::string path = ServedPath(served, mirror, item);
    if (PathExists(path)) continue;
    if (item.isArchive) {
      test::MakeZip(path, {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"},
                           {"lib-" + item.name + ".so", TestBytes(5000 + seed, seed)}});
    } else {
      WriteFile(path, TestBytes((seed * 977) % 3000, seed));  // one of them is empty
    }
    ++seed;
  }
}

// The plan for Linux from the mirror, its asset layout decided by the id.
std::vector<DownloadItem> PlanFromMirror(const std::string& game, const VersionDescription& description,
                                         const AssetIndex& assets, const std::string& id, const MirrorProcess& mirror) {
  const DownloadSource source(SourceKind::Mirror, "", "", mirror.BaseUrl());
  return PlanDownloads(game, description, assets, source,
                       {.profile = PlatformProfile::Linux(), .bitness = 64, .legacyAssets = UsesLegacyAssets(id)});
}

class DownloadEngineTest : public ::testing::Test {
 protected:
  TempFolder served_;
  TempFolder game_;
};

TEST_F(DownloadEngineTest, PreparesAVersionFromNothing) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  VersionDescription description;
  description.id = "9.9";
  description.libraries = {{"com.example:alpha:1.0"},
                           {"com.example:beta:2.0"},
                           {"org.example:sound:3.1", {}, "natives-linux", "natives-windows"},
                           {"org.example:video:0.5", {}, "natives-linux-${arch}", "natives-windows-${arch}"}};
  // Objects are named by their SHA-1, which the download checks.
  AssetIndex assets;
  for (int i = 0; i < 300; ++i) {
    const std::string bytes = TestBytes((static_cast<std::size_t>(i) * 977) % 3000, static_cast<unsigned>(i) + 100);
    const std::string hash = test::Sha1Of(bytes);
    WriteFile(served_ / ("objects/" + hash.substr(0, 2) + "/" + hash), bytes);
    assets.objects.push_back({"minecraft/sounds/" + std::to_string(i) + ".ogg", hash, static_cast<std::int32_t>(bytes.size())});
  }
  std::vector<DownloadItem> plan =
      PlanFromMirror(game_.Path(), description, assets, "9.9", mirror);
  ASSERT_EQ(plan.size(), 4u + 1u + 300u);
  Serve(plan, served_, mirror);

  RecordingSink sink;
  DownloadEngine engine(plan, sink, FastRetries(), UnpackDownloadedArchive);
  DownloadOutcome outcome = engine.Run();
  ASSERT_EQ(outcome.result, DownloadResult::Completed) << outcome.failedName << ": " << outcome.reason;

  for (const DownloadItem& item : plan) {
    ASSERT_EQ(ReadFile(item.path), ReadFile(ServedPath(served_, mirror, item))) << item.name;
  }
  std::string natives = NativesFolder(plan[3].path);
  EXPECT_EQ(ReadFile(natives + "lib-" + plan[3].name + ".so"), TestBytes(5000 + 4, 4));
  EXPECT_TRUE(PathExists(natives + "META-INF/MANIFEST.MF"));
  EXPECT_EQ(ListFiles(game_.Path()).find(".tmp"), std::string::npos);
  EXPECT_TRUE(PlanFromMirror(game_.Path(), description, assets, "9.9", mirror).empty());

  EXPECT_EQ(sink.done.back(), static_cast<int>(plan.size()));
  EXPECT_EQ(sink.count, static_cast<int>(plan.size()));
  auto jar = std::find_if(sink.infos.begin(), sink.infos.end(), [&](const auto& info) { return info.first == plan[4].name; });
  ASSERT_NE(jar, sink.infos.end());
  EXPECT_EQ(jar->second, static_cast<std::int64_t>(GetFileSize(plan[4].path)));
  EXPECT_EQ(sink.finished, 1);
  EXPECT_TRUE(sink.retries.empty());
  EXPECT_LE(mirror.CountConnections(), kDefaultTransfers);
}


TEST_F(DownloadEngineTest, TheLegacyArchiveOfA16VersionIsUnpackedIntoTheLegacyTree) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  VersionDescription description;
  ASSERT_TRUE(ParseVersionDescription(test::ReadFixture("versions/version-1.6.4.json"), description));
  // The mirror here serves stand-ins, not the described files.
  description.downloads.clear();
  for (LibraryEntry& library : description.libraries) {
    library.artifact.reset();
    library.classifiers.clear();
  }
  std::vector<DownloadItem> plan =
      PlanFromMirror(game_.Path(), description, AssetIndex{}, "1.6.4", mirror);
  Serve(plan, served_, mirror);
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries(), UnpackDownloadedArchive).Run().result, DownloadResult::Completed);
  EXPECT_TRUE(PathExists(game_ / "/assets/virtual/legacy/lib-legacy.zip.so"));
  EXPECT_TRUE(PathExists(game_ / "/assets/virtual/legacy/legacy.zip"));
}


// A 1.6 version with one library jar and the legacy asset archive, from the mirror: what is
// missing of it.
std::vector<DownloadItem> PlanJarAndLegacyArchive(const TempFolder& game, const MirrorProcess& mirror) {
  VersionDescription description;
  description.libraries = {{"com.example:alpha:1.0"}};
  return PlanFromMirror(game.Path(), description, AssetIndex{}, "1.6.4", mirror);
}

// The same, all missing, with every file served as a real zip archive.
std::vector<DownloadItem> PlanJarAndLegacyArchive(const TempFolder& game, const TempFolder& served,
                                                  const MirrorProcess& mirror) {
  std::vector<DownloadItem> plan = PlanJarAndLegacyArchive(game, mirror);
  for (const DownloadItem& item : plan) {
    test::MakeZip(ServedPath(served, mirror, item),
                  {{"data.bin", TestBytes(200000, 7)}, {"more.bin", TestBytes(90000, 8)}});
  }
  return plan;
}

TEST_F(DownloadEngineTest, ArchivesCutShortWithACleanEndAreNeverKept) {
  // Both answers end cleanly after half of the file: the jar's with a length, the archive's without.
  MirrorProcess mirror(served_.Path(), {"--cut", "/libs/com/example/alpha/1.0/alpha-1.0.jar=100000", "--cut",
                                        "/legacy.zip=100000", "--no-length", "/legacy.zip"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = PlanJarAndLegacyArchive(game_, served_, mirror);
  ASSERT_EQ(plan.size(), 2u);
  ASSERT_EQ(plan[0].urls.at(0), mirror.BaseUrl() + "/libs/com/example/alpha/1.0/alpha-1.0.jar");
  ASSERT_EQ(plan[0].size, -1);
  ASSERT_TRUE(plan[0].sha1.empty());
  ASSERT_EQ(plan[1].name, "legacy.zip");

  RecordingSink sink;
  DownloadOutcome outcome =
      DownloadEngine(plan, sink, FastRetries(), UnpackDownloadedArchive, CheckDownloadedFile).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.reason, msg::kNotAWholeArchive);
  EXPECT_EQ(ListFiles(game_.Path()).find(".jar\n"), std::string::npos) << ListFiles(game_.Path());
  EXPECT_EQ(ListFiles(game_.Path()).find("legacy.zip\n"), std::string::npos) << ListFiles(game_.Path());
  // The next run plans both again.
  EXPECT_EQ(PlanJarAndLegacyArchive(game_, mirror).size(), 2u);
}

TEST_F(DownloadEngineTest, AnArchiveThatCannotBeUnpackedIsNamedAndFetchedAgainNextTime) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = PlanJarAndLegacyArchive(game_, served_, mirror);
  // A folder stands where an item of the legacy archive goes.
  std::filesystem::create_directories(game_ / "assets/virtual/legacy/more.bin/");

  RecordingSink sink;
  DownloadOutcome outcome =
      DownloadEngine(plan, sink, FastRetries(), UnpackDownloadedArchive, CheckDownloadedFile).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.step, DownloadStep::Unpack);
  EXPECT_EQ(outcome.failedName, "legacy.zip");
  EXPECT_EQ(outcome.reason, msg::ArchiveItemsNotWritten(1));
  EXPECT_TRUE(PathExists(plan[0].path));
  EXPECT_FALSE(PathExists(plan[1].path));
  const std::vector<DownloadItem> again = PlanJarAndLegacyArchive(game_, mirror);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].name, "legacy.zip");
}

TEST_F(DownloadEngineTest, ArchivesAreUnpackedOneAfterTheOther) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  // Both archives write the same big file into the same folder: the second must win.
  test::MakeZip(served_ / "a.zip", {{"shared.bin", TestBytes(8000000, 1)}, {"only-a.txt", "a"}});
  test::MakeZip(served_ / "b.zip", {{"shared.bin", TestBytes(8000000, 2)}, {"only-b.txt", "b"}});
  std::string folder = game_ / "natives/";
  auto archive = [&](const std::string& name) {
    return DownloadItem{.name = name,
                        .path = game_ / name,
                        .urls = {mirror.BaseUrl() + "/" + name},
                        .isArchive = true,
                        .archivePath = game_ / name,
                        .extractFolder = folder};
  };
  std::vector<DownloadItem> plan = {archive("a.zip"), archive("b.zip")};
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries(), UnpackDownloadedArchive).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(folder + "shared.bin"), TestBytes(8000000, 2));
  EXPECT_EQ(ReadFile(folder + "only-a.txt"), "a");
  EXPECT_EQ(ReadFile(folder + "only-b.txt"), "b");
}

}  // namespace
}  // namespace kv
