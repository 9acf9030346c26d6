#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "auth/account_server.h"
#include "auth/account_transport.h"
#include "auth/yggdrasil_documents.h"

// Signing a genuine account in to its account server (a plain Yggdrasil service or an
// authlib-injector server, see account_server.h). The tokens and the profile of a sign-in are
// stored in the settings file; on any failure the stored credentials of an earlier sign-in
// stay as they were. Before a launch the stored token is reused: the password goes over the
// network only when the server accepts neither the token nor its refresh.
namespace kv {

class CSettings;

// Asked for the profile to play when the account has several and none is chosen yet: an index
// into `profiles`, or nothing when the player chose none.
using ProfileChooser = std::function<std::optional<std::size_t>(const std::vector<GameProfile>& profiles)>;

struct AccountLogin {
  std::string username;
  std::string password;
  std::string authServer;   // as the AuthServer setting holds it: empty for the built-in service
  std::string profileName;  // the profile the player named beforehand; empty for none
};

// A sign-in that took place: the account server it went to and the profile signed in.
struct SignedIn {
  AccountServer server;
  std::string profileName;
};

// On failure the reason is for the player: "无法连接账户服务器" (no connection, Unreachable),
// "登录超时" (no answer in time, TimedOut), "未请求到数据" (nothing usable came back,
// Invalid), "错误:<error> 错误信息:<message>" (the server refused, Refused), "无法保存登录信息"
// (the settings file could not be written, Io), or why the account server or the profile
// could not be used.

// Signs in with a name and password (the settings dialog's account check, korvane-cli login),
// storing the result in `settingsPath`. The profile to play: the one the player named, else the
// one the server selected, else the one kept from an earlier sign-in to the same server, else
// the only one, else the one `choose` picks (no chooser: refused, naming the profiles). A
// profile the server did not select is made the token's profile with a refresh.
Result<SignedIn> SignInWithCredentials(const AccountLogin& login, const std::string& settingsPath,
                                       const AccountTransport& transport, const ProfileChooser& choose = {});

// Signs in before a launch with the account of `settings`: the stored token when the server
// that issued it validates it, else its refresh, else the password as above. A password goes
// only to the server it was given for: when the stored sign-in is another server's, or no
// password is stored, nothing is sent and the player is asked to sign in again (Refused).
Result<SignedIn> SignInForLaunch(const CSettings& settings, const AccountTransport& transport,
                                 const ProfileChooser& choose = {});

// The name of the account server of the stored sign-in, shown beside the player's name while
// that server is still the configured one; empty otherwise and for a server without a name.
std::string SignedInServerName(const CSettings& settings);

}  // namespace kv
