#include "install/cached_metadata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "game/game_layout.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

// The check of a cached launch's documents against korvane-mirror, with the launch's own checks.
namespace kv {
namespace {

namespace fs = std::filesystem;
using test::MirrorProcess;
using test::TempFolder;
using test::WriteFile;

// The mirror layout served by `mirror`.
DownloadSource LayoutOf(const MirrorProcess& mirror) {
  return DownloadSource(SourceKind::Mirror, "", "", mirror.BaseUrl());
}

constexpr const char* kOldDescription = R"({"id":"v1","assets":"idx","mainClass":"Old"})";
constexpr const char* kOldIndex = R"({"objects":{}})";

class CachedMetadata : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(VersionJsonPath(game_.Path(), "v1"), kOldDescription);
    WriteFile(AssetIndexPath(game_.Path(), "idx"), kOldIndex);
  }

  // Checks the documents of v1 as a cached launch leaves them to be checked, and waits for the
  // check to end.
  void CheckAgainst(const MirrorProcess& mirror) {
    VersionDescription chain;
    AssetIndex assets;
    ASSERT_EQ(ReadMetadataOnDisk(game_.Path(), "v1", chain, assets), MetadataState::Ready);
    BackgroundMetadataCheck check;
    ASSERT_TRUE(check.Start(LayoutOf(mirror), game_.Path(), "v1", chain, MetadataChecks::Network()));
    check.Wait();
  }

  std::string Description() const { return test::ReadFile(VersionJsonPath(game_.Path(), "v1")); }
  std::string Index() const { return test::ReadFile(AssetIndexPath(game_.Path(), "idx")); }
  // The check's staging folders are made below the temporary folder, and go with the check.
  bool NothingStaged() const {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(temporary_.Path(), error)) {
      if (entry.path().filename().string().starts_with("korvane-check-")) return false;
    }
    return true;
  }

  TempFolder game_;
  TempFolder served_;
  TempFolder temporary_;
  test::ScopedEnvironment temporaryFolder_{"TMPDIR", temporary_.Path()};
};

TEST_F(CachedMetadata, TheDiskAloneIsRead) {
  VersionDescription description;
  AssetIndex assets;
  ASSERT_EQ(ReadMetadataOnDisk(game_.Path(), "v1", description, assets), MetadataState::Ready);
  EXPECT_EQ(description.mainClass, "Old");
  WriteFile(AssetIndexPath(game_.Path(), "idx"), "<html>");
  EXPECT_EQ(ReadMetadataOnDisk(game_.Path(), "v1", description, assets), MetadataState::AssetIndexUnreadable);
  EXPECT_EQ(ReadMetadataOnDisk(game_.Path(), "v2", description, assets), MetadataState::DescriptionUnreadable);
}

TEST_F(CachedMetadata, NewerDocumentsArePutInPlaceForTheNextLaunch) {
  const std::string newer = R"({"id":"v1","assets":"idx","mainClass":"New","libraries":[]})";
  const std::string newerIndex = R"({"objects":{"a":{"hash":"aabbccddeeff00112233445566778899aabbccdd","size":1}}})";
  WriteFile(served_ / "versions/v1/v1.json", newer);
  WriteFile(served_ / "indexes/idx.json", newerIndex);
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  CheckAgainst(mirror);
  EXPECT_EQ(Description(), newer);
  EXPECT_EQ(Index(), newerIndex);
  EXPECT_TRUE(NothingStaged());
}

TEST_F(CachedMetadata, WhatIsNotSuchADocumentNeverReplacesOne) {
  // A captive portal's page, a JSON error, a description of another version: none of them is
  // what it stands in for.
  for (const char* answer : {"<html><body>Sign in to the network</body></html>", R"({"error":"portal"})",
                             R"({"id":"v2","assets":"idx","mainClass":"Other"})"}) {
    WriteFile(served_ / "versions/v1/v1.json", answer);
    WriteFile(served_ / "indexes/idx.json", answer);
    MirrorProcess mirror(served_.Path());
    ASSERT_TRUE(mirror.Started()) << mirror.Log();
    CheckAgainst(mirror);
    EXPECT_EQ(mirror.CountRequests("GET", "/versions/v1/v1.json"), 1) << answer;
    EXPECT_EQ(Description(), kOldDescription) << answer;
    EXPECT_EQ(Index(), kOldIndex) << answer;
    EXPECT_TRUE(NothingStaged());
  }
}

TEST_F(CachedMetadata, AnAbandonedCheckEndsAtOnceAndChangesNothing) {
  // The description is up to date; the index, missing here, comes 4 KiB a second, so its
  // download would outlast the test run.
  WriteFile(served_ / "versions/v1/v1.json", kOldDescription);
  WriteFile(served_ / "indexes/idx.json", std::string(10 << 20, ' ') + kOldIndex);
  fs::remove(AssetIndexPath(game_.Path(), "idx"));
  MirrorProcess mirror(served_.Path(), {"--rate", "4096"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  VersionDescription chain;
  ASSERT_TRUE(ParseVersionDescription(kOldDescription, chain));

  BackgroundMetadataCheck check;
  ASSERT_TRUE(check.Start(LayoutOf(mirror), game_.Path(), "v1", chain, MetadataChecks::Network()));
  // Under way: the index has begun to arrive in the staging folder.
  auto arriving = [this] {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(temporary_.Path(), error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (it->path().string().find("/assets/indexes/") != std::string::npos && GetFileSize(it->path().string()) > 0) {
        return true;
      }
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!arriving() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(arriving());
  // One check at a time: the one under way goes on alone.
  EXPECT_FALSE(check.Start(LayoutOf(mirror), game_.Path(), "v1", chain, MetadataChecks::Network()));

  check.Abandon();
  EXPECT_FALSE(PathExists(AssetIndexPath(game_.Path(), "idx")));
  EXPECT_EQ(Description(), kOldDescription);
  EXPECT_TRUE(NothingStaged());
}

}  // namespace
}  // namespace kv
