#include "tests/support/auth_server.h"

#include <json/json.h>

#include <map>
#include <mutex>

#include "tests/support/https_server.h"

namespace kv::test {
namespace {

constexpr const char* kApiPath = "/api/yggdrasil";

enum class TokenState { Valid, Expired, Revoked };

struct Token {
  std::string clientToken;
  std::string profileId;  // empty until a profile is chosen
  TokenState state = TokenState::Valid;
};

void Refuse(httplib::Response& response, int status, const char* error, const char* message) {
  Json::Value reply(Json::objectValue);
  reply["error"] = error;
  reply["errorMessage"] = message;
  AnswerJson(response, status, reply);
}

}  // namespace

struct AuthServer::State {
  std::string user;
  std::string password;
  Options options;
  std::string metadata;

  mutable std::mutex mutex;
  std::map<std::string, Token> tokens;
  std::string lastToken;
  std::map<std::string, int> requests;
  int passwordRequests = 0;
  // Last, so that it stops serving before the rest goes.
  HttpsServer https;

  Json::Value ProfileJson(const std::string& id) const {
    Json::Value profile(Json::objectValue);
    for (const Profile& p : options.profiles) {
      if (p.id == id) {
        profile["id"] = p.id;
        profile["name"] = p.name;
      }
    }
    return profile;
  }

  std::string Issue(const std::string& clientToken, const std::string& profileId) {
    std::string token = tokens.empty() ? options.accessToken : "token-" + std::to_string(tokens.size() + 1);
    tokens[token] = Token{clientToken, profileId, TokenState::Valid};
    lastToken = token;
    return token;
  }

  Json::Value TokenReply(const std::string& token) const {
    const Token& issued = tokens.at(token);
    Json::Value reply(Json::objectValue);
    reply["accessToken"] = token;
    reply["clientToken"] = issued.clientToken;
    if (!issued.profileId.empty()) reply["selectedProfile"] = ProfileJson(issued.profileId);
    return reply;
  }

  // The token the request names, when it exists, is not revoked and its client token matches.
  Token* Presented(const Json::Value& body) {
    auto found = tokens.find(body["accessToken"].asString());
    if (found == tokens.end() || found->second.state == TokenState::Revoked) return nullptr;
    const std::string clientToken = body["clientToken"].asString();
    if (!clientToken.empty() && clientToken != found->second.clientToken) return nullptr;
    return &found->second;
  }

  void Authenticate(const Json::Value& body, httplib::Response& response) {
    ++passwordRequests;
    if (body["username"].asString() != user || body["password"].asString() != password ||
        body["agent"]["name"].asString() != "minecraft" || body["agent"]["version"].asInt() != 14) {
      Refuse(response, 403, "ForbiddenOperationException", options.errorMessage.c_str());
      return;
    }
    std::string clientToken = body["clientToken"].asString();
    if (clientToken.empty()) clientToken = "server-client-token";
    const std::string profileId = options.profiles.size() == 1 ? options.profiles.front().id : "";
    Json::Value reply = TokenReply(Issue(clientToken, profileId));
    reply["availableProfiles"] = Json::Value(Json::arrayValue);
    for (const Profile& profile : options.profiles) reply["availableProfiles"].append(ProfileJson(profile.id));
    AnswerJson(response, 200, reply);
  }

  void Validate(const Json::Value& body, httplib::Response& response) {
    const Token* token = Presented(body);
    if (token == nullptr || token->state != TokenState::Valid) {
      Refuse(response, 403, "ForbiddenOperationException", "Invalid token.");
      return;
    }
    response.status = 204;
  }

  void Refresh(const Json::Value& body, httplib::Response& response) {
    Token* token = Presented(body);
    if (token == nullptr) {
      Refuse(response, 403, "ForbiddenOperationException", "Invalid token.");
      return;
    }
    std::string profileId = token->profileId;
    if (body.isMember("selectedProfile")) {
      const std::string wanted = body["selectedProfile"]["id"].asString();
      if (!profileId.empty() || ProfileJson(wanted).empty()) {
        Refuse(response, 400, "IllegalArgumentException", "Access token already has a profile assigned.");
        return;
      }
      profileId = wanted;
    }
    token->state = TokenState::Revoked;
    AnswerJson(response, 200, TokenReply(Issue(token->clientToken, profileId)));
  }

  void Route(const std::string& path, void (State::*action)(const Json::Value&, httplib::Response&)) {
    https.Routes().Post(path, [this, path, action](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      ++requests[path];
      (this->*action)(ParseJsonObject(request.body), response);
    });
  }

  void Count(const std::string& path) {
    std::lock_guard lock(mutex);
    ++requests[path];
  }
};

AuthServer::AuthServer(std::string user, std::string password) : AuthServer(std::move(user), std::move(password), Options{}) {}

AuthServer::AuthServer(std::string user, std::string password, Options options) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.user = std::move(user);
  s.password = std::move(password);
  s.options = std::move(options);
  const bool injector = s.options.kind == Kind::AuthlibInjector;
  const std::string actions = injector ? std::string(kApiPath) + "/authserver" : "";
  s.Route(actions + "/authenticate", &State::Authenticate);
  s.Route(actions + "/validate", &State::Validate);
  s.Route(actions + "/refresh", &State::Refresh);

  s.https.Routes().Get("/", [this](const httplib::Request&, httplib::Response& response) {
    state_->Count("/");
    if (!state_->options.homeRedirect.empty()) {
      response.set_redirect(state_->options.homeRedirect);
      return;
    }
    const Location location = state_->options.homeLocation;
    if (location == Location::Relative) response.set_header("X-Authlib-Injector-API-Location", std::string(kApiPath) + "/");
    if (location == Location::Absolute) response.set_header("X-Authlib-Injector-API-Location", ApiRoot() + "/");
    response.set_content("<html><body>A skin site</body></html>", "text/html");
  });
  if (injector) {
    Json::Value metadata(Json::objectValue);
    metadata["meta"]["serverName"] = kServerName;
    metadata["meta"]["implementationName"] = "korvane-test";
    metadata["skinDomains"].append("127.0.0.1");
    metadata["signaturePublickey"] = "-----BEGIN PUBLIC KEY-----\nMFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE\n-----END PUBLIC KEY-----\n";
    s.metadata = s.options.metadata.empty() ? Json::writeString(Json::StreamWriterBuilder(), metadata) : s.options.metadata;
    const auto serveMetadata = [this](const httplib::Request& request, httplib::Response& response) {
      state_->Count(request.path);
      response.set_content(state_->metadata, "application/json");
    };
    s.https.Routes().Get(kApiPath, serveMetadata);
    s.https.Routes().Get(std::string(kApiPath) + "/", serveMetadata);
  }
  s.https.Start();
}

AuthServer::~AuthServer() = default;

std::string AuthServer::BaseUrl() const { return state_->https.BaseUrl(); }

std::string AuthServer::ApiRoot() const {
  return state_->options.kind == Kind::AuthlibInjector ? BaseUrl() + kApiPath : BaseUrl();
}

std::string AuthServer::Metadata() const { return state_->metadata; }

int AuthServer::PasswordRequests() const {
  std::lock_guard lock(state_->mutex);
  return state_->passwordRequests;
}

int AuthServer::Requests(const std::string& path) const {
  std::lock_guard lock(state_->mutex);
  auto found = state_->requests.find(path);
  return found == state_->requests.end() ? 0 : found->second;
}

std::string AuthServer::LastAccessToken() const {
  std::lock_guard lock(state_->mutex);
  return state_->lastToken;
}

void AuthServer::ExpireTokens() {
  std::lock_guard lock(state_->mutex);
  for (auto& [name, token] : state_->tokens) {
    if (token.state == TokenState::Valid) token.state = TokenState::Expired;
  }
}

void AuthServer::RevokeTokens() {
  std::lock_guard lock(state_->mutex);
  for (auto& [name, token] : state_->tokens) token.state = TokenState::Revoked;
}

}  // namespace kv::test
