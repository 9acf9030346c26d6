#include "auth/microsoft_game_sign_in.h"

#include "auth/microsoft_services.h"
#include "util/messages.h"

namespace kv::microsoft {
namespace {

constexpr const char* kXboxLive = "Xbox Live";
constexpr const char* kGameServices = "Minecraft 服务";
constexpr long kUnauthorized = 401;
constexpr long kForbidden = 403;
constexpr long kNotFound = 404;

// Why XSTS refused the account, and what the player can do.
Failure XstsRefusal(const std::string& xerr) {
  struct Known {
    const char* code;
    const char* text;
  };
  static constexpr Known kKnown[] = {
      {"2148916233", msg::kXboxNoProfile},        {"2148916235", msg::kXboxNotInRegion},
      {"2148916236", msg::kXboxAdultCheck},       {"2148916237", msg::kXboxAdultCheck},
      {"2148916238", msg::kXboxChildAccount},     {"2148916227", msg::kXboxBanned},
      {"2148916229", msg::kXboxGuardianBlocks},   {"2148916234", msg::kXboxTermsNotAccepted},
  };
  for (const Known& known : kKnown) {
    if (xerr == known.code) return Fail(FailureKind::Refused, known.text);
  }
  return Fail(FailureKind::Refused, msg::XboxRefused(xerr));
}

Result<XboxToken> XboxTokenOf(const AccountReply& reply, const char* service) {
  if (!reply.Succeeded()) return Fail(FailureKind::Refused, msg::MsaServiceRefused(service, reply.status));
  std::optional<XboxToken> token = ParseXboxToken(reply.body);
  if (!token) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable(service));
  return *token;
}

Result<XboxToken> XboxLive(const std::string& microsoftAccessToken, const AccountTransport& transport,
                           const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, JsonPost(kXboxLiveUrl, XboxLiveRequest(microsoftAccessToken)), cancel);
  if (!reply) return reply.failure();
  return XboxTokenOf(*reply, kXboxLive);
}

Result<XboxToken> Xsts(const XboxToken& xboxLive, const AccountTransport& transport, const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, JsonPost(kXstsUrl, XstsRequest(xboxLive.token)), cancel);
  if (!reply) return reply.failure();
  if (reply->status == kUnauthorized) {
    if (const std::optional<std::string> xerr = ParseXErr(reply->body)) return XstsRefusal(*xerr);
  }
  Result<XboxToken> token = XboxTokenOf(*reply, kXboxLive);
  if (token && token->userHash != xboxLive.userHash) return Fail(FailureKind::Mismatch, msg::kXboxUserHashMismatch);
  return token;
}

Result<GameToken> GameLogin(const XboxToken& xsts, const AccountTransport& transport, const Cancellation& cancel) {
  const Result<AccountReply> reply =
      Send(transport, JsonPost(kGameLoginUrl, GameLoginRequest(xsts.userHash, xsts.token)), cancel);
  if (!reply) return reply.failure();
  if (reply->status == kForbidden) return Fail(FailureKind::Refused, msg::kMsaAppNotApproved);
  if (!reply->Succeeded()) return Fail(FailureKind::Refused, msg::MsaServiceRefused(kGameServices, reply->status));
  std::optional<GameToken> token = ParseGameToken(reply->body);
  if (!token) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable(kGameServices));
  return *token;
}

Status CheckOwnership(const GameToken& game, const AccountTransport& transport, const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, AuthorisedGet(kEntitlementsUrl, game.accessToken), cancel);
  if (!reply) return reply.failure();
  if (!reply->Succeeded()) return Fail(FailureKind::Refused, msg::MsaServiceRefused(kGameServices, reply->status));
  if (!OwnsTheGame(reply->body)) return Fail(FailureKind::NotFound, msg::kMsaNoGame);
  return {};
}

Result<MinecraftProfile> Profile(const GameToken& game, const AccountTransport& transport, const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, AuthorisedGet(kProfileUrl, game.accessToken), cancel);
  if (!reply) return reply.failure();
  if (reply->status == kNotFound) return Fail(FailureKind::NotFound, msg::kMsaNoProfile);
  if (!reply->Succeeded()) return Fail(FailureKind::Refused, msg::MsaServiceRefused(kGameServices, reply->status));
  std::optional<MinecraftProfile> profile = ParseProfile(reply->body);
  if (!profile) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable(kGameServices));
  return *profile;
}

}  // namespace

Result<GameSignIn> SignInToGame(const std::string& microsoftAccessToken, const AccountTransport& transport,
                                const Cancellation& cancel) {
  const Result<XboxToken> xboxLive = XboxLive(microsoftAccessToken, transport, cancel);
  if (!xboxLive) return xboxLive.failure();
  Result<XboxToken> xsts = Xsts(*xboxLive, transport, cancel);
  if (!xsts) return std::move(xsts).failure();
  Result<GameToken> game = GameLogin(*xsts, transport, cancel);
  if (!game) return std::move(game).failure();
  if (Status owned = CheckOwnership(*game, transport, cancel); !owned) return std::move(owned).failure();
  Result<MinecraftProfile> profile = Profile(*game, transport, cancel);
  if (!profile) return std::move(profile).failure();
  return GameSignIn{std::move(*xsts), std::move(*game), std::move(*profile)};
}

}  // namespace kv::microsoft
