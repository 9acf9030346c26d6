#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The documents of the Microsoft sign-in: the forms posted to Microsoft's OAuth service, the
// JSON posted to Xbox Live and the game's services, and their replies. Replies are untrusted:
// a reader gives nothing when a member the step needs is missing, of the wrong type or holds
// control characters; texts shown to the player come out printable.
namespace kv {

// Step 1: what the player is shown to sign in on another device.
struct DeviceCode {
  std::string userCode;
  std::string deviceCode;
  std::string verificationUri;          // always an https address
  std::string verificationUriComplete;  // the address with the code in it; empty when not given
  int expiresIn = 0;                    // seconds the code is good for
  int interval = 0;                     // seconds between two polls
};

// Microsoft's tokens: the one for Xbox Live and the one that renews it.
struct MicrosoftToken {
  std::string accessToken;
  std::string refreshToken;  // empty when the reply gave none
};

// An OAuth error reply ("error", "error_description").
struct OAuthError {
  std::string error;
  std::string description;
};

// An Xbox Live or XSTS token with its claims: the user hash ("uhs") and, from XSTS, the Xbox
// user id ("xid") where given.
struct XboxToken {
  std::string token;
  std::string userHash;
  std::string xuid;
};

// The game's own token.
struct GameToken {
  std::string accessToken;
  std::int64_t expiresIn = 0;  // seconds
};

// A skin or cape of the profile, kept for the launcher window.
struct ProfileTexture {
  std::string id;
  std::string state;
  std::string url;
  std::string variant;  // skins: "CLASSIC" or "SLIM"; capes: their alias
};

struct MinecraftProfile {
  std::string id;
  std::string name;
  std::vector<ProfileTexture> skins;
  std::vector<ProfileTexture> capes;
};

// The forms (application/x-www-form-urlencoded).
std::string DeviceCodeForm(const std::string& clientId);
std::string DeviceTokenForm(const std::string& clientId, const std::string& deviceCode);
std::string RefreshTokenForm(const std::string& clientId, const std::string& refreshToken);

// The JSON requests.
std::string XboxLiveRequest(const std::string& microsoftAccessToken);
std::string XstsRequest(const std::string& xboxLiveToken);
std::string GameLoginRequest(const std::string& userHash, const std::string& xstsToken);

// A device code reply needs the codes and an https verification address; a missing interval
// reads as 5 seconds, a missing lifetime as 15 minutes.
std::optional<DeviceCode> ParseDeviceCode(const std::string& text);
std::optional<MicrosoftToken> ParseMicrosoftToken(const std::string& text);
// Empty when the text is no error reply.
OAuthError ParseOAuthError(const std::string& text);
std::optional<XboxToken> ParseXboxToken(const std::string& text);
// The "XErr" of an XSTS refusal, as its decimal digits (it is given as a number or a text).
std::optional<std::string> ParseXErr(const std::string& text);
std::optional<GameToken> ParseGameToken(const std::string& text);
// Whether the entitlements reply lists the game (its "game_minecraft" or "product_minecraft"
// item).
bool OwnsTheGame(const std::string& text);
std::optional<MinecraftProfile> ParseProfile(const std::string& text);

}  // namespace kv
