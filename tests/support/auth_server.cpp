#include "tests/support/auth_server.h"

#include <httplib.h>
#include <json/json.h>

#include <atomic>
#include <thread>

#include "tests/support/fixtures.h"

namespace kv::test {

struct AuthServer::State {
  State() : server(FixturePath("tls/server.pem").c_str(), FixturePath("tls/server.key").c_str()) {}
  httplib::SSLServer server;
  std::thread thread;
  int port = 0;
  std::atomic<int> requests{0};
};

AuthServer::AuthServer(std::string user, std::string password, std::string accessToken)
    : state_(std::make_unique<State>()) {
  state_->server.Post("/authenticate", [this, user, password, accessToken](const httplib::Request& request,
                                                                           httplib::Response& response) {
    ++state_->requests;
    Json::Value body;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    reader->parse(request.body.data(), request.body.data() + request.body.size(), &body, &errors);
    Json::Value reply(Json::objectValue);
    if (body.isObject() && body["username"].asString() == user && body["password"].asString() == password &&
        body["agent"]["name"].asString() == "minecraft" && body["agent"]["version"].asInt() == 14) {
      reply["accessToken"] = accessToken;
      reply["clientToken"] = "client-token";
      reply["selectedProfile"]["id"] = kProfileId;
      reply["selectedProfile"]["name"] = kProfileName;
    } else {
      response.status = 403;
      reply["error"] = "ForbiddenOperationException";
      reply["errorMessage"] = kErrorMessage;
    }
    response.set_content(Json::writeString(Json::StreamWriterBuilder(), reply), "application/json");
  });
  state_->port = state_->server.bind_to_any_port("127.0.0.1");
  state_->thread = std::thread([this] { state_->server.listen_after_bind(); });
}

AuthServer::~AuthServer() {
  state_->server.stop();
  if (state_->thread.joinable()) state_->thread.join();
}

std::string AuthServer::BaseUrl() const { return "https://127.0.0.1:" + std::to_string(state_->port); }

int AuthServer::Requests() const { return state_->requests.load(); }

}  // namespace kv::test
