#include "net/download_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "launch/library_paths.h"
#include "net/download_planning.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace std::chrono_literals;
using test::ListFiles;
using test::MirrorProcess;
using test::ReadFile;
using test::TempFolder;
using test::TestBytes;
using test::WriteFile;

// Remembers what the engine reported; hooks let a test act at a given moment.
class RecordingSink : public DownloadSink {
 public:
  void OnFileIndex(int position, int of) override {
    std::lock_guard lock(mutex_);
    positions.push_back(position);
    count = of;
  }
  void OnFileInfo(const std::string& name, std::int64_t size) override {
    std::lock_guard lock(mutex_);
    infos.emplace_back(name, size);
  }
  void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) override {
    if (onProgress) onProgress(receivedKiB, totalKiB);
  }
  void OnSpeed(std::int64_t) override {}
  void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                  const std::string& reason) override {
    {
      std::lock_guard lock(mutex_);
      retries.push_back({name, failures, delay, reason});
    }
    if (onRetrying) onRetrying();
  }
  void OnFinished(const DownloadOutcome& outcome) override {
    std::lock_guard lock(mutex_);
    ++finished;
    finalResult = outcome.result;
  }

  struct Retry {
    std::string name;
    int failures;
    std::chrono::milliseconds delay;
    std::string reason;
  };
  std::vector<int> positions;
  int count = 0;
  std::vector<std::pair<std::string, std::int64_t>> infos;
  std::vector<Retry> retries;
  int finished = 0;
  DownloadResult finalResult = DownloadResult::Completed;
  std::function<void(std::int64_t, std::int64_t)> onProgress;
  std::function<void()> onRetrying;

 private:
  std::mutex mutex_;
};

DownloadOptions FastRetries() {
  DownloadOptions options;
  options.firstRetryDelay = 20ms;
  options.longestRetryDelay = 100ms;
  options.failuresBeforeGivingUp = 4;
  options.tickInterval = 50ms;
  return options;
}

// Where the mirror keeps an item, below its root.
std::string ServedPath(const TempFolder& served, const MirrorProcess& mirror, const DownloadItem& item) {
  return served.Path() + item.url.substr(mirror.BaseUrl().size() + 1);
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

std::vector<DownloadItem> Files(const TempFolder& game, const MirrorProcess& mirror, int count) {
  std::vector<DownloadItem> plan;
  for (int i = 1; i <= count; ++i) {
    std::string name = "file" + std::to_string(i) + ".bin";
    plan.push_back({name, game / ("files/" + name), mirror.BaseUrl() + "/files/" + name, false, {}, {}});
  }
  return plan;
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
  description.libraries = {{"com.example:alpha:1.0", {}, "", "", "", {}},
                           {"com.example:beta:2.0", {}, "", "", "", {}},
                           {"org.example:sound:3.1", {}, "natives-linux", "natives-windows", "", {}},
                           {"org.example:video:0.5", {}, "natives-linux-${arch}", "natives-windows-${arch}", "", {}}};
  AssetIndex assets;
  for (int i = 0; i < 300; ++i) {
    char hash[41];
    std::snprintf(hash, sizeof hash, "%02x%038d", i % 256, i);
    assets.objects.push_back({"minecraft/sounds/" + std::to_string(i) + ".ogg", hash, 0});
  }
  std::vector<DownloadItem> plan =
      PlanDownloads(game_.Path(), "9.9", description, assets, PlatformProfile::Linux(), 64, mirror.BaseUrl());
  ASSERT_EQ(plan.size(), 4u + 1u + 300u);
  Serve(plan, served_, mirror);

  RecordingSink sink;
  DownloadEngine engine(plan, sink, FastRetries());
  DownloadOutcome outcome = engine.Run();
  ASSERT_EQ(outcome.result, DownloadResult::Completed) << outcome.failedName << ": " << outcome.reason;

  for (const DownloadItem& item : plan) {
    ASSERT_EQ(ReadFile(item.path), ReadFile(ServedPath(served_, mirror, item))) << item.name;
  }
  std::string natives = NativesFolder(plan[3].path);
  EXPECT_EQ(ReadFile(natives + "lib-" + plan[3].name + ".so"), TestBytes(5000 + 4, 4));
  EXPECT_TRUE(PathExists(natives + "META-INF/MANIFEST.MF"));
  EXPECT_EQ(ListFiles(game_.Path()).find(".tmp"), std::string::npos);
  EXPECT_TRUE(PlanDownloads(game_.Path(), "9.9", description, assets, PlatformProfile::Linux(), 64, mirror.BaseUrl()).empty());

  ASSERT_EQ(sink.positions.size(), plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) EXPECT_EQ(sink.positions[i], static_cast<int>(i) + 1);
  EXPECT_EQ(sink.count, static_cast<int>(plan.size()));
  EXPECT_EQ(sink.infos[4].first, plan[4].name);
  EXPECT_EQ(sink.infos[4].second, static_cast<std::int64_t>(GetFileSize(plan[4].path)));
  EXPECT_EQ(sink.finished, 1);
  EXPECT_TRUE(sink.retries.empty());
  // The size query and the transfer of every file share one connection.
  EXPECT_EQ(mirror.CountConnections(), 1);
}

TEST_F(DownloadEngineTest, TheLegacyArchiveOfA16VersionIsUnpackedIntoTheLegacyTree) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  VersionDescription description;
  ASSERT_TRUE(ParseVersionDescription(test::ReadFixture("versions/version-1.6.4.json"), description));
  std::vector<DownloadItem> plan =
      PlanDownloads(game_.Path(), "1.6.4", description, AssetIndex{}, PlatformProfile::Linux(), 64, mirror.BaseUrl());
  Serve(plan, served_, mirror);
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_TRUE(PathExists(game_ / "/assets/virtual/legacy/lib-legacy.zip.so"));
  EXPECT_TRUE(PathExists(game_ / "/assets/virtual/legacy/legacy.zip"));
}

TEST_F(DownloadEngineTest, ADroppedConnectionResumesFromThePartialFile) {
  const std::string big = TestBytes(6 * 1024 * 1024, 11);
  WriteFile(served_ / "files/file1.bin", big);
  MirrorProcess mirror(served_.Path(), {"--drop", "/files/file1.bin=2500000"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);

  RecordingSink sink;
  std::int64_t partialAtRetry = -1;
  bool finalAtRetry = true;
  sink.onRetrying = [&] {
    partialAtRetry = static_cast<std::int64_t>(GetFileSize(plan[0].path + ".tmp"));
    finalAtRetry = PathExists(plan[0].path);
  };
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(partialAtRetry, 2500000);
  EXPECT_FALSE(finalAtRetry) << "a short transfer was taken for the file";
  EXPECT_EQ(ReadFile(plan[0].path), big);
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file1.bin"), 2);
  EXPECT_NE(mirror.Log().find("GET /files/file1.bin bytes=2500000- 206"), std::string::npos) << mirror.Log();
}

TEST_F(DownloadEngineTest, AFileThatKeepsFailingStopsTheRunWithItsReasonAndLeavesNothing) {
  WriteFile(served_ / "files/file1.bin", "one");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 3);  // the second is not on the mirror

  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_EQ(outcome.reason, "HTTP 404");
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\n");
  ASSERT_EQ(sink.retries.size(), 3u);
  EXPECT_EQ(sink.retries[0].delay, 20ms);
  EXPECT_EQ(sink.retries[1].delay, 40ms);
  EXPECT_EQ(sink.retries[2].delay, 80ms);
  EXPECT_EQ(sink.retries[2].failures, 3);
  EXPECT_EQ(sink.finalResult, DownloadResult::Failed);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/files/file3.bin"), 0);
}

TEST_F(DownloadEngineTest, PassingServerErrorsAreRetriedUntilTheFileArrives) {
  WriteFile(served_ / "files/file1.bin", TestBytes(100000, 5));
  MirrorProcess mirror(served_.Path(), {"--status", "/files/file1.bin=500,5"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(plan[0].path), TestBytes(100000, 5));
  ASSERT_FALSE(sink.retries.empty());
  EXPECT_EQ(sink.retries[0].reason, "HTTP 500");
}

TEST_F(DownloadEngineTest, PartialFilesThatCannotBeContinuedAreFetchedAgain) {
  const std::string body = TestBytes(300000, 9);
  for (int i = 1; i <= 4; ++i) WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), body);
  MirrorProcess mirror(served_.Path(), {"--no-ranges", "/files/file1.bin", "--no-length", "/files/file4.bin"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 4);
  WriteFile(plan[0].path + ".tmp", "stale bytes from another file");  // the server ignores ranges
  WriteFile(plan[1].path + ".tmp", body + "and more");                 // longer than the file
  WriteFile(plan[2].path + ".tmp", body);                              // complete already
  WriteFile(plan[3].path + ".tmp", body);  // complete, but no size announced: 416 to the range

  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  for (const DownloadItem& item : plan) EXPECT_EQ(ReadFile(item.path), body) << item.name;
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\nfiles/file2.bin\nfiles/file3.bin\nfiles/file4.bin\n");
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file3.bin"), 0);
  EXPECT_NE(mirror.Log().find("GET /files/file4.bin bytes=300000- 416"), std::string::npos) << mirror.Log();
  // The first and the last file started over once.
  EXPECT_EQ(sink.positions, (std::vector<int>{1, 1, 2, 3, 4, 4}));
}

TEST_F(DownloadEngineTest, CancelInTheThirdOfTenFilesKeepsItsPartForTheNextRun) {
  for (int i = 1; i <= 10; ++i) {
    WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), TestBytes(i == 3 ? 20000000 : 50000, i));
  }
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 10);

  RecordingSink sink;
  DownloadEngine engine(plan, sink, FastRetries());
  sink.onProgress = [&](std::int64_t receivedKiB, std::int64_t) {
    if (sink.positions.back() == 3 && receivedKiB > 0) engine.Cancel();
  };
  EXPECT_EQ(engine.Run().result, DownloadResult::Cancelled);
  EXPECT_EQ(sink.finalResult, DownloadResult::Cancelled);
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\nfiles/file2.bin\nfiles/file3.bin.tmp\n");
  std::uint64_t part = GetFileSize(plan[2].path + ".tmp");
  EXPECT_GT(part, 0u);
  EXPECT_LT(part, 20000000u);
  for (int i = 4; i <= 10; ++i) {
    EXPECT_EQ(mirror.CountRequests("HEAD", "/files/file" + std::to_string(i) + ".bin"), 0);
  }

  // The next run continues the third file where the first stopped.
  RecordingSink again;
  std::vector<DownloadItem> rest(plan.begin() + 2, plan.end());
  EXPECT_EQ(DownloadEngine(rest, again, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(plan[2].path), TestBytes(20000000, 3));
  EXPECT_NE(mirror.Log().find("GET /files/file3.bin bytes=" + std::to_string(part) + "- 206"), std::string::npos);
}

TEST_F(DownloadEngineTest, CancelCutsARetryPauseShort) {
  MirrorProcess mirror(served_.Path(), {"--status", "*=503"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  DownloadOptions slow = FastRetries();
  slow.firstRetryDelay = 30s;
  slow.longestRetryDelay = 30s;
  RecordingSink sink;
  DownloadEngine engine(Files(game_, mirror, 2), sink, slow);
  std::thread canceller;
  sink.onRetrying = [&] {
    canceller = std::thread([&] {
      std::this_thread::sleep_for(100ms);
      engine.Cancel();
    });
  };
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(engine.Run().result, DownloadResult::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  canceller.join();
  EXPECT_EQ(ListFiles(game_.Path()), "");
}

TEST_F(DownloadEngineTest, ArchivesAreUnpackedOneAfterTheOther) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  // Both archives write the same big file into the same folder: the second must win.
  test::MakeZip(served_ / "a.zip", {{"shared.bin", TestBytes(8000000, 1)}, {"only-a.txt", "a"}});
  test::MakeZip(served_ / "b.zip", {{"shared.bin", TestBytes(8000000, 2)}, {"only-b.txt", "b"}});
  std::string folder = game_ / "natives/";
  std::vector<DownloadItem> plan = {
      {"a.zip", game_ / "a.zip", mirror.BaseUrl() + "/a.zip", true, game_ / "a.zip", folder},
      {"b.zip", game_ / "b.zip", mirror.BaseUrl() + "/b.zip", true, game_ / "b.zip", folder}};
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(folder + "shared.bin"), TestBytes(8000000, 2));
  EXPECT_EQ(ReadFile(folder + "only-a.txt"), "a");
  EXPECT_EQ(ReadFile(folder + "only-b.txt"), "b");
}

TEST(RetryDelay, DoublesFromTheFirstDelayUpToTheLongest) {
  DownloadOptions options;
  EXPECT_EQ(RetryDelay(1, options), 500ms);
  EXPECT_EQ(RetryDelay(2, options), 1000ms);
  EXPECT_EQ(RetryDelay(5, options), 8000ms);
  EXPECT_EQ(RetryDelay(6, options), 10000ms);
  EXPECT_EQ(RetryDelay(1000, options), 10000ms);
}

}  // namespace
}  // namespace kv
