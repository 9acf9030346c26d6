#include "net/transfers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/net/mirror_process.h"
#include "tests/net/net_test_support.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

using test::ListFiles;
using test::MirrorProcess;
using test::ReadFile;
using test::ScopedEnvironment;
using test::TempFolder;
using test::TestBytes;
using test::WriteFile;

class Transfers : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(served_ / "versions/versions.json", kList);
    WriteFile(served_ / "big.bin", kBig);
  }

  const std::string kList = R"({"latest":{},"versions":[]})";
  const std::string kBig = TestBytes(3 * 1024 * 1024 + 17, 7);
  TempFolder served_;
  TempFolder local_;
};

TEST_F(Transfers, DownloadToFileCreatesTheFoldersAndStoresTheBody) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string target = local_ / "a/b/c/big.bin";
  EXPECT_TRUE(DownloadToFile(target, mirror.BaseUrl() + "/big.bin"));
  EXPECT_EQ(ReadFile(target), kBig);
  EXPECT_EQ(ListFiles(local_.Path()), "a/b/c/big.bin\n");
}

TEST_F(Transfers, AFailedDownloadNeverReplacesTheLocalCopy) {
  MirrorProcess mirror(served_.Path(), {"--status", "/versions/versions.json=404", "--drop", "/big.bin=100000"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string list = local_ / "versions/versions.json";
  std::string big = local_ / "big.bin";
  WriteFile(list, "the good old list");
  WriteFile(big, "the good old file");

  // An error answer, a connection dropped half-way, a path the server does not have.
  EXPECT_FALSE(DownloadToFile(list, mirror.BaseUrl() + "/versions/versions.json"));
  EXPECT_FALSE(DownloadToFile(big, mirror.BaseUrl() + "/big.bin"));
  EXPECT_FALSE(DownloadToFile(local_ / "missing.bin", mirror.BaseUrl() + "/missing.bin"));

  EXPECT_EQ(ReadFile(list), "the good old list");
  EXPECT_EQ(ReadFile(big), "the good old file");
  EXPECT_EQ(ListFiles(local_.Path()), "big.bin\nversions/versions.json\n");
}

TEST_F(Transfers, DownloadToAnExistingFolderFailsWithoutAsking) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::filesystem::create_directories(local_ / "big.bin");
  EXPECT_FALSE(DownloadToFile(local_ / "big.bin", mirror.BaseUrl() + "/big.bin"));
  EXPECT_EQ(mirror.CountRequests("GET", "/big.bin"), 0);
}

TEST_F(Transfers, RemoteSizeIsTheAnnouncedLengthOrMinusOne) {
  MirrorProcess mirror(served_.Path(), {"--no-length", "/versions/versions.json", "--status", "/error.bin=500"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  WriteFile(served_ / "error.bin", "x");
  WriteFile(served_ / "empty.bin", "");
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/big.bin"), static_cast<std::int64_t>(kBig.size()));
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/empty.bin"), 0);
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/versions/versions.json"), -1);  // no length
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/error.bin"), -1);              // error status
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/missing.bin"), -1);
  EXPECT_EQ(mirror.CountRequests("HEAD", "/big.bin"), 1);
  EXPECT_EQ(mirror.CountRequests("GET", "/big.bin"), 0);
}

TEST_F(Transfers, AnUnreachableServerIsAFailureNotAHang) {
  std::string closed;
  {
    MirrorProcess mirror(served_.Path());
    ASSERT_TRUE(mirror.Started());
    closed = mirror.BaseUrl();
  }
  std::string body = "old";
  EXPECT_EQ(QueryRemoteSize(closed + "/big.bin"), -1);
  EXPECT_FALSE(FetchToBuffer(body, closed + "/big.bin"));
  EXPECT_FALSE(DownloadToFile(local_ / "big.bin", closed + "/big.bin"));
  EXPECT_FALSE(test::ListFiles(local_.Path()).find("big.bin") != std::string::npos);
}

TEST_F(Transfers, BuffersGrowToTheWholeReplyAndRefuseErrorPages) {
  const std::string kPage = TestBytes(900 * 1024, 3);
  WriteFile(served_ / "page.bin", kPage);
  MirrorProcess mirror(served_.Path(), {"--status", "/versions/versions.json=500"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string body = "left over from before";
  EXPECT_TRUE(FetchToBuffer(body, mirror.BaseUrl() + "/page.bin"));
  EXPECT_EQ(body, kPage);
  EXPECT_FALSE(FetchToBuffer(body, mirror.BaseUrl() + "/versions/versions.json"));
  EXPECT_EQ(body.find("status 500"), std::string::npos);
}

TEST_F(Transfers, AReplyThatNeverEndsIsRefusedInsteadOfFillingTheMemory) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string body;
  EXPECT_FALSE(FetchToBuffer(body, mirror.BaseUrl() + "/big.bin"));
  EXPECT_LE(body.size(), 1024u * 1024);
}

TEST_F(Transfers, ADocumentWithinItsBoundOrWhyNot) {
  MirrorProcess mirror(served_.Path(), {"--status", "/gone.json=410", "--status", "/versions/versions.json=503"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  const std::string base = mirror.BaseUrl();
  const Result<std::string> big = FetchDocument(base + "/big.bin", kBig.size());
  ASSERT_TRUE(big) << big.message();
  EXPECT_EQ(*big, kBig);
  const Result<std::string> tooBig = FetchDocument(base + "/big.bin", kBig.size() - 1);
  ASSERT_FALSE(tooBig);
  EXPECT_EQ(tooBig.kind(), FailureKind::TooLarge);
  const std::vector<std::pair<std::string, FailureKind>> failures = {
      {"/missing.json", FailureKind::NotFound}, {"/gone.json", FailureKind::NotFound},
      {"/versions/versions.json", FailureKind::Refused}};
  for (const auto& [path, kind] : failures) {
    const Result<std::string> document = FetchDocument(base + path, 1024);
    ASSERT_FALSE(document) << path;
    EXPECT_EQ(document.kind(), kind) << path << ": " << document.message();
  }
  EXPECT_EQ(FetchDocument(base + "/versions/versions.json", 1024).message(), "HTTP 503");
  const Result<std::string> closed = FetchDocument("http://127.0.0.1:9/list.json", 1024);
  ASSERT_FALSE(closed);
  EXPECT_EQ(closed.kind(), FailureKind::Unreachable);
}

TEST_F(Transfers, ADownloadBeyondItsLimitIsRefusedAndKeepsTheEarlierCopy) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string target = local_ / "big.bin";
  WriteFile(target, "the good old file");
  EXPECT_FALSE(DownloadToFile(target, mirror.BaseUrl() + "/big.bin", kConnectTimeout, 1024 * 1024));
  EXPECT_EQ(ReadFile(target), "the good old file");
  EXPECT_EQ(ListFiles(local_.Path()), "big.bin\n");
  EXPECT_TRUE(DownloadToFile(target, mirror.BaseUrl() + "/big.bin", kConnectTimeout, kBig.size()));
  EXPECT_EQ(ReadFile(target), kBig);
}

TEST_F(Transfers, CallsOnTwoThreadsFillTheirOwnBuffers) {
  WriteFile(served_ / "first.bin", TestBytes(700000, 5));
  WriteFile(served_ / "other.bin", TestBytes(200000, 3));
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::string first;
  std::string second;
  bool firstOk = false;
  bool secondOk = false;
  std::thread a([&] {
    for (int i = 0; i < 5; ++i) firstOk = FetchToBuffer(first, mirror.BaseUrl() + "/first.bin");
  });
  std::thread b([&] {
    for (int i = 0; i < 5; ++i) secondOk = FetchToBuffer(second, mirror.BaseUrl() + "/other.bin");
  });
  a.join();
  b.join();
  EXPECT_TRUE(firstOk);
  EXPECT_TRUE(secondOk);
  EXPECT_EQ(first, TestBytes(700000, 5));
  EXPECT_EQ(second, TestBytes(200000, 3));
}

TEST_F(Transfers, CallsOnOneThreadReuseTheirConnection) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::thread worker([&] {
    std::string body;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/versions/versions.json"), static_cast<std::int64_t>(kList.size()));
      EXPECT_TRUE(FetchToBuffer(body, mirror.BaseUrl() + "/versions/versions.json"));
      EXPECT_TRUE(DownloadToFile(local_ / "list.json", mirror.BaseUrl() + "/versions/versions.json"));
    }
  });
  worker.join();
  EXPECT_EQ(mirror.CountRequests("GET", "/versions/versions.json"), 6);
  EXPECT_EQ(mirror.CountConnections(), 1) << mirror.Log();
}

TEST_F(Transfers, CancelAbandonsAWaitingRequestAtOnce) {
  // The server would answer only after the test run's time limit: the cancel alone ends it.
  MirrorProcess mirror(served_.Path(), {"--delay", "3600000"});
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel.store(true);
  });
  std::string body;
  EXPECT_FALSE(FetchToBuffer(body, mirror.BaseUrl() + "/big.bin", &cancel));
  EXPECT_EQ(QueryRemoteSize(mirror.BaseUrl() + "/big.bin", &cancel), -1);
  canceller.join();
}

TEST_F(Transfers, TheMirrorServesManyKeptAliveClientsAtOnce) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  // Each thread keeps its connection open between its two requests, so sixteen connections
  // are open at once; a server with a small fixed set of workers would stall the last ones.
  constexpr int kClients = 16;
  std::vector<std::thread> clients;
  std::atomic<int> arrived{0};
  std::atomic<int> succeeded{0};
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&] {
      std::string body;
      bool first = FetchToBuffer(body, mirror.BaseUrl() + "/versions/versions.json");
      arrived.fetch_add(1);
      while (arrived.load() < kClients) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (first && FetchToBuffer(body, mirror.BaseUrl() + "/versions/versions.json") && body == kList) {
        succeeded.fetch_add(1);
      }
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(succeeded.load(), kClients);
  EXPECT_EQ(mirror.CountConnections(), kClients);
}

TEST_F(Transfers, StatisticsAreSentOnlyToAConfiguredAddress) {
  MirrorProcess mirror(served_.Path());
  ASSERT_TRUE(mirror.Started()) << mirror.Log();
  {
    ScopedEnvironment none("KORVANE_STATS_URL", std::nullopt);
    EXPECT_FALSE(SendStatsEvent("open"));
  }
  EXPECT_EQ(mirror.Log(), "");
  ScopedEnvironment configured("KORVANE_STATS_URL", mirror.BaseUrl() + "/");
  ScopedEnvironment site("KORVANE_STATS_SITE", "7");
  SendStatsEvent("LaunchGame");
  EXPECT_EQ(mirror.CountRequests("GET", "/wapstat.php?siteid=7&r=http%3A%2F%2Fwww.korvane.org%2FLaunchGame&rnd=12345"), 1)
      << mirror.Log();
}

}  // namespace
}  // namespace kv
