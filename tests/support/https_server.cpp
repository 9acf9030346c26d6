#include "tests/support/https_server.h"

#include <memory>

#include "tests/support/fixtures.h"

namespace kv::test {

HttpsServer::HttpsServer()
    : server_(FixturePath("tls/server.pem").c_str(), FixturePath("tls/server.key").c_str()) {
  server_.set_keep_alive_max_count(1);
}

HttpsServer::~HttpsServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void HttpsServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] {
    server_.listen_after_bind();
    listenEnded_ = true;
  });
  // A stop that comes before the server runs is lost, and the server would then serve for
  // ever: a test that asks nothing of it stops it at once.
  while (!server_.is_running() && !listenEnded_.load()) std::this_thread::yield();
}

std::string HttpsServer::BaseUrl() const { return "https://127.0.0.1:" + std::to_string(port_); }

Json::Value ParseJsonObject(const std::string& text) {
  Json::Value value;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  reader->parse(text.data(), text.data() + text.size(), &value, &errors);
  return value.isObject() ? value : Json::Value(Json::objectValue);
}

void AnswerJson(httplib::Response& response, int status, const Json::Value& reply) {
  response.status = status;
  response.set_content(Json::writeString(Json::StreamWriterBuilder(), reply), "application/json");
}

}  // namespace kv::test
