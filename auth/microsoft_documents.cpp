#include "auth/microsoft_documents.h"

#include <algorithm>
#include <cctype>

#include "auth/reply_text.h"
#include "meta/json_document.h"
#include "net/url_encoding.h"

namespace kv {
namespace {

constexpr const char* kScope = "XboxLive.signin offline_access";
constexpr int kDefaultInterval = 5;
constexpr int kDefaultLifetime = 15 * 60;

std::optional<Json::Value> ParseObject(const std::string& text) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) return std::nullopt;
  return root;
}

// A number of seconds that the reply may give as a number or not at all.
int Seconds(const Json::Value& object, const char* key, int fallback) {
  const Json::Value& value = json::Member(object, key);
  return value.isNumeric() ? json::Int32(value) : fallback;
}

std::string FormField(const char* name, const std::string& value) { return std::string(name) + "=" + PercentEncode(value); }

std::string HttpsOrEmpty(const std::string& address) { return IsHttpsAddress(address) ? address : std::string(); }

std::vector<ProfileTexture> Textures(const Json::Value& list, const char* variantKey) {
  std::vector<ProfileTexture> textures;
  for (const Json::Value& item : json::ArrayOrEmpty(list)) {
    if (!item.isObject()) continue;
    textures.push_back({OpaqueText(item, "id"), OpaqueText(item, "state"), HttpsOrEmpty(OpaqueText(item, "url")),
                        ShownText(item, variantKey)});
  }
  return textures;
}

}  // namespace

std::string DeviceCodeForm(const std::string& clientId) {
  return FormField("client_id", clientId) + "&" + FormField("scope", kScope);
}

std::string DeviceTokenForm(const std::string& clientId, const std::string& deviceCode) {
  return FormField("grant_type", "urn:ietf:params:oauth:grant-type:device_code") + "&" +
         FormField("client_id", clientId) + "&" + FormField("device_code", deviceCode);
}

std::string RefreshTokenForm(const std::string& clientId, const std::string& refreshToken) {
  return FormField("grant_type", "refresh_token") + "&" + FormField("client_id", clientId) + "&" +
         FormField("refresh_token", refreshToken) + "&" + FormField("scope", kScope);
}

std::string XboxLiveRequest(const std::string& microsoftAccessToken) {
  Json::Value document(Json::objectValue);
  document["Properties"]["AuthMethod"] = "RPS";
  document["Properties"]["SiteName"] = "user.auth.xboxlive.com";
  document["Properties"]["RpsTicket"] = "d=" + microsoftAccessToken;
  document["RelyingParty"] = "http://auth.xboxlive.com";
  document["TokenType"] = "JWT";
  return json::WriteDocument(document);
}

std::string XstsRequest(const std::string& xboxLiveToken) {
  Json::Value document(Json::objectValue);
  document["Properties"]["SandboxId"] = "RETAIL";
  document["Properties"]["UserTokens"].append(xboxLiveToken);
  document["RelyingParty"] = "rp://api.minecraftservices.com/";
  document["TokenType"] = "JWT";
  return json::WriteDocument(document);
}

std::string GameLoginRequest(const std::string& userHash, const std::string& xstsToken) {
  Json::Value document(Json::objectValue);
  document["identityToken"] = "XBL3.0 x=" + userHash + ";" + xstsToken;
  return json::WriteDocument(document);
}

std::optional<DeviceCode> ParseDeviceCode(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  DeviceCode code;
  code.userCode = OpaqueText(*root, "user_code");
  code.deviceCode = OpaqueText(*root, "device_code");
  // The player is sent to these addresses: only https ones are taken.
  code.verificationUri = HttpsOrEmpty(OpaqueText(*root, "verification_uri"));
  code.verificationUriComplete = HttpsOrEmpty(OpaqueText(*root, "verification_uri_complete"));
  code.expiresIn = Seconds(*root, "expires_in", kDefaultLifetime);
  code.interval = Seconds(*root, "interval", kDefaultInterval);
  if (code.userCode.empty() || code.deviceCode.empty() || code.verificationUri.empty()) return std::nullopt;
  return code;
}

std::optional<MicrosoftToken> ParseMicrosoftToken(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  MicrosoftToken token{OpaqueText(*root, "access_token"), OpaqueText(*root, "refresh_token")};
  if (token.accessToken.empty()) return std::nullopt;
  return token;
}

OAuthError ParseOAuthError(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return {};
  return {ShownText(*root, "error"), ShownText(*root, "error_description")};
}

std::optional<XboxToken> ParseXboxToken(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  const Json::Value& users = json::ArrayOrEmpty(json::Member(json::Member(*root, "DisplayClaims"), "xui"));
  const Json::Value& user = users.empty() ? Json::Value::nullSingleton() : users[0];
  XboxToken token{OpaqueText(*root, "Token"), OpaqueText(user, "uhs"), OpaqueText(user, "xid")};
  if (token.token.empty() || token.userHash.empty()) return std::nullopt;
  return token;
}

std::optional<std::string> ParseXErr(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  const Json::Value& value = json::Member(*root, "XErr");
  if (value.isUInt64()) return std::to_string(value.asUInt64());
  const std::string digits = json::Text(value);
  const bool number = !digits.empty() && digits.size() <= 20 &&
                      std::all_of(digits.begin(), digits.end(), [](unsigned char ch) { return std::isdigit(ch); });
  if (!number) return std::nullopt;
  return digits;
}

std::optional<GameToken> ParseGameToken(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  GameToken token{OpaqueText(*root, "access_token"), json::Size(json::Member(*root, "expires_in"))};
  if (token.accessToken.empty() || token.expiresIn < 0) return std::nullopt;
  return token;
}

bool OwnsTheGame(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return false;
  const Json::Value& items = json::ArrayOrEmpty(json::Member(*root, "items"));
  return std::any_of(items.begin(), items.end(), [](const Json::Value& item) {
    const std::string name = json::Text(json::Member(item, "name"));
    return name == "game_minecraft" || name == "product_minecraft";
  });
}

std::optional<MinecraftProfile> ParseProfile(const std::string& text) {
  const std::optional<Json::Value> root = ParseObject(text);
  if (!root) return std::nullopt;
  MinecraftProfile profile;
  profile.id = OpaqueText(*root, "id");
  profile.name = ShownText(*root, "name");
  profile.skins = Textures(json::Member(*root, "skins"), "variant");
  profile.capes = Textures(json::Member(*root, "capes"), "alias");
  if (profile.id.empty() || profile.name.empty()) return std::nullopt;
  return profile;
}

}  // namespace kv
