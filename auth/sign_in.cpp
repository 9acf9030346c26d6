#include "auth/sign_in.h"

#include <algorithm>
#include <random>

#include "auth/stored_credentials.h"
#include "net/endpoints.h"
#include "platform/diagnostic_log.h"
#include "settings/settings.h"
#include "util/messages.h"
#include "util/text.h"

namespace kv {
namespace {

// Names this launcher to the server; a sign-in with the same client token replaces the tokens
// the earlier one was given.
std::string NewClientToken() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string token;
  for (int i = 0; i < 32; ++i) token += kHex[random() % 16];
  return token;
}

// The usable reply to authenticate or refresh, or why there is none, for the player.
Result<AuthReply> TokenReplyOf(Result<AccountReply> reply) {
  if (!reply) return std::move(reply).failure();
  if (reply->body.empty()) return Fail(FailureKind::Invalid, msg::kSignInNoData);
  AuthErrorReply error;
  ParseAuthError(reply->body, error);
  if (!error.error.empty()) return Fail(FailureKind::Refused, msg::SignInRefused(error.error, error.errorMessage));
  AuthReply parsed;
  ParseAuthReply(reply->body, parsed);
  // A reply without a token (a captive portal's page, a cut-off body) is no sign-in: storing
  // its empty values would throw away the credentials of the last good one.
  if (parsed.accessToken.empty()) return Fail(FailureKind::Invalid, msg::kSignInNoData);
  return parsed;
}

bool HasSelectedProfile(const AuthReply& reply) { return reply.selectedProfile && !reply.selectedProfile->id.empty(); }

Result<GameProfile> DecideProfile(const AuthReply& reply, const std::string& wanted, const std::string& keptId,
                                  const ProfileChooser& choose) {
  std::vector<GameProfile> profiles = reply.availableProfiles;
  const bool selected = HasSelectedProfile(reply);
  if (selected) {
    const bool listed = std::any_of(profiles.begin(), profiles.end(),
                                    [&](const GameProfile& p) { return p.id == reply.selectedProfile->id; });
    if (!listed) profiles.insert(profiles.begin(), *reply.selectedProfile);
  }
  std::vector<std::string> names;
  for (const GameProfile& profile : profiles) names.push_back(profile.name);
  auto find = [&profiles](auto matches) -> std::optional<GameProfile> {
    for (const GameProfile& profile : profiles) {
      if (matches(profile)) return profile;
    }
    return std::nullopt;
  };

  if (!wanted.empty()) {
    if (auto named = find([&](const GameProfile& p) { return p.name == wanted; })) return *named;
    return Fail(FailureKind::NotFound, msg::NoSuchProfile(Printable(wanted), names));
  }
  if (selected) return *reply.selectedProfile;
  // An account without any profile signs in all the same, with an empty one.
  if (profiles.empty()) return reply.selectedProfile.value_or(GameProfile{});
  if (!keptId.empty()) {
    if (auto kept = find([&](const GameProfile& p) { return p.id == keptId; })) return *kept;
  }
  if (profiles.size() == 1) return profiles.front();
  if (!choose) return Fail(FailureKind::Invalid, msg::ProfileChoiceNeeded(names));
  const std::optional<std::size_t> chosen = choose(profiles);
  if (!chosen || *chosen >= profiles.size()) return Fail(FailureKind::Cancelled, msg::kProfileNotChosen);
  return profiles[*chosen];
}

// The account server a sign-in went to: the address the player configured (the tokens belong
// to it, and are only ever shown to it again) and what the address resolved to.
struct Destination {
  std::string address;
  AccountServer server;
};

Result<SignedIn> Store(const std::string& settingsPath, const Destination& to, const AuthReply& reply,
                       const std::string& clientToken, const GameProfile& profile) {
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settingsPath);
  credentials.accessToken = reply.accessToken;
  credentials.clientToken = reply.clientToken.empty() ? clientToken : reply.clientToken;
  credentials.profileId = profile.id;
  credentials.profileName = profile.name;
  credentials.legacy = profile.legacy ? 1 : 0;
  credentials.tokenServer = to.address;
  credentials.serverName = to.server.name;
  if (!SaveStoredCredentials(credentials)) return Fail(FailureKind::Io, msg::kSignInNotSaved);
  return SignedIn{to.server, profile.name};
}

Result<SignedIn> SignInWithPassword(const AccountLogin& login, const Destination& to, const StoredCredentials& kept,
                                    const AccountTransport& transport, const ProfileChooser& choose) {
  const AccountServer& server = to.server;
  const bool sameServer = kept.tokenServer == to.address;
  AuthRequest request;
  request.username = login.username;
  request.password = login.password;
  request.clientToken = sameServer && !kept.clientToken.empty() ? kept.clientToken : NewClientToken();
  Result<AuthReply> reply = TokenReplyOf(transport.post(server.ActionUrl("authenticate"), BuildAuthRequest(request)));
  if (!reply) return std::move(reply).failure();
  const std::string clientToken = reply->clientToken.empty() ? request.clientToken : reply->clientToken;
  const Result<GameProfile> profile = DecideProfile(*reply, login.profileName, sameServer ? kept.profileId : "", choose);
  if (!profile) return profile.failure();
  const bool bound = profile->id.empty() || (HasSelectedProfile(*reply) && reply->selectedProfile->id == profile->id);
  if (bound) return Store(kept.settingsPath, to, *reply, clientToken, *profile);

  // The token is the account's, not yet a profile's: a refresh naming the profile makes it so.
  const Result<AuthReply> refreshed = TokenReplyOf(
      transport.post(server.ActionUrl("refresh"), BuildTokenRequest(reply->accessToken, clientToken, &*profile)));
  if (!refreshed) return refreshed.failure();
  return Store(kept.settingsPath, to, *refreshed, clientToken, *profile);
}

StoredCredentials LoadKept(const std::string& settingsPath) {
  StoredCredentials kept;
  InitStoredCredentials(kept, settingsPath);
  LoadStoredCredentials(kept);
  return kept;
}

Result<Destination> Resolve(const std::string& address, const AccountTransport& transport) {
  Result<AccountServer> server = ResolveAccountServer(address, transport);
  if (!server) return std::move(server).failure();
  return Destination{address, std::move(*server)};
}

}  // namespace

Result<SignedIn> SignInWithCredentials(const AccountLogin& login, const std::string& settingsPath,
                                       const AccountTransport& transport, const ProfileChooser& choose) {
  const Result<Destination> to = Resolve(AccountServerAddress(login.authServer), transport);
  if (!to) return to.failure();
  return SignInWithPassword(login, *to, LoadKept(settingsPath), transport, choose);
}

Result<SignedIn> SignInForLaunch(const CSettings& settings, const AccountTransport& transport, const ProfileChooser& choose) {
  const std::string address = AccountServerAddress(settings.authServer);
  StoredCredentials kept = LoadKept(settings.SettingsPath());
  const bool tokenUsable = kept.tokenServer == address && !kept.accessToken.empty();
  // The stored password was given for the server of the stored sign-in, when there is one.
  const bool passwordUsable = !settings.password.empty() && (kept.tokenServer.empty() || kept.tokenServer == address);
  if (!tokenUsable && !passwordUsable) return Fail(FailureKind::Refused, msg::kSignInAgain);

  const Result<Destination> resolved = Resolve(address, transport);
  if (!resolved) return resolved.failure();
  const Destination& to = *resolved;
  const AccountServer& server = to.server;
  if (tokenUsable) {
    const std::string tokens = BuildTokenRequest(kept.accessToken, kept.clientToken);
    const Result<AccountReply> validation = transport.post(server.ActionUrl("validate"), tokens);
    if (!validation) return validation.failure();
    if (validation->Succeeded()) {
      if (kept.serverName != server.name) {
        // Only the name shown beside the player's changes; a failed write costs nothing else.
        kept.serverName = server.name;
        SaveStoredCredentials(kept);
      }
      return SignedIn{server, kept.profileName};
    }
    const Result<AuthReply> refreshed = TokenReplyOf(transport.post(server.ActionUrl("refresh"), tokens));
    if (refreshed) {
      const GameProfile profile = HasSelectedProfile(*refreshed)
                                      ? *refreshed->selectedProfile
                                      : GameProfile{kept.profileId, kept.profileName, kept.legacy != 0};
      return Store(kept.settingsPath, to, *refreshed, kept.clientToken, profile);
    }
    if (!passwordUsable) return Fail(FailureKind::Refused, msg::kSignInAgain);
    LogLine(LogLevel::Info, "The account server took neither the stored token nor its refresh; signing in with the password");
  }
  const AccountLogin login{settings.userName, settings.password, settings.authServer, {}};
  return SignInWithPassword(login, to, kept, transport, choose);
}

std::string SignedInServerName(const CSettings& settings) {
  // A Microsoft account has no account server: it is named as what it is.
  if (IsMicrosoftAccountChoice(settings.authServer)) return msg::kMicrosoftAccount;
  const StoredCredentials kept = LoadKept(settings.SettingsPath());
  return kept.tokenServer == AccountServerAddress(settings.authServer) ? Printable(kept.serverName) : std::string();
}

}  // namespace kv
