// Signing a Microsoft account in against a local stand-in of Microsoft's, Xbox Live's and the
// game's hosts: the device code's polling, every refusal with its text and nothing kept, the
// cancellation, the kept account reused before launches and renewed without the player.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "auth/microsoft_services.h"
#include "auth/microsoft_sign_in.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/microsoft_server.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using test::MicrosoftServer;
using namespace std::chrono_literals;

class MicrosoftSignIn : public ::testing::Test {
 protected:
  void Serve(MicrosoftServer::Options options = {}) {
    server_ = std::make_unique<MicrosoftServer>(std::move(options));
    root_ = std::make_unique<test::ScopedEnvironment>("KORVANE_OFFICIAL_ROOT", server_->BaseUrl());
  }

  // The sign-in, its waits between polls recorded instead of waited.
  Result<MicrosoftAccount> SignIn(const std::string& clientId = MicrosoftServer::kClientId) {
    DeviceCodeSignIn how;
    how.clientId = clientId;
    how.accountPath = accountPath_;
    how.showCode = [this](const DeviceCode& code) {
      shown_ = code;
      pollsBeforeShown_ = server_->Requests(MicrosoftServer::kTokenPath);
    };
    how.wait = [this](std::chrono::seconds interval) {
      waits_.push_back(static_cast<int>(interval.count()));
      return true;
    };
    return SignInWithDeviceCode(how, network_, cancel_);
  }

  Result<MicrosoftAccount> ForLaunch(std::chrono::system_clock::time_point now) {
    return MicrosoftAccountForLaunch(accountPath_, MicrosoftServer::kClientId, network_, now);
  }

  static std::chrono::system_clock::time_point At(std::int64_t seconds) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
  }

  test::ScopedEnvironment bundle_{"KORVANE_CA_BUNDLE", test::FixturePath("tls/ca.pem")};
  std::unique_ptr<MicrosoftServer> server_;
  std::unique_ptr<test::ScopedEnvironment> root_;
  test::TempFolder dir_;
  std::string accountPath_ = MicrosoftAccountPath(dir_ / "KvCfg.ini");
  AccountTransport network_ = AccountTransport::Network();
  Cancellation cancel_;
  std::optional<DeviceCode> shown_;
  int pollsBeforeShown_ = -1;
  std::vector<int> waits_;
};

TEST_F(MicrosoftSignIn, PollsAsTheServiceAsksThenKeepsTheAccountForThePlayerAlone) {
  Serve({.polls = {"authorization_pending", "authorization_pending", "slow_down"}});
  const Result<MicrosoftAccount> account = SignIn();
  ASSERT_TRUE(account) << account.message();

  ASSERT_TRUE(shown_);
  EXPECT_EQ(pollsBeforeShown_, 0);
  EXPECT_EQ(shown_->userCode, MicrosoftServer::kUserCode);
  EXPECT_EQ(shown_->verificationUri, MicrosoftServer::kVerificationUri);
  // Every poll one interval after the last; slow_down adds five seconds for good.
  EXPECT_EQ(waits_, (std::vector<int>{1, 1, 1, 6}));
  EXPECT_EQ(server_->Requests(MicrosoftServer::kTokenPath), 4);

  EXPECT_EQ(account->profile.name, MicrosoftServer::kProfileName);
  EXPECT_EQ(account->profile.id, MicrosoftServer::kProfileId);
  ASSERT_EQ(account->profile.skins.size(), 1u);
  EXPECT_EQ(account->profile.skins[0].variant, "CLASSIC");
  EXPECT_EQ(account->accessToken, server_->GameToken());
  EXPECT_EQ(account->refreshToken, server_->RefreshToken());
  EXPECT_EQ(account->userHash, MicrosoftServer::kUserHash);
  EXPECT_EQ(LaunchXuid(*account), MicrosoftServer::kXuid);

  const Result<MicrosoftAccount> kept = LoadMicrosoftAccount(accountPath_);
  ASSERT_TRUE(kept) << kept.message();
  EXPECT_EQ(kept->accessToken, account->accessToken);
  EXPECT_EQ(kept->refreshToken, account->refreshToken);
  EXPECT_EQ(kept->expiresAt, account->expiresAt);
  EXPECT_EQ(kept->xuid, MicrosoftServer::kXuid);
  EXPECT_EQ(kept->profile.skins.size(), 1u);
  struct stat info {};
  ASSERT_EQ(::stat(accountPath_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(MicrosoftSignIn, WithoutAnXboxUserIdTheGameIsGivenTheUserHash) {
  Serve({.withXuid = false});
  const Result<MicrosoftAccount> account = SignIn();
  ASSERT_TRUE(account) << account.message();
  EXPECT_EQ(LaunchXuid(*account), MicrosoftServer::kUserHash);
}

TEST_F(MicrosoftSignIn, EveryTokenGoesOnlyToTheHostOfItsStep) {
  Serve({.gameTokenLifetime = 60});
  const Result<MicrosoftAccount> first = SignIn();
  ASSERT_TRUE(first) << first.message();
  const std::string firstRefresh = first->refreshToken;
  const Result<MicrosoftAccount> renewed = ForLaunch(std::chrono::system_clock::now());
  ASSERT_TRUE(renewed) << renewed.message();

  const std::string microsoftToken = "eyJ0eXAiOiJKV1QiLCJhbGciOiJSUzI1NiIsIng1dCI6Ik5HVEZ2ZEstZnl0aEV1Q";
  for (const MicrosoftServer::Seen& request : server_->Requests()) {
    const std::string sent = request.authorization + " " + request.body;
    const bool login = request.path.rfind("/login.microsoftonline.com/", 0) == 0;
    const bool xboxLive = request.path == MicrosoftServer::kXboxLivePath;
    const bool game = request.path.rfind("/api.minecraftservices.com/", 0) == 0;
    EXPECT_EQ(sent.find("AwABAAAAvPM1KaPlrEqdFSBzjqfTGAMxZGUTdM0t4B4") != std::string::npos && !login, false) << request.path;
    EXPECT_EQ(sent.find(microsoftToken) != std::string::npos && !xboxLive, false) << request.path;
    EXPECT_EQ(sent.find("xbl-") != std::string::npos && request.path != MicrosoftServer::kXstsPath, false) << request.path;
    EXPECT_EQ(sent.find("xsts-") != std::string::npos && request.path != MicrosoftServer::kGameLoginPath, false)
        << request.path;
    EXPECT_EQ(!request.authorization.empty() && !game, false) << request.path;
  }
  EXPECT_NE(renewed->refreshToken, firstRefresh);
}

struct Refusal {
  const char* name;
  MicrosoftServer::Options options;
  FailureKind kind;
  std::string message;
};

class MicrosoftRefusal : public MicrosoftSignIn, public ::testing::WithParamInterface<Refusal> {};

TEST_P(MicrosoftRefusal, SaysWhatThePlayerCanDoAndKeepsNothing) {
  Serve(GetParam().options);
  const Result<MicrosoftAccount> account = SignIn();
  ASSERT_FALSE(account);
  EXPECT_EQ(FailureKindName(account.kind()), FailureKindName(GetParam().kind));
  EXPECT_EQ(account.message(), GetParam().message);
  EXPECT_FALSE(PathExists(accountPath_));
}

Refusal Xerr(const char* name, const char* code, std::string message) {
  return {name, {.xerr = code}, FailureKind::Refused, message};
}

INSTANTIATE_TEST_SUITE_P(
    EveryAnswer, MicrosoftRefusal,
    ::testing::Values(
        Xerr("NoXboxProfile", "2148916233", msg::kXboxNoProfile),
        Xerr("NotInRegion", "2148916235", msg::kXboxNotInRegion),
        Xerr("AdultCheck", "2148916236", msg::kXboxAdultCheck),
        Xerr("AdultCheckPending", "2148916237", msg::kXboxAdultCheck),
        Xerr("ChildAccount", "2148916238", msg::kXboxChildAccount),
        Xerr("Banned", "2148916227", msg::kXboxBanned),
        Xerr("GuardianBlocks", "2148916229", msg::kXboxGuardianBlocks),
        Xerr("TermsNotAccepted", "2148916234", msg::kXboxTermsNotAccepted),
        Xerr("UnknownXErr", "2148916999", msg::XboxRefused("2148916999")),
        Refusal{"OtherUserHash", {.xstsOtherUser = true}, FailureKind::Mismatch, msg::kXboxUserHashMismatch},
        Refusal{"ApplicationNotApproved", {.gameLoginForbidden = true}, FailureKind::Refused, msg::kMsaAppNotApproved},
        Refusal{"NoGame", {.ownsGame = false}, FailureKind::NotFound, msg::kMsaNoGame},
        Refusal{"NoProfile", {.hasProfile = false}, FailureKind::NotFound, msg::kMsaNoProfile},
        Refusal{"CodeExpired", {.polls = {"authorization_pending", "expired_token"}}, FailureKind::TimedOut,
                msg::kMsaCodeExpired},
        Refusal{"Declined", {.polls = {"authorization_declined"}}, FailureKind::Refused, msg::kMsaDeclined},
        Refusal{"AccessDenied", {.polls = {"access_denied"}}, FailureKind::Refused, msg::kMsaAccessDenied}),
    [](const ::testing::TestParamInfo<Refusal>& refusal) { return std::string(refusal.param.name); });

TEST_F(MicrosoftSignIn, PollingStopsOnceTheCodeHasExpiredWhateverTheServiceSays) {
  Serve({.holdPolls = true, .interval = 2, .expiresIn = 5});
  const Result<MicrosoftAccount> account = SignIn();
  ASSERT_FALSE(account);
  EXPECT_EQ(account.kind(), FailureKind::TimedOut);
  EXPECT_EQ(account.message(), msg::kMsaCodeExpired);
  EXPECT_FALSE(PathExists(accountPath_));
  EXPECT_EQ(waits_, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(server_->Requests(MicrosoftServer::kTokenPath), 3);
}

TEST_F(MicrosoftSignIn, CancellingWhileWaitingForThePlayerEndsAtOnceAndKeepsNothing) {
  Serve({.holdPolls = true, .expiresIn = 60});
  DeviceCodeSignIn how;
  how.clientId = MicrosoftServer::kClientId;
  how.accountPath = accountPath_;
  std::atomic<bool> shown{false};
  how.showCode = [&shown](const DeviceCode&) { shown = true; };
  std::optional<Result<MicrosoftAccount>> result;
  std::thread signIn([&] { result = SignInWithDeviceCode(how, network_, cancel_); });
  while (!shown.load() || server_->Requests(MicrosoftServer::kTokenPath) == 0) std::this_thread::sleep_for(5ms);
  cancel_.Cancel();
  signIn.join();
  ASSERT_TRUE(result);
  ASSERT_FALSE(*result);
  EXPECT_EQ(result->kind(), FailureKind::Cancelled);
  EXPECT_EQ(result->message(), msg::kMsaSignInCancelled);
  EXPECT_FALSE(PathExists(accountPath_));
}

TEST_F(MicrosoftSignIn, WithoutAnApplicationIdNothingIsAsked) {
  Serve();
  const Result<MicrosoftAccount> account = SignIn("");
  ASSERT_FALSE(account);
  EXPECT_EQ(account.kind(), FailureKind::Unsupported);
  EXPECT_EQ(account.message(), msg::kMsaNoClientId);
  EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(MicrosoftSignIn, TheApplicationIdOfTheEnvironmentStandsOverTheSetting) {
  {
    test::ScopedEnvironment none("KORVANE_MSA_CLIENT_ID", std::nullopt);
    EXPECT_EQ(microsoft::ClientId("from-setting"), "from-setting");
  }
  test::ScopedEnvironment given("KORVANE_MSA_CLIENT_ID", "from-environment");
  EXPECT_EQ(microsoft::ClientId("from-setting"), "from-environment");
}

TEST_F(MicrosoftSignIn, AFreshTokenIsUsedWithoutAnyRequestAndAnEndingOneIsRenewed) {
  Serve();
  const Result<MicrosoftAccount> account = SignIn();
  ASSERT_TRUE(account) << account.message();
  const std::size_t asked = server_->Requests().size();

  // More than ten minutes left: as it is.
  const Result<MicrosoftAccount> fresh = ForLaunch(At(account->expiresAt - 601));
  ASSERT_TRUE(fresh) << fresh.message();
  EXPECT_EQ(fresh->accessToken, account->accessToken);
  EXPECT_EQ(server_->Requests().size(), asked);

  // Ten minutes or less: the refresh token and the steps after Microsoft's, nothing else.
  const Result<MicrosoftAccount> renewed = ForLaunch(At(account->expiresAt - 600));
  ASSERT_TRUE(renewed) << renewed.message();
  const std::vector<MicrosoftServer::Seen> requests = server_->Requests();
  std::vector<std::string> paths;
  for (std::size_t i = asked; i < requests.size(); ++i) paths.push_back(requests[i].path);
  EXPECT_EQ(paths, (std::vector<std::string>{MicrosoftServer::kTokenPath, MicrosoftServer::kXboxLivePath,
                                             MicrosoftServer::kXstsPath, MicrosoftServer::kGameLoginPath,
                                             MicrosoftServer::kEntitlementsPath, MicrosoftServer::kProfilePath}));
  EXPECT_NE(requests[asked].body.find("grant_type=refresh_token"), std::string::npos);
  EXPECT_EQ(renewed->accessToken, server_->GameToken());
  EXPECT_NE(renewed->accessToken, account->accessToken);
  // The new refresh token is the one kept for the next time.
  const Result<MicrosoftAccount> kept = LoadMicrosoftAccount(accountPath_);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->refreshToken, server_->RefreshToken());
  EXPECT_NE(kept->refreshToken, account->refreshToken);
  EXPECT_EQ(kept->accessToken, renewed->accessToken);
}

TEST_F(MicrosoftSignIn, ARefreshTokenNoLongerTakenAsksForANewSignIn) {
  Serve({.gameTokenLifetime = 60});
  ASSERT_TRUE(SignIn());
  const std::string before = test::ReadFile(accountPath_);
  server_->RevokeRefreshTokens();
  const Result<MicrosoftAccount> account = ForLaunch(std::chrono::system_clock::now());
  ASSERT_FALSE(account);
  EXPECT_EQ(account.kind(), FailureKind::Refused);
  EXPECT_EQ(account.message(), msg::kMsaSignInAgain);
  EXPECT_EQ(test::ReadFile(accountPath_), before);
}

TEST_F(MicrosoftSignIn, NoKeptAccountOrADamagedOneIsSaidAsSuch) {
  Serve();
  Result<MicrosoftAccount> none = ForLaunch(std::chrono::system_clock::now());
  ASSERT_FALSE(none);
  EXPECT_EQ(none.kind(), FailureKind::NotFound);
  EXPECT_EQ(none.message(), msg::kMsaNotSignedIn);
  for (const char* damaged : {"{\"refreshToken\": 12}", "not json", "{\"refreshToken\":\"r\",\"accessToken\":\"a\"}"}) {
    test::WriteFile(accountPath_, damaged);
    Result<MicrosoftAccount> account = ForLaunch(std::chrono::system_clock::now());
    ASSERT_FALSE(account) << damaged;
    EXPECT_EQ(account.kind(), FailureKind::Invalid) << damaged;
  }
  EXPECT_TRUE(server_->Requests().empty());
  ASSERT_TRUE(ForgetMicrosoftAccount(accountPath_));
  EXPECT_FALSE(PathExists(accountPath_));
  EXPECT_TRUE(ForgetMicrosoftAccount(accountPath_));
}

}  // namespace
}  // namespace kv
