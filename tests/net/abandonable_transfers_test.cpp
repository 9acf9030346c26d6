#include "net/abandonable_transfers.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "net/transfers.h"
#include "tests/net/loopback_listener.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"

namespace kv {
namespace {

using test::LoopbackListener;

// A loopback server that answers only when the test says so.
class HeldServer {
 public:
  ~HeldServer() {
    for (int client : clients_) ::close(client);
  }

  std::string Url() const { return listener_.BaseUrl() + "/file"; }

  // Whether a client connects within `milliseconds`; the connection is kept.
  bool Accept(int milliseconds) {
    pollfd waiting{listener_.Socket(), POLLIN, 0};
    if (::poll(&waiting, 1, milliseconds) != 1) return false;
    const int client = ::accept(listener_.Socket(), nullptr, nullptr);
    if (client >= 0) clients_.push_back(client);
    return client >= 0;
  }

  // A whole answer of five bytes on every accepted connection.
  void Answer() {
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello";
    for (int client : clients_) static_cast<void>(::send(client, answer.data(), answer.size(), MSG_NOSIGNAL));
  }

 private:
  LoopbackListener listener_{4};
  std::vector<int> clients_;
};

TEST(AbandonableTransfers, AbandonedTransfersTakeNothingMoreAndLaterOnesSendNothing) {
  HeldServer server;
  test::TempFolder folder;
  AbandonableTransfers transfers;
  // Two threads, the second working for the first, as a check of two documents at once does.
  bool fetched = true;
  std::string body = "unchanged";
  std::thread worker([&] {
    AbandonableTransfers::Scope scope(&transfers);
    std::thread helper([&, watching = AbandonableTransfers::OfThisThread()] {
      AbandonableTransfers::Scope helping(watching);
      if (FetchToBuffer(body, server.Url())) body = "fetched";
    });
    fetched = DownloadToFile(folder / "file", server.Url()).ok();
    helper.join();
  });
  ASSERT_TRUE(server.Accept(30000));
  ASSERT_TRUE(server.Accept(30000));
  transfers.Abandon();
  // The answers come after the transfers were abandoned: they are not taken.
  server.Answer();
  worker.join();
  EXPECT_FALSE(fetched);
  EXPECT_NE(body, "fetched");
  EXPECT_EQ(test::ListFiles(folder.Path()), "");

  std::thread later([&] {
    AbandonableTransfers::Scope scope(&transfers);
    fetched = QueryRemoteSize(server.Url()) != -1;
  });
  later.join();
  EXPECT_FALSE(fetched);
  EXPECT_FALSE(server.Accept(0));
}

TEST(AbandonableTransfers, AWatchedTransferThatIsLeftAloneCompletes) {
  HeldServer server;
  test::TempFolder folder;
  AbandonableTransfers transfers;
  bool fetched = false;
  std::thread worker([&] {
    AbandonableTransfers::Scope scope(&transfers);
    fetched = DownloadToFile(folder / "file", server.Url()).ok();
  });
  ASSERT_TRUE(server.Accept(30000));
  server.Answer();
  worker.join();
  EXPECT_TRUE(fetched);
  EXPECT_EQ(test::ReadFile(folder / "file"), "hello");
}

}  // namespace
}  // namespace kv
