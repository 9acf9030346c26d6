// Signing in to local HTTPS account servers: the token reused instead of the password, and
// the profile to play chosen and kept.
#include <gtest/gtest.h>

#include "auth/sign_in.h"
#include "auth/stored_credentials.h"
#include "platform/profile_store.h"
#include "settings/settings.h"
#include "tests/net/net_test_support.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/base64.h"
#include "util/messages.h"

namespace kv {
namespace {

using test::AuthServer;

class AccountSignIn : public ::testing::Test {
 protected:
  static AuthServer::Options Injector(std::vector<AuthServer::Profile> profiles = {{AuthServer::kProfileId, AuthServer::kProfileName}}) {
    AuthServer::Options options;
    options.kind = AuthServer::Kind::AuthlibInjector;
    options.homeLocation = AuthServer::Location::Relative;
    options.profiles = std::move(profiles);
    return options;
  }

  // korvane-cli login at `server`, which becomes the player's account.
  Result<SignedIn> Login(const AuthServer& server, const std::string& profileName = "", const ProfileChooser& choose = {}) {
    profile::WriteString(settings_, "KvCfg", "AuthServer", server.BaseUrl());
    profile::WriteString(settings_, "KvCfg", "UserName", EncodeSettingsText("steve@example.com"));
    profile::WriteString(settings_, "KvCfg", "PWD", EncodeSettingsText("right password"));
    return SignInWithCredentials({"steve@example.com", "right password", server.BaseUrl(), profileName}, settings_,
                                 network_, choose);
  }
  CSettings Settings() {
    CSettings settings(settings_);
    settings.Load();
    return settings;
  }
  Result<SignedIn> ForLaunch(const ProfileChooser& choose = {}) { return SignInForLaunch(Settings(), network_, choose); }
  StoredCredentials Stored() {
    StoredCredentials c;
    InitStoredCredentials(c, settings_);
    LoadStoredCredentials(c);
    return c;
  }

  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  test::ScopedEnvironment noOverride_{"KORVANE_AUTH_SERVER", std::nullopt};
  test::TempFolder dir_;
  std::string settings_ = dir_ / "KvCfg.ini";
  AccountTransport network_ = AccountTransport::Network();
};

TEST_F(AccountSignIn, LaunchesAfterLoginReuseTheTokenAndSendNoPassword) {
  AuthServer server("steve@example.com", "right password", Injector());
  const Result<SignedIn> login = Login(server);
  ASSERT_TRUE(login) << login.message();
  EXPECT_EQ(login->profileName, AuthServer::kProfileName);
  EXPECT_EQ(login->server.name, AuthServer::kServerName);
  EXPECT_EQ(SignedInServerName(Settings()), AuthServer::kServerName);
  EXPECT_EQ(server.PasswordRequests(), 1);

  for (int launch = 1; launch <= 2; ++launch) {
    const Result<SignedIn> result = ForLaunch();
    ASSERT_TRUE(result) << result.message();
    EXPECT_EQ(result->server.apiRoot, server.ApiRoot());
    EXPECT_EQ(result->profileName, AuthServer::kProfileName);
  }
  EXPECT_EQ(server.PasswordRequests(), 1);
  EXPECT_EQ(server.Requests("/api/yggdrasil/authserver/validate"), 2);
  EXPECT_EQ(Stored().accessToken, AuthServer::kAccessToken);
}

TEST_F(AccountSignIn, AnExpiredTokenIsRefreshedAndARevokedOneCostsThePassword) {
  AuthServer server("steve@example.com", "right password", Injector());
  ASSERT_TRUE(Login(server));

  server.ExpireTokens();
  ASSERT_TRUE(ForLaunch());
  EXPECT_EQ(server.PasswordRequests(), 1);
  EXPECT_EQ(server.Requests("/api/yggdrasil/authserver/refresh"), 1);
  const StoredCredentials refreshed = Stored();
  EXPECT_EQ(refreshed.accessToken, server.LastAccessToken());
  EXPECT_NE(refreshed.accessToken, AuthServer::kAccessToken);
  EXPECT_EQ(refreshed.profileName, AuthServer::kProfileName);

  server.RevokeTokens();
  ASSERT_TRUE(ForLaunch());
  EXPECT_EQ(server.PasswordRequests(), 2);
  EXPECT_EQ(Stored().accessToken, server.LastAccessToken());
  // The same client token all along: the server replaces this launcher's tokens.
  EXPECT_EQ(Stored().clientToken, refreshed.clientToken);
}

TEST_F(AccountSignIn, WhatWasGivenForOneServerNeverGoesToAnother) {
  AuthServer first("steve@example.com", "right password");
  ASSERT_TRUE(Login(first));
  AuthServer second("steve@example.com", "right password", Injector());
  // The setting changed behind the launcher's back (an older launcher, an editor): the name
  // and password still stand in the file, but they were given for the first server.
  profile::WriteString(settings_, "KvCfg", "AuthServer", second.BaseUrl());
  EXPECT_EQ(SignedInServerName(Settings()), "");
  const Result<SignedIn> refused = ForLaunch();
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.message(), msg::kSignInAgain);
  EXPECT_EQ(second.PasswordRequests(), 0);
  EXPECT_EQ(second.Requests("/"), 0);
  EXPECT_EQ(first.Requests("/validate"), 0);

  // Signed in again there, the launches use its token.
  ASSERT_TRUE(Login(second));
  ASSERT_TRUE(ForLaunch());
  EXPECT_EQ(SignedInServerName(Settings()), AuthServer::kServerName);
  EXPECT_EQ(second.PasswordRequests(), 1);
  EXPECT_EQ(second.Requests("/api/yggdrasil/authserver/validate"), 1);
}

TEST_F(AccountSignIn, AnUnreachableServerIsSaidSoAndTheTokenStays) {
  std::string address;
  {
    AuthServer server("steve@example.com", "right password", Injector());
    ASSERT_TRUE(Login(server));
    address = server.BaseUrl();
  }
  const Result<SignedIn> result = ForLaunch();
  ASSERT_FALSE(result);
  EXPECT_EQ(result.kind(), FailureKind::Unreachable);
  EXPECT_EQ(result.message(), msg::kAccountServerUnreachable);
  EXPECT_EQ(Stored().accessToken, AuthServer::kAccessToken);
  EXPECT_EQ(Stored().tokenServer, address);
}

TEST_F(AccountSignIn, OfSeveralProfilesOneIsChosenAndKept) {
  AuthServer server("steve@example.com", "right password",
                    Injector({{"a1", "Alex"}, {"s1", "Steve"}, {"n1", "Noor"}}));
  // Nobody to ask: the profiles are named, and nothing is stored.
  Result<SignedIn> result = Login(server);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.message(), msg::ProfileChoiceNeeded({"Alex", "Steve", "Noor"}));
  EXPECT_EQ(Stored().accessToken, "");
  // A name that is not one of them.
  EXPECT_EQ(Login(server, "Herobrine").message(), msg::NoSuchProfile("Herobrine", {"Alex", "Steve", "Noor"}));

  // Named beforehand (korvane-cli login --profile): the token is bound to it with a refresh.
  result = Login(server, "Noor");
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(result->profileName, "Noor");
  EXPECT_EQ(Stored().profileId, "n1");
  EXPECT_EQ(Stored().accessToken, server.LastAccessToken());
  EXPECT_EQ(server.Requests("/api/yggdrasil/authserver/refresh"), 1);

  // The password again later: the kept profile is taken without asking.
  server.RevokeTokens();
  bool asked = false;
  result = ForLaunch([&asked](const std::vector<GameProfile>&) {
    asked = true;
    return std::optional<std::size_t>(0);
  });
  ASSERT_TRUE(result) << result.message();
  EXPECT_FALSE(asked);
  EXPECT_EQ(result->profileName, "Noor");

  // A player who has never chosen is asked, and may decline.
  profile::DeleteSection(settings_, "AuthCfg");
  std::vector<std::string> offered;
  result = ForLaunch([&offered](const std::vector<GameProfile>& profiles) {
    for (const GameProfile& profile : profiles) offered.push_back(profile.name);
    return std::optional<std::size_t>();
  });
  EXPECT_EQ(result.message(), msg::kProfileNotChosen);
  EXPECT_EQ(offered, (std::vector<std::string>{"Alex", "Steve", "Noor"}));
  result = ForLaunch([](const std::vector<GameProfile>&) { return std::optional<std::size_t>(1); });
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(Stored().profileName, "Steve");
}

TEST_F(AccountSignIn, AMicrosoftAccountIsNamedAsSuchWhateverWasSignedInBefore) {
  AuthServer server("steve@example.com", "right password", Injector());
  ASSERT_TRUE(Login(server));
  profile::WriteString(settings_, "KvCfg", "AuthServer", "Microsoft");
  EXPECT_EQ(SignedInServerName(Settings()), msg::kMicrosoftAccount);
}

}  // namespace
}  // namespace kv
