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
  if (!reply.answered) return NoAnswerMessage(reply);
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

// The account server a sign-in went to: the address the player configured (the tokens belong
// to it, and are only ever shown to it again) and what the address resolved to.
struct Destination {
  std::string address;
  AccountServer server;
};

SignInResult Store(const std::string& settingsPath, const Destination& to, const AuthReply& reply,
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
  if (!SaveStoredCredentials(credentials)) return {false, msg::kSignInNotSaved, to.server, {}};
  return {true, {}, to.server, profile.name};
}

SignInResult SignInWithPassword(const AccountLogin& login, const Destination& to, const StoredCredentials& kept,
                                const AccountTransport& transport, const ProfileChooser& choose) {
  const AccountServer& server = to.server;
  const bool sameServer = kept.tokenServer == to.address;
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
  if (bound) return Store(kept.settingsPath, to, reply, clientToken, profile);

  // The token is the account's, not yet a profile's: a refresh naming the profile makes it so.
  AuthReply refreshed;
  const AccountReply answer = transport.post(server.ActionUrl("refresh"), BuildTokenRequest(reply.accessToken, clientToken, &profile));
  if (auto failure = FailureOf(answer, refreshed)) return {false, *failure, server, {}};
  return Store(kept.settingsPath, to, refreshed, clientToken, profile);
}

struct Resolved {
  std::optional<Destination> to;
  StoredCredentials kept;
  std::string error;
};

Resolved ResolveWithKept(const std::string& authServer, const std::string& settingsPath, const AccountTransport& transport) {
  Resolved resolved;
  const std::string address = AccountServerAddress(authServer);
  AccountServerResult result = ResolveAccountServer(address, transport);
  if (result.server) resolved.to = Destination{address, std::move(*result.server)};
  resolved.error = std::move(result.error);
  InitStoredCredentials(resolved.kept, settingsPath);
  LoadStoredCredentials(resolved.kept);
  return resolved;
}

}  // namespace

SignInResult SignInWithCredentials(const AccountLogin& login, const std::string& settingsPath,
                                   const AccountTransport& transport, const ProfileChooser& choose) {
  Resolved resolved = ResolveWithKept(login.authServer, settingsPath, transport);
  if (!resolved.to) return {false, resolved.error, std::nullopt, {}};
  return SignInWithPassword(login, *resolved.to, resolved.kept, transport, choose);
}

SignInResult SignInForLaunch(const CSettings& settings, const AccountTransport& transport, const ProfileChooser& choose) {
  Resolved resolved = ResolveWithKept(settings.authServer, settings.SettingsPath(), transport);
  if (!resolved.to) return {false, resolved.error, std::nullopt, {}};
  const Destination& to = *resolved.to;
  const AccountServer& server = to.server;
  StoredCredentials& kept = resolved.kept;
  if (kept.tokenServer == to.address && !kept.accessToken.empty()) {
    const std::string tokens = BuildTokenRequest(kept.accessToken, kept.clientToken);
    const AccountReply validation = transport.post(server.ActionUrl("validate"), tokens);
    if (!validation.answered) return {false, NoAnswerMessage(validation), server, {}};
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
      return Store(kept.settingsPath, to, refreshed, kept.clientToken, profile);
    }
    LogLine(LogLevel::Info, "The account server took neither the stored token nor its refresh; signing in with the password");
  }
  const AccountLogin login{settings.userName, settings.password, settings.authServer, {}};
  return SignInWithPassword(login, to, kept, transport, choose);
}

std::string SignedInServerName(const CSettings& settings) {
  StoredCredentials kept;
  InitStoredCredentials(kept, settings.SettingsPath());
  LoadStoredCredentials(kept);
  return kept.tokenServer == AccountServerAddress(settings.authServer) ? kept.serverName : std::string();
}

}  // namespace kv
