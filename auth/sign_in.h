#pragma once

#include <functional>
#include <string>

// Signing a genuine account in to the account service: one JSON POST to its authenticate
// address. A successful reply's tokens and profile are stored in the settings file; on any
// failure the stored credentials of an earlier sign-in stay as they were.
namespace kv {

struct AuthRequest {
  std::string username;
  std::string password;
  std::string clientToken;
  std::string agentName = "minecraft";
  int agentVersion = 14;
};

struct AuthErrorReply {
  std::string error;
  std::string errorMessage;
  std::string cause;
};

struct AuthReply {
  std::string accessToken;
  std::string clientToken;
  std::string profileId;
  std::string profileName;
  bool legacy = false;
};

// The request document: compact, members in ascending key order, a line feed at the end.
std::string BuildAuthRequest(const AuthRequest& request);

// Both leave their output as it was when the text is not a JSON object.
void ParseAuthError(const std::string& text, AuthErrorReply& reply);
void ParseAuthReply(const std::string& text, AuthReply& reply);

// Sends the request document and collects the reply; false when the transfer failed.
using AuthPoster = std::function<bool(const std::string& request, std::string& reply)>;

// The outcome of a sign-in. On failure `error` is the reason for the player: "登录超时" (no
// transfer), "未请求到数据" (nothing usable came back), "错误:<error> 错误信息:<message>" (the
// service refused) or "无法保存登录信息" (the settings file could not be written).
struct SignInResult {
  bool signedIn = false;
  std::string error;
};

// Signs in with the given name and password, storing the result in `settingsPath`.
SignInResult SignInWithCredentials(const std::string& username, const std::string& password,
                                   const std::string& settingsPath, const AuthPoster& post);

// The same with the name and password of the settings file.
SignInResult SignInWithSettings(const std::string& settingsPath, const AuthPoster& post);

}  // namespace kv
