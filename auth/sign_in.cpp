#include "auth/sign_in.h"

#include "auth/stored_credentials.h"
#include "meta/json_document.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv {
namespace {

// A reply is untrusted input: it is read without trusting its shape (see json_document.h).
bool ParseObject(const std::string& text, Json::Value& root) {
  return json::ParseDocument(text, root) && root.isObject();
}

std::string Text(const Json::Value& object, const char* key) { return json::Text(json::Member(object, key)); }

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

SignInResult SignInWithCredentials(const std::string& username, const std::string& password,
                                   const std::string& settingsPath, const AuthPoster& post) {
  AuthRequest request;
  request.username = username;
  request.password = password;
  std::string reply;
  if (!post(BuildAuthRequest(request), reply)) {
    return {false, msg::kSignInTimedOut};
  }
  if (reply.empty()) {
    return {false, msg::kSignInNoData};
  }
  AuthErrorReply error;
  ParseAuthError(reply, error);
  if (!error.error.empty()) {
    return {false, msg::SignInRefused(error.error, error.errorMessage)};
  }
  AuthReply success;
  ParseAuthReply(reply, success);
  // A reply without a token (a captive portal's page, a cut-off body) is no sign-in: storing
  // its empty values would throw away the credentials of the last good one.
  if (success.accessToken.empty()) {
    return {false, msg::kSignInNoData};
  }
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settingsPath);
  credentials.accessToken = success.accessToken;
  credentials.clientToken = success.clientToken;
  credentials.profileId = success.profileId;
  credentials.profileName = success.profileName;
  credentials.legacy = success.legacy ? 1 : 0;
  if (!SaveStoredCredentials(credentials)) return {false, msg::kSignInNotSaved};
  return {true, {}};
}

SignInResult SignInWithSettings(const std::string& settingsPath, const AuthPoster& post) {
  CSettings settings(settingsPath);
  settings.Load();
  return SignInWithCredentials(settings.userName, settings.password, settingsPath, post);
}

}  // namespace kv
