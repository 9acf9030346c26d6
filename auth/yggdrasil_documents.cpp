#include "auth/yggdrasil_documents.h"

#include "meta/json_document.h"
#include "util/text.h"

namespace kv {
namespace {

bool ParseObject(const std::string& text, Json::Value& root) {
  return json::ParseDocument(text, root) && root.isObject();
}

// A text the player may read.
std::string Shown(const Json::Value& object, const char* key) { return Printable(json::Text(json::Member(object, key))); }

// A token or id, which goes on as it is.
std::string Opaque(const Json::Value& object, const char* key) {
  std::string text = json::Text(json::Member(object, key));
  return Printable(text) == text ? text : std::string();
}

std::string Compact(const Json::Value& document) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, document) + "\n";
}

std::optional<GameProfile> ReadProfile(const Json::Value& value) {
  if (!value.isObject()) return std::nullopt;
  GameProfile profile;
  profile.id = Opaque(value, "id");
  profile.name = Shown(value, "name");
  const Json::Value& legacy = json::Member(value, "legacy");
  profile.legacy = legacy.isBool() && legacy.asBool();
  return profile;
}

}  // namespace

std::string BuildAuthRequest(const AuthRequest& request) {
  Json::Value document(Json::objectValue);
  document["agent"]["name"] = request.agentName;
  document["agent"]["version"] = request.agentVersion;
  document["clientToken"] = request.clientToken;
  document["password"] = request.password;
  document["username"] = request.username;
  return Compact(document);
}

std::string BuildTokenRequest(const std::string& accessToken, const std::string& clientToken,
                              const GameProfile* selectProfile) {
  Json::Value document(Json::objectValue);
  document["accessToken"] = accessToken;
  document["clientToken"] = clientToken;
  if (selectProfile != nullptr) {
    document["selectedProfile"]["id"] = selectProfile->id;
    document["selectedProfile"]["name"] = selectProfile->name;
  }
  return Compact(document);
}

void ParseAuthError(const std::string& text, AuthErrorReply& reply) {
  Json::Value root;
  if (!ParseObject(text, root)) return;
  reply.error = Shown(root, "error");
  reply.errorMessage = Shown(root, "errorMessage");
  reply.cause = Shown(root, "cause");
}

void ParseAuthReply(const std::string& text, AuthReply& reply) {
  Json::Value root;
  if (!ParseObject(text, root)) return;
  reply.accessToken = Opaque(root, "accessToken");
  reply.clientToken = Opaque(root, "clientToken");
  reply.selectedProfile = ReadProfile(json::Member(root, "selectedProfile"));
  reply.availableProfiles.clear();
  for (const Json::Value& value : json::ArrayOrEmpty(json::Member(root, "availableProfiles"))) {
    std::optional<GameProfile> profile = ReadProfile(value);
    if (profile && !profile->id.empty() && !profile->name.empty()) reply.availableProfiles.push_back(*profile);
  }
}

}  // namespace kv
