#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "net/network_library.h"
#include "net/transfers.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"

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
  std::string reply;
  long status = 0;
  {
    ScopedEnvironment noBundle("KORVANE_CA_BUNDLE", std::nullopt);
    NoAnswerReason why = NoAnswerReason::Other;
    EXPECT_FALSE(
        PostJson(service.Base() + "/authenticate", R"({"username":"a","password":"secret"})", reply, status, &why));
    EXPECT_TRUE(service.body_.empty()) << "the password went to an unverified peer";
    EXPECT_EQ(why, NoAnswerReason::Unreachable);
  }
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  EXPECT_TRUE(PostJson(service.Base() + "/authenticate", R"({"username":"a","password":"secret"})", reply, status));
  EXPECT_EQ(status, 200);
  EXPECT_EQ(reply, R"({"accessToken":"t"})");
  EXPECT_EQ(service.contentType_, "application/json");
  EXPECT_EQ(service.body_, R"({"username":"a","password":"secret"})");
}

TEST(PostJson, DeliversARefusalOfAnySizeWithItsStatus) {
  std::string refusal = R"({"error":"ForbiddenOperationException","errorMessage":")" + std::string(20000, 'x') + "\"}";
  AccountService service(403, refusal);
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  std::string reply;
  long status = 0;
  EXPECT_TRUE(PostJson(service.Base() + "/authenticate", "", reply, status));
  EXPECT_EQ(status, 403);
  EXPECT_EQ(reply, refusal);
  EXPECT_EQ(service.body_, "");
}

TEST(PostJson, AReplyBeyondAMebibyteIsRefused) {
  AccountService service(200, std::string(2 * 1024 * 1024, 'x'));
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  std::string reply;
  long status = 0;
  EXPECT_FALSE(PostJson(service.Base() + "/authenticate", "{}", reply, status));
  EXPECT_LE(reply.size(), 1024u * 1024);
}

TEST(FetchAnswer, ReadsTheStatusBodyAndHeaderOfTheFinalAnswer) {
  AccountService service(200, "{}");
  ScopedEnvironment bundle("KORVANE_CA_BUNDLE", FixturePath("tls/ca.pem"));
  WebAnswer answer;
  ASSERT_TRUE(FetchAnswer(service.Base() + "/old", "X-Authlib-Injector-API-Location", answer));
  EXPECT_EQ(answer.status, 404);
  EXPECT_EQ(answer.body, "<html>skins</html>");
  EXPECT_EQ(answer.header, "/api/yggdrasil/");
  ASSERT_TRUE(FetchAnswer(service.Base() + "/authenticate", "X-Authlib-Injector-API-Location", answer));
  EXPECT_EQ(answer.header, "");
  EXPECT_FALSE(FetchAnswer("https://127.0.0.1:9/", "X-Authlib-Injector-API-Location", answer));
  EXPECT_EQ(answer.why, NoAnswerReason::Unreachable);
}

}  // namespace
}  // namespace kv
