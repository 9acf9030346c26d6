// Finding out what an account server address is, against local HTTPS servers.
#include "auth/account_server.h"

#include <gtest/gtest.h>

#include "tests/net/net_test_support.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "util/messages.h"

namespace kv {
namespace {

using test::AuthServer;

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
    const AccountServerResult result = ResolveAccountServer(server.BaseUrl(), network_);
    ASSERT_TRUE(result.server) << result.error;
    EXPECT_EQ(result.server->kind, AccountServerKind::AuthlibInjector);
    EXPECT_EQ(result.server->apiRoot, server.ApiRoot());
    EXPECT_EQ(result.server->name, AuthServer::kServerName);
    EXPECT_EQ(result.server->metadata, server.Metadata());
    EXPECT_EQ(result.server->ActionUrl("authenticate"), server.ApiRoot() + "/authserver/authenticate");
  }
}

TEST_F(AccountServers, TheApiRootItselfIsKnownByItsMetadata) {
  AuthServer server("steve", "pw", Injector(AuthServer::Location::None));
  const AccountServerResult result = ResolveAccountServer(server.ApiRoot() + "/", network_);
  ASSERT_TRUE(result.server) << result.error;
  EXPECT_EQ(result.server->kind, AccountServerKind::AuthlibInjector);
  EXPECT_EQ(result.server->apiRoot, server.ApiRoot());
  EXPECT_EQ(server.Requests("/"), 0);
}

TEST_F(AccountServers, WithoutLocationOrMetadataItIsAPlainService) {
  AuthServer server("steve", "pw");
  const AccountServerResult result = ResolveAccountServer(server.BaseUrl(), network_);
  ASSERT_TRUE(result.server) << result.error;
  EXPECT_EQ(result.server->kind, AccountServerKind::Yggdrasil);
  EXPECT_EQ(result.server->apiRoot, server.BaseUrl());
  EXPECT_EQ(result.server->metadata, "");
  EXPECT_EQ(result.server->ActionUrl("validate"), server.BaseUrl() + "/validate");
}

TEST_F(AccountServers, RefusalsSayWhy) {
  for (const char* address : {"skin.example", "ftp://skin.example/", "file:///etc/passwd"}) {
    EXPECT_EQ(ResolveAccountServer(address, network_).error, msg::AccountServerNotWeb(address));
  }
  EXPECT_EQ(ResolveAccountServer("https://127.0.0.1:9", network_).error, msg::kAccountServerUnreachable);

  // Metadata that is JSON but no object, at a root the site pointed to or at the address.
  AuthServer listing("steve", "pw", Injector(AuthServer::Location::Relative, "[1,2,3]"));
  EXPECT_EQ(ResolveAccountServer(listing.BaseUrl(), network_).error, msg::kAccountServerBadMetadata);
  EXPECT_EQ(ResolveAccountServer(listing.ApiRoot(), network_).error, msg::kAccountServerBadMetadata);
  // A site that claims an API root where there is none.
  AuthServer claim("steve", "pw", Injector(AuthServer::Location::Relative, R"({"skinDomains":[]})"));
  EXPECT_EQ(ResolveAccountServer(claim.BaseUrl(), network_).error, msg::kAccountServerBadMetadata);

  // A location that is no web address: never followed.
  AccountTransport pointing;
  std::vector<std::string> asked;
  pointing.get = [&asked](const std::string& url) {
    asked.push_back(url);
    return AccountReply{true, 200, "", "file:///etc/passwd"};
  };
  EXPECT_EQ(ResolveAccountServer("https://skin.example", pointing).error, msg::kAccountServerBadLocation);
  EXPECT_EQ(asked, std::vector<std::string>{"https://skin.example"});
}

}  // namespace
}  // namespace kv
