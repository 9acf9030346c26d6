#include "auth/sign_in.h"

#include <gtest/gtest.h>

#include "auth/stored_credentials.h"
#include "platform/profile_store.h"
#include "settings/settings.h"
#include "tests/support/temp_folder.h"
#include "util/base64.h"
#include "util/messages.h"

namespace kv {
namespace {

TEST(AuthRequest, CompactWithMembersInKeyOrder) {
  AuthRequest request;
  request.username = "史蒂夫";
  request.password = "p\"w\n";
  std::string text = BuildAuthRequest(request);
  EXPECT_EQ(text,
            "{\"agent\":{\"name\":\"minecraft\",\"version\":14},\"clientToken\":\"\","
            "\"password\":\"p\\\"w\\n\",\"username\":\"\\u53f2\\u8482\\u592b\"}\n");
}

class SignIn : public ::testing::Test {
 protected:
  // A plain account service that answers every post with `reply` (or lets the transfer time
  // out) and remembers the request.
  AccountTransport Service(std::string reply, bool transferOk = true) {
    AccountTransport transport;
    transport.get = [](const std::string&) { return AccountReply{.status = 404, .body = "no such page"}; };
    transport.post = [this, reply, transferOk](const std::string& url, const std::string& request) -> Result<AccountReply> {
      url_ = url;
      sent_ = request;
      if (!transferOk) return Fail(FailureKind::TimedOut, msg::kSignInTimedOut);
      return AccountReply{.status = 200, .body = reply};
    };
    return transport;
  }
  Result<SignedIn> SignInWith(const AccountTransport& transport) {
    return SignInWithCredentials({"steve@example.com", "pw", "https://auth.example/", ""}, settings_, transport);
  }
  void StoreEarlierSignIn() {
    StoredCredentials earlier;
    InitStoredCredentials(earlier, settings_);
    earlier.accessToken = "earlier-token";
    earlier.profileName = "Earlier";
    ASSERT_TRUE(SaveStoredCredentials(earlier));
  }
  StoredCredentials Stored() {
    StoredCredentials c;
    InitStoredCredentials(c, settings_);
    LoadStoredCredentials(c);
    return c;
  }

  test::TempFolder dir_;
  std::string settings_ = dir_ / "KvCfg.ini";
  std::string url_;
  std::string sent_;
};

TEST_F(SignIn, SuccessStoresTokensAndProfile) {
  const Result<SignedIn> result = SignInWith(
      Service(R"({"accessToken":"tok","clientToken":"ct","availableProfiles":[],)"
              R"("selectedProfile":{"id":"4566e69f","name":"Steve","legacy":true}})"));
  ASSERT_TRUE(result) << result.message();
  EXPECT_EQ(result->profileName, "Steve");
  EXPECT_EQ(url_, "https://auth.example/authenticate");
  EXPECT_NE(sent_.find("\"username\":\"steve@example.com\""), std::string::npos);
  // A client token of the launcher's own, kept for the next sign-in.
  EXPECT_EQ(sent_.find("\"clientToken\":\"\""), std::string::npos) << sent_;
  StoredCredentials c = Stored();
  EXPECT_EQ(c.accessToken, "tok");
  EXPECT_EQ(c.clientToken, "ct");
  EXPECT_EQ(c.profileId, "4566e69f");
  EXPECT_EQ(c.profileName, "Steve");
  EXPECT_EQ(UserTypeOf(c), "legacy");
}

TEST_F(SignIn, SuccessWithoutProfileStoresEmptyProfile) {
  ASSERT_TRUE(SignInWith(Service(R"({"accessToken":"tok"})")));
  EXPECT_EQ(Stored().profileName, "");
  EXPECT_EQ(UserTypeOf(Stored()), "mojang");
}

TEST_F(SignIn, FailuresKeepTheEarlierCredentials) {
  StoreEarlierSignIn();
  struct Case {
    std::string reply;
    bool transferOk;
    std::string expected;
    FailureKind kind = FailureKind::Invalid;
  };
  const Case cases[] = {
      {"", false, "登录超时", FailureKind::TimedOut},
      {"", true, "未请求到数据"},
      {R"({"error":"ForbiddenOperationException","errorMessage":"Invalid credentials.","cause":"x"})",
       true, "错误:ForbiddenOperationException 错误信息:Invalid credentials.", FailureKind::Refused},
      // Neither an error nor a success: a portal's page, a cut-off body, a wrong document.
      {"<html><body>Please log in to the hotel Wi-Fi</body></html>", true, "未请求到数据"},
      {R"({"accessToken":"tok","selectedProf)", true, "未请求到数据"},
      {R"({"accessToken":17,"selectedProfile":"x"})", true, "未请求到数据"},
      {"[1,2,3]", true, "未请求到数据"},
      {std::string(100000, '[') , true, "未请求到数据"},
  };
  for (const Case& c : cases) {
    const Result<SignedIn> result = SignInWith(Service(c.reply, c.transferOk));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.message(), c.expected) << c.reply.substr(0, 60);
    EXPECT_EQ(result.kind(), c.kind) << c.reply.substr(0, 60);
    EXPECT_EQ(Stored().accessToken, "earlier-token");
    EXPECT_EQ(Stored().profileName, "Earlier");
  }
}

TEST_F(SignIn, WrongTypesInASuccessReplyReadAsEmpty) {
  ASSERT_TRUE(
      SignInWith(Service(R"({"accessToken":"tok","clientToken":[1],"selectedProfile":{"id":5,"name":{},"legacy":"yes"}})"))
          .ok());
  StoredCredentials c = Stored();
  EXPECT_EQ(c.accessToken, "tok");
  // The service named none: the launcher's own stays.
  EXPECT_EQ(c.clientToken.size(), 32u);
  EXPECT_EQ(c.profileId, "");
  EXPECT_EQ(c.legacy, 0);
}

TEST_F(SignIn, ForALaunchWithoutATokenUsesTheStoredNameAndPassword) {
  profile::WriteString(settings_, "KvCfg", "UserName", "yre23bfy");  // 史蒂夫, as stored
  profile::WriteString(settings_, "KvCfg", "PWD", EncodeSettingsText("pw"));
  profile::WriteString(settings_, "KvCfg", "AuthServer", "https://auth.example");
  CSettings settings(settings_);
  settings.Load();
  const Result<SignedIn> result = SignInForLaunch(settings, Service("", false));
  EXPECT_NE(sent_.find("\"username\":\"\\u53f2\\u8482\\u592b\""), std::string::npos) << sent_;
  EXPECT_EQ(result.message(), "登录超时");
}

TEST_F(SignIn, ForALaunchWithoutTokenOrPasswordNothingIsSent) {
  profile::WriteString(settings_, "KvCfg", "UserName", EncodeSettingsText("steve@example.com"));
  CSettings settings(settings_);
  settings.Load();
  bool asked = false;
  AccountTransport transport = Service(R"({"accessToken":"tok"})");
  transport.get = [&asked](const std::string&) {
    asked = true;
    return AccountReply{.status = 404};
  };
  const Result<SignedIn> result = SignInForLaunch(settings, transport);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.message(), msg::kSignInAgain);
  EXPECT_FALSE(asked);
  EXPECT_EQ(sent_, "");
}

TEST_F(SignIn, WhatTheServerSaysReachesThePlayerWithoutControlCharacters) {
  // A terminal would clear its screen and retitle its window; C1's CSI (U+009B) and a byte that
  // is no UTF-8 are no better.
  Result<SignedIn> result = SignInWith(Service(
      R"({"error":"Forbidden\u001b[2J","errorMessage":"\u001b]0;pwned\u0007Bad\r\npassword\u009b31m)" "\xFF" R"("})"));
  ASSERT_FALSE(result);
  EXPECT_EQ(result.message(), "错误:Forbidden?[2J 错误信息:?]0;pwned?Bad??password?31m?");
  // A profile's name is shown as the server's texts are; a token that is no text is no token.
  ASSERT_TRUE(SignInWith(Service(R"({"accessToken":"tok","selectedProfile":{"id":"1","name":"\u001b[31mSteve"}})")));
  EXPECT_EQ(Stored().profileName, "?[31mSteve");
  result = SignInWith(Service(R"({"accessToken":"tok\u001b[2J","selectedProfile":{"id":"1","name":"Steve"}})"));
  EXPECT_EQ(result.message(), msg::kSignInNoData);
  EXPECT_EQ(Stored().profileName, "?[31mSteve");
}

}  // namespace
}  // namespace kv
