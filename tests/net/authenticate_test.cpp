#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "net/network_library.h"
#include "net/transfers.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/scoped_environment.h"

namespace kv {
namespace {

using test::FixturePath;
using test::ScopedEnvironment;

// An account service over HTTPS with the test CA's certificate, answering every sign-in with
// `status` and `reply`, and remembering what it was sent.
class AccountService {
 public:
  AccountService(int status, std::string reply)
      : server_(FixturePath("tls/server.pem").c_str(), FixturePath("tls/server.key").c_str()) {
    server_.Post("/authenticate", [this, status, reply](const httplib::Request& request, httplib::Response& response) {
      contentType_ = request.get_header_value("Content-Type");
      body_ = request.body;
      response.status = status;
      response.set_content(reply, "application/json");
    });
    // The home page of a site that points launchers at its API, and an old address of it.
    server_.Get("/", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_header("X-Authlib-Injector-API-Location", "/api/yggdrasil/");
      response.set_content("<html>skins</html>", "text/html");
    });
    server_.Get("/old", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/"); });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~AccountService() {
    // The connection kept for reuse would hold the server's stop for its keep-alive time.
    ReleaseThreadConnections();
    server_.stop();
    thread_.join();
  }

  std::string Base() const { return "https://127.0.0.1:" + std::to_string(port_); }
  std::string contentType_;
  std::string body_;

 private:
  httplib::SSLServer server_;
  int port_ = -1;
  std::thread thread_;
};

TEST(PostJson, TrustsTheServiceOnlyThroughTheConfiguredBundle) {
  AccountService service(200, R"({"accessToken":"t"})");
  {
    ScopedEnvironment noBundle("KORVANE_CA_BUNDLE", std::nullopt);
    const Result<WebAnswer> refused = PostJson(service.Base() + "/authenticate", R"({"username":"a","password":"secret"})");
    ASSERT_FALSE(refused);
    EXPECT_TRUE(service.body_.empty()) << "the password went to an unverified peer";
    EXPECT_EQ(refused.kind(), FailureKind::Unreachable);
  }
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  const Result<WebAnswer> answer = PostJson(service.Base() + "/authenticate", R"({"username":"a","password":"secret"})");
  ASSERT_TRUE(answer) << answer.message();
  EXPECT_EQ(answer->status, 200);
  EXPECT_EQ(answer->body, R"({"accessToken":"t"})");
  EXPECT_EQ(service.contentType_, "application/json");
  EXPECT_EQ(service.body_, R"({"username":"a","password":"secret"})");
}

TEST(PostJson, DeliversARefusalOfAnySizeWithItsStatus) {
  std::string refusal = R"({"error":"ForbiddenOperationException","errorMessage":")" + std::string(20000, 'x') + "\"}";
  AccountService service(403, refusal);
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  const Result<WebAnswer> answer = PostJson(service.Base() + "/authenticate", "");
  ASSERT_TRUE(answer) << answer.message();
  EXPECT_EQ(answer->status, 403);
  EXPECT_EQ(answer->body, refusal);
  EXPECT_EQ(service.body_, "");
}

TEST(PostJson, AReplyBeyondAMebibyteIsTooLarge) {
  AccountService service(200, std::string(2 * 1024 * 1024, 'x'));
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  const Result<WebAnswer> answer = PostJson(service.Base() + "/authenticate", "{}");
  ASSERT_FALSE(answer);
  EXPECT_EQ(answer.kind(), FailureKind::TooLarge);
}

TEST(FetchAnswer, ReportsARedirectWithoutFollowingIt) {
  AccountService service(200, "{}");
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  Result<WebAnswer> answer = FetchAnswer(service.Base() + "/old", "X-Authlib-Injector-API-Location");
  ASSERT_TRUE(answer) << answer.message();
  EXPECT_EQ(answer->status, 302);
  EXPECT_EQ(answer->redirect, service.Base() + "/");
  EXPECT_EQ(answer->header, "");
  answer = FetchAnswer(answer->redirect, "X-Authlib-Injector-API-Location");
  ASSERT_TRUE(answer) << answer.message();
  EXPECT_EQ(answer->status, 404);
  EXPECT_EQ(answer->body, "<html>skins</html>");
  EXPECT_EQ(answer->header, "/api/yggdrasil/");
  EXPECT_EQ(answer->redirect, "");
  answer = FetchAnswer("https://127.0.0.1:9/", "X-Authlib-Injector-API-Location");
  ASSERT_FALSE(answer);
  EXPECT_EQ(answer.kind(), FailureKind::Unreachable);
}

}  // namespace
}  // namespace kv
