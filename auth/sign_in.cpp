#include "auth/sign_in.h"

#include "auth/stored_credentials.h"
#include "meta/json_document.h"
#include "settings/settings.h"

namespace kv {
namespace {

// A reply is untrusted input: it is read without trusting its shape (see json_document.h).
bool ParseObject(const std::string& text, Json::Value& root) {
  return json::ParseDocument(text, root) && root.isObject();
}

std::string Text(const Json::Value& object, const char* key) { return json::Text(json::Member(object, key)); }

void Store(std::string* errorText, const std::string& text) {
  if (errorText != nullptr) *errorText = text;
}

}  // namespace

std::string BuildAuthRequest(const AuthRequest& request) {
  Json::Value document(Json::objectValue);
  document["agent"]["name"] = request.agentName;
  document["agent"]["version"] = request.agentVersion;
  document["clientToken"] = request.clientToken;
  document["password"] = request.password;
  document["username"] = request.username;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, document) + "\n";
}

void ParseAuthError(const std::string& text, AuthErrorReply& reply) {
  Json::Value root;
  if (!ParseObject(text, root)) return;
  reply.error = Text(root, "error");
  reply.errorMessage = Text(root, "errorMessage");
  reply.cause = Text(root, "cause");
}

void ParseAuthReply(const std::string& text, AuthReply& reply) {
  Json::Value root;
  if (!ParseObject(text, root)) return;
  reply.accessToken = Text(root, "accessToken");
  reply.clientToken = Text(root, "clientToken");
  const Json::Value& profile = json::Member(root, "selectedProfile");
  reply.profileId = Text(profile, "id");
  reply.profileName = Text(profile, "name");
  const Json::Value& legacy = json::Member(profile, "legacy");
  reply.legacy = legacy.isBool() && legacy.asBool();
}

bool SignInWithCredentials(std::string* errorText, const std::string& username,
                           const std::string& password, const std::string& settingsPath,
                           const AuthPoster& post) {
  AuthRequest request;
  request.username = username;
  request.password = password;
  std::string reply;
  if (!post(BuildAuthRequest(request), reply)) {
    Store(errorText, "登录超时");
    return false;
  }
  if (reply.empty()) {
    Store(errorText, "未请求到数据");
    return false;
  }
  AuthErrorReply error;
  ParseAuthError(reply, error);
  if (!error.error.empty()) {
    Store(errorText, "错误:" + error.error + " 错误信息:" + error.errorMessage);
    return false;
  }
  AuthReply success;
  ParseAuthReply(reply, success);
  // A reply without a token (a captive portal's page, a cut-off body) is no sign-in: storing
  // its empty values would throw away the credentials of the last good one.
  if (success.accessToken.empty()) {
    Store(errorText, "未请求到数据");
    return false;
  }
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settingsPath);
  credentials.accessToken = success.accessToken;
  credentials.clientToken = success.clientToken;
  credentials.profileId = success.profileId;
  credentials.profileName = success.profileName;
  credentials.legacy = success.legacy ? 1 : 0;
  if (!SaveStoredCredentials(credentials)) {
    Store(errorText, "无法保存登录信息");
    return false;
  }
  return true;
}

bool SignInWithSettings(std::string* errorText, const std::string& settingsPath,
                        const AuthPoster& post) {
  CSettings settings(settingsPath);
  settings.Load();
  return SignInWithCredentials(errorText, settings.userName, settings.password, settingsPath, post);
}

}  // namespace kv
