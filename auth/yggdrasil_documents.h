#pragma once

#include <optional>
#include <string>
#include <vector>

// The JSON documents of the Yggdrasil sign-in protocol: the requests the launcher posts and the
// replies it reads. Replies are untrusted: a member of the wrong type reads as empty; the texts
// a player reads (the error texts, profile names) come out fit to show, their control
// characters as '?'; a token or id with a control character reads as empty, since it would
// reach command lines and terminals as it stands.
namespace kv {

struct AuthRequest {
  std::string username;
  std::string password;
  std::string clientToken;
  std::string agentName = "minecraft";
  int agentVersion = 14;
};

struct GameProfile {
  std::string id;
  std::string name;
  bool legacy = false;
};

struct AuthErrorReply {
  std::string error;
  std::string errorMessage;
  std::string cause;
};

// The reply to authenticate and refresh.
struct AuthReply {
  std::string accessToken;
  std::string clientToken;
  std::optional<GameProfile> selectedProfile;
  // The profiles that have an id and a name; the others cannot be played.
  std::vector<GameProfile> availableProfiles;
};

// The authenticate document: compact, members in ascending key order, a line feed at the end.
std::string BuildAuthRequest(const AuthRequest& request);

// The validate and refresh document: the tokens, and for a refresh that picks the profile to
// play, that profile.
std::string BuildTokenRequest(const std::string& accessToken, const std::string& clientToken,
                              const GameProfile* selectProfile = nullptr);

// Both leave their output as it was when the text is not a JSON object.
void ParseAuthError(const std::string& text, AuthErrorReply& reply);
void ParseAuthReply(const std::string& text, AuthReply& reply);

}  // namespace kv
