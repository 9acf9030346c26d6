// Finding out what an account server address is, against local HTTPS servers.
#include "auth/account_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <map>
#include <thread>

#include "tests/net/net_test_support.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "util/messages.h"

namespace kv {
namespace {

using test::AuthServer;

// A plain http site on 127.0.0.1 that counts the requests it gets.
class PlainSite {
 public:
  PlainSite() {
    // One request a connection, so that no client's kept connection holds up the stop.
    server_.set_keep_alive_max_count(1);
    server_.Get(".*", [this](const httplib::Request&, httplib::Response& response) {
      ++requests_;
      response.set_header("X-Authlib-Injector-API-Location", "/api/yggdrasil/");
      response.set_content(R"({"meta":{"serverName":"plain"}})", "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~PlainSite() {
    server_.stop();
    thread_.join();
  }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
  int Requests() const { return requests_.load(); }

 private:
  httplib::Server server_;
  std::atomic<int> requests_{0};
  int port_ = -1;
  std::thread thread_;
};

// Answers from a table of addresses; an address it does not know is a 404.
AccountTransport Answering(std::map<std::string, AccountReply> replies, std::vector<std::string>& asked) {
  AccountTransport transport;
  transport.get = [replies = std::move(replies), &asked](const std::string& url) {
    asked.push_back(url);
    const auto found = replies.find(url);
    return found == replies.end() ? AccountReply{.status = 404} : found->second;
  };
  return transport;
}

class AccountServers : public ::testing::Test {
 protected:
  static AuthServer::Options Injector(AuthServer::Location location, std::string metadata = {}) {
    AuthServer::Options options;
    options.kind = AuthServer::Kind::AuthlibInjector;
    options.homeLocation = location;
    options.metadata = std::move(metadata);
    return options;
  }

  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  AccountTransport network_ = AccountTransport::Network();
};

TEST_F(AccountServers, TheSitePointsAtItsApiRootRelativelyOrAbsolutely) {
  for (AuthServer::Location location : {AuthServer::Location::Relative, AuthServer::Location::Absolute}) {
    AuthServer server("steve", "pw", Injector(location));
    const Result<AccountServer> result = ResolveAccountServer(server.BaseUrl(), network_);
    ASSERT_TRUE(result) << result.message();
    EXPECT_EQ(result->kind, AccountServerKind::AuthlibInjector);
    EXPECT_EQ(result->apiRoot, server.ApiRoot());
    EXPECT_EQ(result->name, AuthServer::kServerName);
    EXPECT_EQ(result->metadata, server.Metadata());
    EXPECT_EQ(result->ActionUrl("authenticate"), server.ApiRoot() + "/authserver/authenticate");
  }
}

TEST_F(AccountServers, ARelativeLocationIsReadAgainstTheAddressThatAnswered) {
  // The address typed leads to the site on another host, whose API is relative to itself.
  AuthServer site("steve", "pw", Injector(AuthServer::Location::Relative));
  AuthServer::Options moved;
  moved.homeRedirect = site.BaseUrl() + "/";
  AuthServer typed("steve", "pw", moved);
  const Result<AccountServer> result = ResolveAccountServer(typed.BaseUrl(), network_);
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(result->kind, AccountServerKind::AuthlibInjector);
  EXPECT_EQ(result->apiRoot, site.ApiRoot());
  EXPECT_EQ(result->name, AuthServer::kServerName);
}

TEST_F(AccountServers, HttpsIsNeverLeftForPlainHttp) {
  PlainSite plain;
  AuthServer::Options downgraded;
  downgraded.homeRedirect = plain.BaseUrl() + "/";
  AuthServer server("steve", "pw", downgraded);
  Result<AccountServer> result = ResolveAccountServer(server.BaseUrl(), network_);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.kind(), FailureKind::Refused);
  EXPECT_EQ(result.message(), msg::AccountServerInsecureMove(server.BaseUrl(), plain.BaseUrl() + "/"));
  EXPECT_EQ(plain.Requests(), 0);

  // Nor by the API location, nor after a detour through another https address.
  std::vector<std::string> asked;
  const AccountReply pointing{.status = 200, .apiLocation = "http://skin.example/api/"};
  result = ResolveAccountServer("https://skin.example", Answering({{"https://skin.example", pointing}}, asked));
  EXPECT_EQ(result.message(), msg::AccountServerInsecureMove("https://skin.example", "http://skin.example/api/"));
  EXPECT_EQ(asked, std::vector<std::string>{"https://skin.example"});
  asked.clear();
  const std::map<std::string, AccountReply> detour{
      {"http://skin.example", {.status = 301, .redirect = "https://skin.example/"}},
      {"https://skin.example/", {.status = 302, .redirect = "http://skin.example/x"}}};
  result = ResolveAccountServer("http://skin.example", Answering(detour, asked));
  EXPECT_EQ(result.kind(), FailureKind::Refused);
  EXPECT_EQ(asked, (std::vector<std::string>{"http://skin.example", "https://skin.example/"}));

  // What a player chose to be plain http stays possible.
  const Result<AccountServer> chosen = ResolveAccountServer(plain.BaseUrl(), network_);
  EXPECT_TRUE(chosen) << chosen.message();
}

TEST_F(AccountServers, TheApiRootItselfIsKnownByItsMetadata) {
  AuthServer server("steve", "pw", Injector(AuthServer::Location::None));
  const Result<AccountServer> result = ResolveAccountServer(server.ApiRoot() + "/", network_);
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(result->kind, AccountServerKind::AuthlibInjector);
  EXPECT_EQ(result->apiRoot, server.ApiRoot());
  EXPECT_EQ(server.Requests("/"), 0);
}

TEST_F(AccountServers, WithoutLocationOrMetadataItIsAPlainService) {
  AuthServer server("steve", "pw");
  const Result<AccountServer> result = ResolveAccountServer(server.BaseUrl(), network_);
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(result->kind, AccountServerKind::Yggdrasil);
  EXPECT_EQ(result->apiRoot, server.BaseUrl());
  EXPECT_EQ(result->metadata, "");
  EXPECT_EQ(result->ActionUrl("validate"), server.BaseUrl() + "/validate");
}

TEST_F(AccountServers, RefusalsSayWhy) {
  for (const char* address : {"skin.example", "ftp://skin.example/", "file:///etc/passwd"}) {
    EXPECT_EQ(ResolveAccountServer(address, network_).message(), msg::AccountServerNotWeb(address));
  }
  EXPECT_EQ(ResolveAccountServer("https://127.0.0.1:9", network_).message(), msg::kAccountServerUnreachable);

  // Metadata that is JSON but no object, at a root the site pointed to or at the address.
  AuthServer listing("steve", "pw", Injector(AuthServer::Location::Relative, "[1,2,3]"));
  EXPECT_EQ(ResolveAccountServer(listing.BaseUrl(), network_).message(), msg::kAccountServerBadMetadata);
  EXPECT_EQ(ResolveAccountServer(listing.ApiRoot(), network_).message(), msg::kAccountServerBadMetadata);
  // A site that claims an API root where there is none.
  AuthServer claim("steve", "pw", Injector(AuthServer::Location::Relative, R"({"skinDomains":[]})"));
  EXPECT_EQ(ResolveAccountServer(claim.BaseUrl(), network_).message(), msg::kAccountServerBadMetadata);
  // Metadata too large to be any server's, arriving at once: said so, not taken for a time-out.
  AuthServer flood("steve", "pw", Injector(AuthServer::Location::None, std::string(2 * 1024 * 1024, ' ') + "{}"));
  const Result<AccountServer> flooded = ResolveAccountServer(flood.ApiRoot(), network_);
  EXPECT_EQ(flooded.kind(), FailureKind::TooLarge);
  EXPECT_EQ(flooded.message(), msg::kAccountServerAnswerTooLarge);

  // A location or a redirect that is no web address: never followed.
  std::vector<std::string> asked;
  const auto answeredWith = [&asked](const AccountReply& reply) {
    return ResolveAccountServer("https://skin.example", Answering({{"https://skin.example", reply}}, asked)).message();
  };
  EXPECT_EQ(answeredWith({.status = 200, .apiLocation = "file:///etc/passwd"}), msg::kAccountServerBadLocation);
  EXPECT_EQ(answeredWith({.status = 302, .redirect = "ftp://skin.example/"}), msg::kAccountServerBadRedirect);
  EXPECT_EQ(asked, (std::vector<std::string>{"https://skin.example", "https://skin.example"}));
  // Redirects that go round in a circle end.
  asked.clear();
  EXPECT_EQ(answeredWith({.status = 302, .redirect = "https://skin.example"}), msg::kAccountServerTooManyRedirects);
  EXPECT_EQ(asked.size(), 6u);
}

}  // namespace
}  // namespace kv
