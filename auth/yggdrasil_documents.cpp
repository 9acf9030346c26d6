#include "auth/yggdrasil_documents.h"

#include "auth/reply_text.h"
#include "meta/json_document.h"

namespace kv {
namespace {

bool ParseObject(const std::string& text, Json::Value& root) {
  return json::ParseDocument(text, root) && root.isObject();
}

std::string Compact(const Json::Value& document) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, document) + "\n";
}

std::optional<GameProfile> ReadProfile(const Json::Value& value) {
  if (!value.isObject()) return std::nullopt;
  GameProfile profile;
  profile.id = OpaqueText(value, "id");
  profile.name = ShownText(value, "name");
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
  reply.error = ShownText(root, "error");
  reply.errorMessage = ShownText(root, "errorMessage");
  reply.cause = ShownText(root, "cause");
}

void ParseAuthReply(const std::string& text, AuthReply& reply) {
  Json::Value root;
  if (!ParseObject(text, root)) return;
  reply.accessToken = OpaqueText(root, "accessToken");
  reply.clientToken = OpaqueText(root, "clientToken");
  reply.selectedProfile = ReadProfile(json::Member(root, "selectedProfile"));
  reply.availableProfiles.clear();
  for (const Json::Value& value : json::ArrayOrEmpty(json::Member(root, "availableProfiles"))) {
    std::optional<GameProfile> profile = ReadProfile(value);
    if (profile && !profile->id.empty() && !profile->name.empty()) reply.availableProfiles.push_back(*profile);
  }
}

}  // namespace kv
