#include "auth/sign_in.h"

#include <gtest/gtest.h>

#include "auth/stored_credentials.h"
#include "platform/profile_store.h"
#include "settings/settings.h"
#include "tests/support/temp_folder.h"

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
    transport.get = [](const std::string&) { return AccountReply{true, 404, "no such page", {}}; };
    transport.post = [this, reply, transferOk](const std::string& url, const std::string& request) {
      url_ = url;
      sent_ = request;
      return AccountReply{transferOk, 200, transferOk ? reply : "", {}, NoAnswerReason::TimedOut};
    };
    return transport;
  }
  SignInResult SignInWith(const AccountTransport& transport) {
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
  const SignInResult result = SignInWith(
      Service(R"({"accessToken":"tok","clientToken":"ct","availableProfiles":[],)"
              R"("selectedProfile":{"id":"4566e69f","name":"Steve","legacy":true}})"));
  ASSERT_TRUE(result.signedIn);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.profileName, "Steve");
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
  ASSERT_TRUE(SignInWith(Service(R"({"accessToken":"tok"})")).signedIn);
  EXPECT_EQ(Stored().profileName, "");
  EXPECT_EQ(UserTypeOf(Stored()), "mojang");
}

TEST_F(SignIn, FailuresKeepTheEarlierCredentials) {
  StoreEarlierSignIn();
  struct Case {
    std::string reply;
    bool transferOk;
    std::string expected;
  };
  const Case cases[] = {
      {"", false, "登录超时"},
      {"", true, "未请求到数据"},
      {R"({"error":"ForbiddenOperationException","errorMessage":"Invalid credentials.","cause":"x"})",
       true, "错误:ForbiddenOperationException 错误信息:Invalid credentials."},
      // Neither an error nor a success: a portal's page, a cut-off body, a wrong document.
      {"<html><body>Please log in to the hotel Wi-Fi</body></html>", true, "未请求到数据"},
      {R"({"accessToken":"tok","selectedProf)", true, "未请求到数据"},
      {R"({"accessToken":17,"selectedProfile":"x"})", true, "未请求到数据"},
      {"[1,2,3]", true, "未请求到数据"},
      {std::string(100000, '[') , true, "未请求到数据"},
  };
  for (const Case& c : cases) {
    const SignInResult result = SignInWith(Service(c.reply, c.transferOk));
    EXPECT_FALSE(result.signedIn);
    EXPECT_EQ(result.error, c.expected) << c.reply.substr(0, 60);
    EXPECT_EQ(Stored().accessToken, "earlier-token");
    EXPECT_EQ(Stored().profileName, "Earlier");
  }
}

TEST_F(SignIn, WrongTypesInASuccessReplyReadAsEmpty) {
  ASSERT_TRUE(
      SignInWith(Service(R"({"accessToken":"tok","clientToken":[1],"selectedProfile":{"id":5,"name":{},"legacy":"yes"}})"))
          .signedIn);
  StoredCredentials c = Stored();
  EXPECT_EQ(c.accessToken, "tok");
  // The service named none: the launcher's own stays.
  EXPECT_EQ(c.clientToken.size(), 32u);
  EXPECT_EQ(c.profileId, "");
  EXPECT_EQ(c.legacy, 0);
}

TEST_F(SignIn, ForALaunchWithoutATokenUsesTheStoredNameAndPassword) {
  profile::WriteString(settings_, "KvCfg", "UserName", "yre23bfy");  // 史蒂夫, as stored
  profile::WriteString(settings_, "KvCfg", "AuthServer", "https://auth.example");
  CSettings settings(settings_);
  settings.Load();
  const SignInResult result = SignInForLaunch(settings, Service("", false));
  EXPECT_NE(sent_.find("\"username\":\"\\u53f2\\u8482\\u592b\""), std::string::npos) << sent_;
  EXPECT_EQ(result.error, "登录超时");
}

}  // namespace
}  // namespace kv
