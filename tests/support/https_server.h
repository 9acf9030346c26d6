#pragma once

#include <httplib.h>
#include <json/json.h>

#include <atomic>
#include <string>
#include <thread>

namespace kv::test {

// An HTTPS server on 127.0.0.1 with the test certificate of tests/fixtures/tls (clients trust
// it through KORVANE_CA_BUNDLE). Add the routes to Routes(), then Start(). Every connection
// serves one request, so that no client's kept connection holds up the server's stop.
class HttpsServer {
 public:
  HttpsServer();
  ~HttpsServer();
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  httplib::SSLServer& Routes() { return server_; }
  void Start();
  // "https://127.0.0.1:<port>".
  std::string BaseUrl() const;

 private:
  httplib::SSLServer server_;
  std::thread thread_;
  std::atomic<bool> listenEnded_{false};
  int port_ = -1;
};

// A request's body as a JSON object; an empty object for anything else.
Json::Value ParseJsonObject(const std::string& text);

// Answers with `reply` as JSON and the given status.
void AnswerJson(httplib::Response& response, int status, const Json::Value& reply);

}  // namespace kv::test
