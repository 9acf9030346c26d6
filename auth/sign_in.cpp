#include "auth/sign_in.h"

#include <algorithm>
#include <random>

#include "auth/stored_credentials.h"
#include "net/endpoints.h"
#include "platform/diagnostic_log.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv {
namespace {

// Tokens belong to the server that issued them: the address its actions hang below.
std::string TokenServerOf(const AccountServer& server) { return server.ActionUrl(""); }

// Names this launcher to the server; a sign-in with the same client token replaces the tokens
// the earlier one was given.
std::string NewClientToken() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string token;
  for (int i = 0; i < 32; ++i) token += kHex[random() % 16];
  return token;
}

// Why a reply to authenticate or refresh is no sign-in, for the player; nothing when `parsed`
// now holds a usable reply.
std::optional<std::string> FailureOf(const AccountReply& reply, AuthReply& parsed) {
  if (!reply.answered) return msg::kSignInTimedOut;
  if (reply.body.empty()) return msg::kSignInNoData;
  AuthErrorReply error;
  ParseAuthError(reply.body, error);
  if (!error.error.empty()) return msg::SignInRefused(error.error, error.errorMessage);
  ParseAuthReply(reply.body, parsed);
  // A reply without a token (a captive portal's page, a cut-off body) is no sign-in: storing
  // its empty values would throw away the credentials of the last good one.
  if (parsed.accessToken.empty()) return msg::kSignInNoData;
  return std::nullopt;
}

bool HasSelectedProfile(const AuthReply& reply) { return reply.selectedProfile && !reply.selectedProfile->id.empty(); }

struct ProfileDecision {
  std::optional<GameProfile> profile;
  std::string error;
};

ProfileDecision DecideProfile(const AuthReply& reply, const std::string& wanted, const std::string& keptId,
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
    if (auto named = find([&](const GameProfile& p) { return p.name == wanted; })) return {named, {}};
    return {std::nullopt, msg::NoSuchProfile(wanted, names)};
  }
  if (selected) return {reply.selectedProfile, {}};
  // An account without any profile signs in all the same, with an empty one.
  if (profiles.empty()) return {reply.selectedProfile.value_or(GameProfile{}), {}};
  if (!keptId.empty()) {
    if (auto kept = find([&](const GameProfile& p) { return p.id == keptId; })) return {kept, {}};
  }
  if (profiles.size() == 1) return {profiles.front(), {}};
  if (!choose) return {std::nullopt, msg::ProfileChoiceNeeded(names)};
  const std::optional<std::size_t> chosen = choose(profiles);
  if (!chosen || *chosen >= profiles.size()) return {std::nullopt, msg::kProfileNotChosen};
  return {profiles[*chosen], {}};
}

SignInResult Store(const std::string& settingsPath, const AccountServer& server, const AuthReply& reply,
                   const std::string& clientToken, const GameProfile& profile) {
  StoredCredentials credentials;
  InitStoredCredentials(credentials, settingsPath);
  credentials.accessToken = reply.accessToken;
  credentials.clientToken = reply.clientToken.empty() ? clientToken : reply.clientToken;
  credentials.profileId = profile.id;
  credentials.profileName = profile.name;
  credentials.legacy = profile.legacy ? 1 : 0;
  credentials.tokenServer = TokenServerOf(server);
  credentials.serverName = server.name;
  if (!SaveStoredCredentials(credentials)) return {false, msg::kSignInNotSaved, server, {}};
  return {true, {}, server, profile.name};
}

SignInResult SignInWithPassword(const AccountLogin& login, const AccountServer& server, const StoredCredentials& kept,
                                const AccountTransport& transport, const ProfileChooser& choose) {
  const bool sameServer = kept.tokenServer == TokenServerOf(server);
  AuthRequest request;
  request.username = login.username;
  request.password = login.password;
  request.clientToken = sameServer && !kept.clientToken.empty() ? kept.clientToken : NewClientToken();
  AuthReply reply;
  if (auto failure = FailureOf(transport.post(server.ActionUrl("authenticate"), BuildAuthRequest(request)), reply)) {
    return {false, *failure, server, {}};
  }
  const std::string clientToken = reply.clientToken.empty() ? request.clientToken : reply.clientToken;
  const ProfileDecision decision = DecideProfile(reply, login.profileName, sameServer ? kept.profileId : "", choose);
  if (!decision.profile) return {false, decision.error, server, {}};
  const GameProfile& profile = *decision.profile;
  const bool bound = profile.id.empty() || (HasSelectedProfile(reply) && reply.selectedProfile->id == profile.id);
  if (bound) return Store(kept.settingsPath, server, reply, clientToken, profile);

  // The token is the account's, not yet a profile's: a refresh naming the profile makes it so.
  AuthReply refreshed;
  const AccountReply answer = transport.post(server.ActionUrl("refresh"), BuildTokenRequest(reply.accessToken, clientToken, &profile));
  if (auto failure = FailureOf(answer, refreshed)) return {false, *failure, server, {}};
  return Store(kept.settingsPath, server, refreshed, clientToken, profile);
}

struct Resolved {
  std::optional<AccountServer> server;
  StoredCredentials kept;
  std::string error;
};

Resolved ResolveWithKept(const std::string& authServer, const std::string& settingsPath, const AccountTransport& transport) {
  Resolved resolved;
  AccountServerResult result = ResolveAccountServer(AccountServerAddress(authServer), transport);
  resolved.server = std::move(result.server);
  resolved.error = std::move(result.error);
  InitStoredCredentials(resolved.kept, settingsPath);
  LoadStoredCredentials(resolved.kept);
  return resolved;
}

}  // namespace

SignInResult SignInWithCredentials(const AccountLogin& login, const std::string& settingsPath,
                                   const AccountTransport& transport, const ProfileChooser& choose) {
  Resolved resolved = ResolveWithKept(login.authServer, settingsPath, transport);
  if (!resolved.server) return {false, resolved.error, std::nullopt, {}};
  return SignInWithPassword(login, *resolved.server, resolved.kept, transport, choose);
}

SignInResult SignInForLaunch(const CSettings& settings, const AccountTransport& transport, const ProfileChooser& choose) {
  Resolved resolved = ResolveWithKept(settings.authServer, settings.SettingsPath(), transport);
  if (!resolved.server) return {false, resolved.error, std::nullopt, {}};
  const AccountServer& server = *resolved.server;
  StoredCredentials& kept = resolved.kept;
  if (kept.tokenServer == TokenServerOf(server) && !kept.accessToken.empty()) {
    const std::string tokens = BuildTokenRequest(kept.accessToken, kept.clientToken);
    const AccountReply validation = transport.post(server.ActionUrl("validate"), tokens);
    if (!validation.answered) return {false, msg::kSignInTimedOut, server, {}};
    if (validation.Succeeded()) {
      if (kept.serverName != server.name) {
        // Only the name shown beside the player's changes; a failed write costs nothing else.
        kept.serverName = server.name;
        SaveStoredCredentials(kept);
      }
      return {true, {}, server, kept.profileName};
    }
    AuthReply refreshed;
    if (!FailureOf(transport.post(server.ActionUrl("refresh"), tokens), refreshed)) {
      const GameProfile profile = HasSelectedProfile(refreshed)
                                      ? *refreshed.selectedProfile
                                      : GameProfile{kept.profileId, kept.profileName, kept.legacy != 0};
      return Store(kept.settingsPath, server, refreshed, kept.clientToken, profile);
    }
    LogLine(LogLevel::Info, "The account server took neither the stored token nor its refresh; signing in with the password");
  }
  const AccountLogin login{settings.userName, settings.password, settings.authServer, {}};
  return SignInWithPassword(login, server, kept, transport, choose);
}

}  // namespace kv
