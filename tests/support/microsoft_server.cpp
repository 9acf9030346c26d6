#include "tests/support/microsoft_server.h"

#include <json/json.h>

#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "tests/support/fixtures.h"
#include "tests/support/https_server.h"

namespace kv::test {
namespace {

constexpr const char* kDeviceCode = "PLACEHOLDER_DEVICE_CODE";
constexpr const char* kScope = "XboxLive.signin offline_access";

void OAuthError(httplib::Response& response, const std::string& error) {
  Json::Value reply(Json::objectValue);
  reply["error"] = error;
  reply["error_description"] = "AADSTS: " + error;
  AnswerJson(response, 400, reply);
}

Json::Value XboxReply(const std::string& token, const std::string& userHash, const std::string& xuid) {
  Json::Value reply(Json::objectValue);
  reply["IssueInstant"] = "2026-05-01T10:00:00.0000000Z";
  reply["NotAfter"] = "2026-05-15T10:00:00.0000000Z";
  reply["Token"] = token;
  Json::Value user(Json::objectValue);
  user["uhs"] = userHash;
  if (!xuid.empty()) user["xid"] = xuid;
  reply["DisplayClaims"]["xui"].append(user);
  return reply;
}

}  // namespace

struct MicrosoftServer::State {
  Options options;

  mutable std::mutex mutex;
  std::deque<std::string> polls;
  bool held = false;
  std::vector<Seen> seen;
  int issued = 0;
  std::set<std::string> microsoftTokens;  // Microsoft's access tokens: Xbox Live takes them
  std::string refreshToken;
  std::set<std::string> revokedRefreshTokens;
  std::set<std::string> xboxTokens;
  std::set<std::string> xstsTokens;
  std::set<std::string> gameTokens;
  std::string gameToken;
  // Last, so that it stops serving before the rest goes.
  HttpsServer https;

  std::string Next(const char* kind) { return std::string(kind) + "-" + std::to_string(++issued); }

  // Microsoft's tokens: the documented reply's the first time, new ones for each renewal.
  void IssueTokens(httplib::Response& response) {
    Json::Value reply = ParseJsonObject(ReadFixture("microsoft/token-reply.documented.json"));
    if (!refreshToken.empty()) {
      reply["access_token"] = Next("ms-access");
      reply["refresh_token"] = Next("ms-refresh");
    }
    microsoftTokens.insert(reply["access_token"].asString());
    refreshToken = reply["refresh_token"].asString();
    AnswerJson(response, 200, reply);
  }

  void DeviceCode(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("client_id") != kClientId || request.get_param_value("scope") != kScope) {
      OAuthError(response, "invalid_client");
      return;
    }
    Json::Value reply = ParseJsonObject(ReadFixture("microsoft/device-code-reply.redacted.json"));
    reply["interval"] = options.interval;
    reply["expires_in"] = options.expiresIn;
    if (!options.verificationUriComplete.empty()) reply["verification_uri_complete"] = options.verificationUriComplete;
    polls.assign(options.polls.begin(), options.polls.end());
    held = options.holdPolls;
    AnswerJson(response, 200, reply);
  }

  void Token(const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("client_id") != kClientId) {
      OAuthError(response, "invalid_client");
      return;
    }
    const std::string grant = request.get_param_value("grant_type");
    if (grant == "refresh_token") {
      const std::string presented = request.get_param_value("refresh_token");
      if (presented != refreshToken || revokedRefreshTokens.count(presented) != 0) {
        OAuthError(response, "invalid_grant");
        return;
      }
      IssueTokens(response);
      return;
    }
    if (grant != "urn:ietf:params:oauth:grant-type:device_code" || request.get_param_value("device_code") != kDeviceCode) {
      OAuthError(response, "invalid_grant");
      return;
    }
    if (held) {
      OAuthError(response, "authorization_pending");
      return;
    }
    if (!polls.empty()) {
      const std::string answer = polls.front();
      polls.pop_front();
      OAuthError(response, answer);
      return;
    }
    IssueTokens(response);
  }

  void XboxLive(const Json::Value& body, httplib::Response& response) {
    const Json::Value& properties = body["Properties"];
    const std::string ticket = properties["RpsTicket"].asString();
    if (properties["AuthMethod"] != "RPS" || properties["SiteName"] != "user.auth.xboxlive.com" ||
        body["RelyingParty"] != "http://auth.xboxlive.com" || body["TokenType"] != "JWT" ||
        ticket.rfind("d=", 0) != 0 || microsoftTokens.count(ticket.substr(2)) == 0) {
      response.status = 400;
      return;
    }
    const std::string token = Next("xbl");
    xboxTokens.insert(token);
    AnswerJson(response, 200, XboxReply(token, kUserHash, ""));
  }

  void Xsts(const Json::Value& body, httplib::Response& response) {
    const Json::Value& properties = body["Properties"];
    const Json::Value& userTokens = properties["UserTokens"];
    if (properties["SandboxId"] != "RETAIL" || body["RelyingParty"] != "rp://api.minecraftservices.com/" ||
        body["TokenType"] != "JWT" || !userTokens.isArray() || userTokens.size() != 1 ||
        xboxTokens.count(userTokens[0].asString()) == 0) {
      response.status = 400;
      return;
    }
    if (!options.xerr.empty()) {
      Json::Value reply(Json::objectValue);
      reply["Identity"] = "0";
      reply["XErr"] = Json::UInt64(std::stoull(options.xerr));
      reply["Message"] = "";
      reply["Redirect"] = "https://start.ui.xboxlive.com/CreateAccount";
      AnswerJson(response, 401, reply);
      return;
    }
    const std::string token = Next("xsts");
    xstsTokens.insert(token);
    AnswerJson(response, 200,
           XboxReply(token, options.xstsOtherUser ? "another-user" : kUserHash, options.withXuid ? kXuid : ""));
  }

  void GameLogin(const Json::Value& body, httplib::Response& response) {
    const std::string identity = body["identityToken"].asString();
    const std::string prefix = std::string("XBL3.0 x=") + kUserHash + ";";
    if (identity.rfind(prefix, 0) != 0 || xstsTokens.count(identity.substr(prefix.size())) == 0) {
      response.status = 400;
      return;
    }
    if (options.gameLoginForbidden) {
      response.status = 403;
      return;
    }
    gameToken = Next("mc");
    gameTokens.insert(gameToken);
    Json::Value reply(Json::objectValue);
    reply["username"] = "c5b8ad6c-7f1e-4c4a-9d43-2f4f5e0c3b21";
    reply["roles"] = Json::Value(Json::arrayValue);
    reply["access_token"] = gameToken;
    reply["token_type"] = "Bearer";
    reply["expires_in"] = Json::Int64(options.gameTokenLifetime);
    AnswerJson(response, 200, reply);
  }

  bool Authorised(const httplib::Request& request) const {
    const std::string authorization = request.get_header_value("Authorization");
    return authorization.rfind("Bearer ", 0) == 0 && gameTokens.count(authorization.substr(7)) != 0;
  }

  void Entitlements(const httplib::Request& request, httplib::Response& response) {
    if (!Authorised(request)) {
      response.status = 401;
      return;
    }
    if (options.ownsGame) {
      response.set_content(ReadFixture("microsoft/entitlements-mcstore.redacted.json"), "application/json");
      return;
    }
    AnswerJson(response, 200, ParseJsonObject(R"({"items":[],"signature":"","keyId":"1"})"));
  }

  void Profile(const httplib::Request& request, httplib::Response& response) {
    if (!Authorised(request)) {
      response.status = 401;
      return;
    }
    if (!options.hasProfile) {
      AnswerJson(response, 404,
             ParseJsonObject(R"({"path":"/minecraft/profile","errorType":"NOT_FOUND","error":"NOT_FOUND",)"
                   R"("errorMessage":"The server has not found anything matching the request URI"})"));
      return;
    }
    Json::Value reply(Json::objectValue);
    reply["id"] = kProfileId;
    reply["name"] = kProfileName;
    Json::Value skin(Json::objectValue);
    skin["id"] = "6a6e65e5-76dd-4c3c-a625-162924514568";
    skin["state"] = "ACTIVE";
    skin["url"] = "https://textures.minecraft.net/texture/1a4af718455d4aab528e7a61f86fa25e6a369d1768dcb13f7df319a713eb810b";
    skin["variant"] = "CLASSIC";
    reply["skins"].append(skin);
    reply["capes"] = Json::Value(Json::arrayValue);
    AnswerJson(response, 200, reply);
  }

  using Handler = void (State::*)(const httplib::Request&, httplib::Response&);
  using JsonHandler = void (State::*)(const Json::Value&, httplib::Response&);

  void Record(const httplib::Request& request) {
    seen.push_back({request.path, request.get_header_value("Authorization"), request.body});
  }
  void Post(const char* path, Handler handler) {
    https.Routes().Post(path, [this, handler](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      Record(request);
      (this->*handler)(request, response);
    });
  }
  void PostJson(const char* path, JsonHandler handler) {
    https.Routes().Post(path, [this, handler](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      Record(request);
      (this->*handler)(ParseJsonObject(request.body), response);
    });
  }
  void Get(const char* path, Handler handler) {
    https.Routes().Get(path, [this, handler](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      Record(request);
      (this->*handler)(request, response);
    });
  }
};

MicrosoftServer::MicrosoftServer() : MicrosoftServer(Options{}) {}

MicrosoftServer::MicrosoftServer(Options options) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.options = std::move(options);
  s.Post(kDeviceCodePath, &State::DeviceCode);
  s.Post(kTokenPath, &State::Token);
  s.PostJson(kXboxLivePath, &State::XboxLive);
  s.PostJson(kXstsPath, &State::Xsts);
  s.PostJson(kGameLoginPath, &State::GameLogin);
  s.Get(kEntitlementsPath, &State::Entitlements);
  s.Get(kProfilePath, &State::Profile);
  s.https.Start();
}

MicrosoftServer::~MicrosoftServer() = default;

std::string MicrosoftServer::BaseUrl() const { return state_->https.BaseUrl(); }

void MicrosoftServer::ReleasePolls() {
  std::lock_guard lock(state_->mutex);
  state_->held = false;
}

void MicrosoftServer::RevokeRefreshTokens() {
  std::lock_guard lock(state_->mutex);
  state_->revokedRefreshTokens.insert(state_->refreshToken);
}

void MicrosoftServer::SetGameTokenLifetime(long seconds) {
  std::lock_guard lock(state_->mutex);
  state_->options.gameTokenLifetime = seconds;
}

std::vector<MicrosoftServer::Seen> MicrosoftServer::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->seen;
}

int MicrosoftServer::Requests(const std::string& path) const {
  std::lock_guard lock(state_->mutex);
  int count = 0;
  for (const Seen& request : state_->seen) count += request.path == path ? 1 : 0;
  return count;
}

std::string MicrosoftServer::RefreshToken() const {
  std::lock_guard lock(state_->mutex);
  return state_->refreshToken;
}

std::string MicrosoftServer::GameToken() const {
  std::lock_guard lock(state_->mutex);
  return state_->gameToken;
}

}  // namespace kv::test
