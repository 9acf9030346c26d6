#include "net/download_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "net/sha1.h"
#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using namespace std::chrono_literals;
using test::FastRetries;
using test::ListFiles;
using test::MirrorProcess;
using test::ReadFile;
using test::RecordingSink;
using test::TempFolder;
using test::TestBytes;
using test::WriteFile;

std::vector<DownloadItem> Files(const TempFolder& game, const MirrorProcess& mirror, int count) {
  std::vector<DownloadItem> plan;
  for (int i = 1; i <= count; ++i) {
    std::string name = "file" + std::to_string(i) + ".bin";
    plan.push_back({.name = name, .path = game / ("files/" + name), .urls = {mirror.BaseUrl() + "/files/" + name}});
  }
  return plan;
}

class DownloadEngineTest : public ::testing::Test {
 protected:
  TempFolder served_;
  TempFolder game_;
};

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
  // A pause that no test run could wait out: only the cancel can end this run.
  DownloadOptions slow = FastRetries();
  slow.firstRetryDelay = 24h;
  slow.longestRetryDelay = 24h;
  RecordingSink sink;
  DownloadEngine engine(Files(game_, mirror, 2), sink, slow);
  std::thread canceller;
  sink.onRetrying = [&] {
    canceller = std::thread([&] {
      std::this_thread::sleep_for(100ms);
      engine.Cancel();
    });
  };
  EXPECT_EQ(engine.Run().result, DownloadResult::Cancelled);
  canceller.join();
  EXPECT_EQ(ListFiles(game_.Path()), "");
}

TEST_F(DownloadEngineTest, AFailingAddressHandsOverToTheNextAtOnce) {
  WriteFile(served_ / "files/file1.bin", TestBytes(70000, 1));
  MirrorProcess mirror(served_.Path(), {"--status", "/broken/file1.bin=500"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);
  plan[0].urls.insert(plan[0].urls.begin(), mirror.BaseUrl() + "/broken/file1.bin");

  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(plan[0].path), TestBytes(70000, 1));
  ASSERT_EQ(sink.retries.size(), 1u);
  EXPECT_EQ(sink.retries[0].delay, 0ms);
  EXPECT_EQ(sink.retries[0].reason, "HTTP 500");

  // When every address fails, the pause comes after each round and the bound counts them all.
  plan[0].urls = {mirror.BaseUrl() + "/broken/file1.bin", mirror.BaseUrl() + "/gone/file1.bin"};
  plan[0].path = game_ / "again/file1.bin";
  RecordingSink failing;
  DownloadOutcome outcome = DownloadEngine(plan, failing, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.reason, "HTTP 404");
  ASSERT_EQ(failing.retries.size(), 3u);
  EXPECT_EQ(failing.retries[0].delay, 0ms);
  EXPECT_EQ(failing.retries[1].delay, 20ms);
  EXPECT_EQ(failing.retries[2].delay, 0ms);
  EXPECT_EQ(mirror.CountRequests("GET", "/broken/file1.bin"), 3);
  EXPECT_EQ(mirror.CountRequests("GET", "/gone/file1.bin"), 2);
}

TEST_F(DownloadEngineTest, AFileThatDoesNotMatchItsChecksumIsNeverPutInPlace) {
  const std::string body = TestBytes(200000, 3);
  WriteFile(served_ / "files/file1.bin", body);
  WriteFile(served_ / "files/file2.bin", body);
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 2);
  Sha1 digest;
  digest.Update(body.data(), body.size());
  std::string expected = digest.HexDigest();
  for (char& c : expected) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  plan[0].sha1 = expected;
  plan[1].sha1 = std::string(40, '0');

  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_NE(outcome.reason.find("SHA-1"), std::string::npos) << outcome.reason;
  EXPECT_EQ(ReadFile(plan[0].path), body);
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\n");
  // Every attempt fetched the whole file again: the damaged one was not kept to resume.
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file2.bin"), FastRetries().failuresBeforeGivingUp);
  EXPECT_EQ(mirror.Log().find("bytes="), std::string::npos) << mirror.Log();
}

TEST_F(DownloadEngineTest, APlannedSizeIsNotAskedOfTheServer) {
  const std::string body = TestBytes(90000, 4);
  WriteFile(served_ / "files/file1.bin", body);
  WriteFile(served_ / "files/file2.bin", body);
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 2);
  plan[0].size = 90000;
  plan[1].size = 90000;
  WriteFile(plan[1].path + ".tmp", body);  // complete already
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  for (const DownloadItem& item : plan) EXPECT_EQ(ReadFile(item.path), body);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/files/file1.bin"), 0);
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file2.bin"), 0);
}

TEST(Sha1, DigestsOfKnownTexts) {
  Sha1 digest;
  digest.Update("ab", 2);
  digest.Update("c", 1);
  EXPECT_EQ(digest.HexDigest(), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(digest.HexDigest(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");  // starts over: nothing fed
  EXPECT_TRUE(SameDigest("A9993E364706816ABA3E25717850C26C9CD0D89D", "a9993e364706816aba3e25717850c26c9cd0d89d"));
  EXPECT_FALSE(SameDigest("a9993e", "a9993e364706816aba3e25717850c26c9cd0d89d"));
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
