#include "net/download_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/net/engine_test_support.h"
#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"
#include "util/digest.h"
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

TEST_F(DownloadEngineTest, AFileThatKeepsFailingStopsTheRunAndNamesItWhileTheOthersKeepTheirParts) {
  WriteFile(served_ / "files/file1.bin", "one");
  WriteFile(served_ / "files/file3.bin", TestBytes(3000000, 3));
  // The third file comes slowly: it is under way when the second gives up.
  MirrorProcess mirror(served_.Path(), {"--rate", "1000000"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 3);  // the second is not on the mirror

  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_EQ(outcome.reason, "HTTP 404");
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\nfiles/file3.bin.tmp\n");
  EXPECT_GT(GetFileSize(plan[2].path + ".tmp"), 0u);
  ASSERT_EQ(sink.retries.size(), 3u);
  EXPECT_EQ(sink.retries[0].delay, 20ms);
  EXPECT_EQ(sink.retries[1].delay, 40ms);
  EXPECT_EQ(sink.retries[2].delay, 80ms);
  EXPECT_EQ(sink.retries[2].failures, 3);
  EXPECT_EQ(sink.finalResult, DownloadResult::Failed);
}

TEST_F(DownloadEngineTest, PassingServerErrorsAreRetriedUntilTheFileArrives) {
  WriteFile(served_ / "files/file1.bin", TestBytes(100000, 5));
  MirrorProcess mirror(served_.Path(), {"--status", "/files/file1.bin=500,3"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_TRUE(ReadFile(plan[0].path) == TestBytes(100000, 5));
  ASSERT_EQ(sink.retries.size(), 3u);
  EXPECT_EQ(sink.retries[0].reason, "HTTP 500");
}

TEST_F(DownloadEngineTest, PartialFilesThatCannotBeContinuedAreFetchedAgain) {
  const std::string body = TestBytes(300000, 9);
  for (int i = 1; i <= 5; ++i) WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), body);
  MirrorProcess mirror(served_.Path(), {"--no-ranges", "/files/file1.bin", "--no-length", "/files/file4.bin"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 5);
  WriteFile(plan[0].path + ".tmp", "stale bytes from another file");  // the server ignores ranges
  WriteFile(plan[1].path + ".tmp", body + "and more");                 // longer than the file
  WriteFile(plan[2].path + ".tmp", body);                              // complete, of the planned size
  plan[2].size = 300000;
  WriteFile(plan[3].path + ".tmp", body);  // complete, no size known: 416 to the range
  WriteFile(plan[4].path + ".tmp", body.substr(0, 1000) + "changed");  // a part of another file
  plan[4].sha1 = test::Sha1Of(body);

  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  for (const DownloadItem& item : plan) EXPECT_TRUE(ReadFile(item.path) == body) << item.name;
  EXPECT_EQ(ListFiles(game_.Path()),
            "files/file1.bin\nfiles/file2.bin\nfiles/file3.bin\nfiles/file4.bin\nfiles/file5.bin\n");
  const std::string log = mirror.Log();
  EXPECT_NE(log.find("GET /files/file1.bin bytes=29- 200"), std::string::npos) << log;
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file1.bin"), 1) << "the whole answer is taken at once";
  EXPECT_NE(log.find("GET /files/file2.bin bytes=300008- 416"), std::string::npos) << log;
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file2.bin"), 2);
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file3.bin"), 0);
  EXPECT_NE(log.find("GET /files/file4.bin bytes=300000- 416"), std::string::npos) << log;
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file4.bin"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file5.bin"), 2) << "the damaged part is fetched again whole";
  EXPECT_EQ(log.find(" HEAD "), std::string::npos) << log;
  ASSERT_EQ(sink.retries.size(), 2u);
  EXPECT_EQ(sink.done.back(), 5);
}

TEST_F(DownloadEngineTest, APartialFileThatIsALinkIsReplacedAndItsTargetKept) {
  const std::string body = TestBytes(300000, 5);
  WriteFile(served_ / "files/file1.bin", body);
  WriteFile(served_ / "files/file2.bin", "");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 2);
  plan[1].size = 0;
  TempFolder outside;
  WriteFile(outside / "precious.txt", "keep me");
  MakeFoldersForPath(plan[0].path);
  for (const DownloadItem& item : plan) std::filesystem::create_symlink(outside / "precious.txt", item.path + ".tmp");

  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(plan, sink, FastRetries()).Run().result, DownloadResult::Completed);
  EXPECT_EQ(ReadFile(outside / "precious.txt"), "keep me");
  EXPECT_EQ(ReadFile(plan[0].path), body);
  EXPECT_EQ(ReadFile(plan[1].path), "");
  for (const DownloadItem& item : plan) EXPECT_FALSE(std::filesystem::is_symlink(item.path)) << item.name;
}

TEST_F(DownloadEngineTest, ManyFilesAtOnceWithFaultsAllArriveAndTheTotalsAreExact) {
  std::vector<std::string> options{"--drop",      "/files/file10.bin=40000", "--status",    "/files/file20.bin=404,2",
                                   "--no-ranges", "/files/file30.bin",       "--no-length", "/files/file41.bin",
                                   "--stall",     "/files/file58.bin=30000"};
  constexpr int kFiles = 120;
  std::int64_t bytes = 0;
  for (int i = 1; i <= kFiles; ++i) {
    std::size_t size = i % 10 == 0 ? 400000 : static_cast<std::size_t>(i * 997 % 90000);
    WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), TestBytes(size, static_cast<unsigned>(i)));
    bytes += static_cast<std::int64_t>(size);
  }
  MirrorProcess mirror(served_.Path(), options);
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, kFiles);
  for (int i = 0; i < kFiles; i += 3) plan[static_cast<std::size_t>(i)].size = static_cast<std::int64_t>(GetFileSize(served_ / ("files/" + plan[static_cast<std::size_t>(i)].name)));
  WriteFile(plan[29].path + ".tmp", "left by an older run");  // the server ignores the range
  DownloadOptions fast = FastRetries();
  fast.stallSeconds = 1;

  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, fast).Run();
  ASSERT_EQ(outcome.result, DownloadResult::Completed) << outcome.failedName << ": " << outcome.reason;
  for (int i = 1; i <= kFiles; ++i) {
    ASSERT_TRUE(ReadFile(plan[static_cast<std::size_t>(i - 1)].path) == ReadFile(served_ / ("files/file" + std::to_string(i) + ".bin"))) << i;
  }
  EXPECT_EQ(ListFiles(game_.Path()).find(".tmp"), std::string::npos);
  // The counter and the run's bytes end exact.
  EXPECT_EQ(sink.count, kFiles);
  ASSERT_EQ(sink.done.size(), static_cast<std::size_t>(kFiles) + 1);
  EXPECT_EQ(sink.done.front(), 0);
  EXPECT_EQ(sink.done.back(), kFiles);
  EXPECT_EQ(sink.progress.first, bytes / 1024);
  EXPECT_EQ(sink.progress.second, bytes / 1024);
  // The faults were met and overcome: a resumed drop, a passing 404, a whole answer to a range,
  // a stall resumed.
  const std::string log = mirror.Log();
  EXPECT_NE(log.find("GET /files/file10.bin bytes=40000- 206"), std::string::npos) << log;
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file20.bin"), 3);
  EXPECT_NE(log.find("GET /files/file30.bin bytes=20- 200"), std::string::npos) << log;
  EXPECT_NE(log.find("GET /files/file58.bin bytes=30000- 206"), std::string::npos) << log;
  EXPECT_EQ(log.find(" HEAD "), std::string::npos) << "no size is asked before a file";
}

TEST_F(DownloadEngineTest, TransfersShareTheirConnections) {
  constexpr int kFiles = 300;
  for (int i = 1; i <= kFiles; ++i) WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), TestBytes(2000, i));
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  DownloadOptions options = FastRetries();
  options.transfers = 8;
  RecordingSink sink;
  EXPECT_EQ(DownloadEngine(Files(game_, mirror, kFiles), sink, options).Run().result, DownloadResult::Completed);
  EXPECT_LE(mirror.CountConnections(), 8);
  EXPECT_GT(mirror.CountConnections(), 1);

  // A count out of bounds is brought within them: none at once would never end.
  MirrorProcess single(served_.Path());
  ASSERT_TRUE(single.Started()) << single.Log();
  options.transfers = 0;
  RecordingSink one;
  TempFolder again;
  EXPECT_EQ(DownloadEngine(Files(again, single, 20), one, options).Run().result, DownloadResult::Completed);
  EXPECT_EQ(single.CountConnections(), 1);
}

TEST_F(DownloadEngineTest, AFileThatCannotBeWrittenStopsAtOnceWithTheReason) {
  WriteFile(served_ / "files/file1.bin", "one");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);
  WriteFile(game_ / "blocker", "a file where a folder should be");
  plan[0].path = game_ / "blocker/file1.bin";
  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file1.bin");
  EXPECT_NE(outcome.reason.find("cannot write"), std::string::npos) << outcome.reason;
  EXPECT_NE(outcome.reason.find("Not a directory"), std::string::npos) << outcome.reason;
  EXPECT_TRUE(sink.retries.empty());
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file1.bin"), 1);
}

TEST_F(DownloadEngineTest, CancelDuringSixteenTransfersLeavesPartsThatTheNextRunResumes) {
  constexpr int kFiles = 20;
  for (int i = 1; i <= kFiles; ++i) WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), TestBytes(1000000, i));
  std::vector<std::int64_t> parts(kFiles, 0);
  {
    MirrorProcess slow(served_.Path(), {"--rate", "500000"});
    ASSERT_TRUE(slow.Started()) << slow.Log();
    std::vector<DownloadItem> plan = Files(game_, slow, kFiles);
    RecordingSink sink;
    DownloadEngine engine(plan, sink, FastRetries());
    sink.onProgress = [&](std::int64_t receivedKiB, std::int64_t) {
      if (receivedKiB >= 16 * 100) engine.Cancel();
    };
    EXPECT_EQ(engine.Run().result, DownloadResult::Cancelled);
    EXPECT_EQ(sink.finalResult, DownloadResult::Cancelled);
    std::string expected;
    std::vector<std::string> names;
    for (int i = 1; i <= 16; ++i) names.push_back("files/file" + std::to_string(i) + ".bin.tmp\n");
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) expected += name;
    EXPECT_EQ(ListFiles(game_.Path()), expected);
    for (int i = 17; i <= kFiles; ++i) EXPECT_EQ(slow.CountRequests("GET", "/files/file" + std::to_string(i) + ".bin"), 0);
    for (int i = 0; i < 16; ++i) {
      parts[static_cast<std::size_t>(i)] = static_cast<std::int64_t>(GetFileSize(plan[static_cast<std::size_t>(i)].path + ".tmp"));
      EXPECT_GT(parts[static_cast<std::size_t>(i)], 0);
      EXPECT_LT(parts[static_cast<std::size_t>(i)], 1000000);
    }
  }

  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, kFiles);
  RecordingSink again;
  EXPECT_EQ(DownloadEngine(plan, again, FastRetries()).Run().result, DownloadResult::Completed);
  for (int i = 1; i <= kFiles; ++i) {
    EXPECT_TRUE(ReadFile(plan[static_cast<std::size_t>(i - 1)].path) == TestBytes(1000000, static_cast<unsigned>(i))) << i;
  }
  const std::string log = mirror.Log();
  for (int i = 1; i <= 16; ++i) {
    const std::string resumed = "GET /files/file" + std::to_string(i) + ".bin bytes=" +
                                std::to_string(parts[static_cast<std::size_t>(i - 1)]) + "- 206";
    EXPECT_NE(log.find(resumed), std::string::npos) << resumed << "\n" << log;
  }
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
  std::once_flag once;
  sink.onRetrying = [&] {
    std::call_once(once, [&] {
      canceller = std::thread([&] {
        std::this_thread::sleep_for(100ms);
        engine.Cancel();
      });
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
  std::string expected = test::Sha1Of(body);
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

TEST_F(DownloadEngineTest, AnAnswerLongerThanThePlannedSizeIsStoppedWhereItPassesIt) {
  // An asset of 629 bytes answered with a megabyte more, without a length, and slowly enough
  // for the progress to show whatever is written.
  WriteFile(served_ / "files/file1.bin", TestBytes(629, 1));
  MirrorProcess mirror(served_.Path(), {"--extra", "/files/file1.bin=1000000", "--no-length", "/files/file1.bin",
                                        "--rate", "2000000"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 1);
  plan[0].size = 629;

  RecordingSink sink;
  std::int64_t mostKiB = 0;
  sink.onProgress = [&](std::int64_t receivedKiB, std::int64_t) { mostKiB = std::max(mostKiB, receivedKiB); };
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_NE(outcome.reason.find("629 bytes"), std::string::npos) << outcome.reason;
  EXPECT_EQ(mostKiB, 0) << "KiB written of a 629-byte file";
  EXPECT_EQ(ListFiles(game_.Path()), "");
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file1.bin"), FastRetries().failuresBeforeGivingUp);
}

TEST_F(DownloadEngineTest, AFileOfUnknownSizeStopsAtTheBoundOfItsKind) {
  WriteFile(served_ / "files/file1.bin", TestBytes(1000000, 1));
  WriteFile(served_ / "files/file2.bin", TestBytes(1000000, 2));
  MirrorProcess mirror(served_.Path(), {"--no-length", "/files/file1.bin"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  for (int i = 0; i < 2; ++i) {
    // Without a length the body is stopped where it passes the bound; an announced length
    // beyond it is refused before the first byte.
    std::vector<DownloadItem> plan = {Files(game_, mirror, 2)[i]};
    plan[0].sizeLimit = 100000;
    RecordingSink sink;
    std::int64_t mostKiB = 0;
    sink.onProgress = [&](std::int64_t receivedKiB, std::int64_t) { mostKiB = std::max(mostKiB, receivedKiB); };
    DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries()).Run();
    EXPECT_EQ(outcome.result, DownloadResult::Failed) << i;
    EXPECT_NE(outcome.reason.find("100000"), std::string::npos) << outcome.reason;
    EXPECT_LE(mostKiB, 100000 / 1024) << i;
    EXPECT_EQ(ListFiles(game_.Path()), "") << i;
  }
}

TEST_F(DownloadEngineTest, AFileWithoutChecksumIsPutInPlaceOnlyWhenItsContentPasses) {
  WriteFile(served_ / "files/file1.bin", "a whole file");
  WriteFile(served_ / "files/file2.bin", "cut sho");
  WriteFile(served_ / "files/file3.bin", "cut sho");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 3);
  plan[2].sha1 = test::Sha1Of("cut sho");  // a checksum vouches for itself
  std::vector<std::string> asked;
  std::mutex askedMutex;
  ContentCheck check = [&](const DownloadItem& item, const std::string& file) -> Status {
    std::lock_guard lock(askedMutex);
    asked.push_back(item.name);
    if (ReadFile(file) == "cut sho") return Fail(FailureKind::Invalid, "not whole");
    return {};
  };
  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries(), {}, check).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_EQ(outcome.reason, "not whole");
  EXPECT_EQ(ListFiles(game_.Path()), "files/file1.bin\nfiles/file3.bin\n");
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "file3.bin"), 0);
  EXPECT_EQ(mirror.CountRequests("GET", "/files/file2.bin"), FastRetries().failuresBeforeGivingUp);
}

TEST_F(DownloadEngineTest, AnArchiveThatCannotBeUnpackedFailsTheRunOnceTheDownloadsHaveEnded) {
  for (int i = 1; i <= 3; ++i) WriteFile(served_ / ("files/file" + std::to_string(i) + ".bin"), "archive");
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::vector<DownloadItem> plan = Files(game_, mirror, 3);
  for (DownloadItem& item : plan) {
    item.isArchive = true;
    item.archivePath = item.path;
  }
  std::vector<std::string> unpacked;
  AfterDownload unpack = [&](const DownloadItem& item) -> Status {
    unpacked.push_back(item.name);
    if (item.name == "file1.bin") return {};
    return Fail(FailureKind::Invalid, "cannot unpack " + item.name);
  };
  RecordingSink sink;
  DownloadOutcome outcome = DownloadEngine(plan, sink, FastRetries(), unpack).Run();
  EXPECT_EQ(outcome.result, DownloadResult::Failed);
  EXPECT_EQ(outcome.step, DownloadStep::Unpack);
  EXPECT_EQ(outcome.failedName, "file2.bin");
  EXPECT_EQ(outcome.reason, "cannot unpack file2.bin");
  EXPECT_EQ(unpacked, (std::vector<std::string>{"file1.bin", "file2.bin", "file3.bin"}));
  EXPECT_EQ(sink.finalResult, DownloadResult::Failed);
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
