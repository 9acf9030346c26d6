#pragma once

#include <string>

#include "auth/account_transport.h"
#include "util/cancellation.h"
#include "util/result.h"

// Where the Microsoft sign-in goes, as which application, and the shapes of its requests.
// Every address is an official one, fetched through the stand-in root when one is configured
// (OfficialAddress); each request goes to the one host its step names, and no redirect is
// followed, so a token never reaches another host.
namespace kv::microsoft {

inline constexpr const char* kDeviceCodeUrl = "https://login.microsoftonline.com/consumers/oauth2/v2.0/devicecode";
inline constexpr const char* kTokenUrl = "https://login.microsoftonline.com/consumers/oauth2/v2.0/token";
inline constexpr const char* kXboxLiveUrl = "https://user.auth.xboxlive.com/user/authenticate";
inline constexpr const char* kXstsUrl = "https://xsts.auth.xboxlive.com/xsts/authorize";
inline constexpr const char* kGameLoginUrl = "https://api.minecraftservices.com/authentication/login_with_xbox";
inline constexpr const char* kEntitlementsUrl = "https://api.minecraftservices.com/entitlements/mcstore";
inline constexpr const char* kProfileUrl = "https://api.minecraftservices.com/minecraft/profile";

// The application id the sign-in names: KORVANE_MSA_CLIENT_ID when set and not empty, else
// `setting` (MsaClientId) when not empty, else the one the build was configured with
// (-DKORVANE_MSA_CLIENT_ID=...). Empty when there is none: this build cannot sign in to
// Microsoft then.
std::string ClientId(const std::string& setting);

// A form posted to `url`, a JSON document posted to `url`, a GET of `url` with the game's token.
WebRequest FormPost(const char* url, std::string form);
WebRequest JsonPost(const char* url, std::string document);
WebRequest AuthorisedGet(const char* url, const std::string& gameToken);

// Sends a request of the sign-in; the failure says why for the player (Cancelled once
// `cancel` is set).
Result<AccountReply> Send(const AccountTransport& transport, const WebRequest& request, const Cancellation& cancel);

}  // namespace kv::microsoft
