#include "auth/microsoft_oauth.h"

#include <algorithm>

#include "auth/microsoft_services.h"
#include "util/messages.h"

namespace kv::microsoft {
namespace {

constexpr std::chrono::seconds kSlowDownStep{5};
constexpr const char* kServiceName = "微软登录服务";

// What an OAuth error reply means for the player.
Failure OAuthFailure(const AccountReply& reply) {
  const OAuthError error = ParseOAuthError(reply.body);
  const std::string& code = error.error;
  if (code.empty()) return Fail(FailureKind::Refused, msg::MsaServiceRefused(kServiceName, reply.status));
  if (code == "expired_token") return Fail(FailureKind::TimedOut, msg::kMsaCodeExpired);
  if (code == "authorization_declined") return Fail(FailureKind::Refused, msg::kMsaDeclined);
  if (code == "access_denied") return Fail(FailureKind::Refused, msg::kMsaAccessDenied);
  if (code == "bad_verification_code") return Fail(FailureKind::Invalid, msg::kMsaBadCode);
  if (code == "invalid_grant") return Fail(FailureKind::Refused, msg::kMsaSignInAgain);
  if (code == "invalid_client" || code == "unauthorized_client") {
    return Fail(FailureKind::Refused, msg::MsaClientRefused(code));
  }
  return Fail(FailureKind::Refused, msg::MsaRefused(code, error.description));
}

Result<MicrosoftToken> TokenOf(const AccountReply& reply) {
  if (!reply.Succeeded()) return OAuthFailure(reply);
  std::optional<MicrosoftToken> token = ParseMicrosoftToken(reply.body);
  if (!token) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable(kServiceName));
  return *token;
}

}  // namespace

Result<DeviceCode> RequestDeviceCode(const std::string& clientId, const AccountTransport& transport,
                                     const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, FormPost(kDeviceCodeUrl, DeviceCodeForm(clientId)), cancel);
  if (!reply) return reply.failure();
  if (!reply->Succeeded()) return OAuthFailure(*reply);
  std::optional<DeviceCode> code = ParseDeviceCode(reply->body);
  if (!code) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable(kServiceName));
  return *code;
}

Result<MicrosoftToken> AwaitDeviceToken(const DeviceCode& code, const std::string& clientId,
                                        const AccountTransport& transport, const Cancellation& cancel,
                                        const PollWait& wait) {
  std::chrono::seconds interval{std::max(code.interval, 1)};
  const std::chrono::seconds lifetime{std::max(code.expiresIn, 0)};
  std::chrono::seconds waited{0};
  const WebRequest poll = FormPost(kTokenUrl, DeviceTokenForm(clientId, code.deviceCode));
  while (true) {
    if (waited >= lifetime) return Fail(FailureKind::TimedOut, msg::kMsaCodeExpired);
    if (!wait(interval)) return Fail(FailureKind::Cancelled, msg::kMsaSignInCancelled);
    waited += interval;
    const Result<AccountReply> reply = Send(transport, poll, cancel);
    if (!reply) return reply.failure();
    if (!reply->Succeeded()) {
      const std::string error = ParseOAuthError(reply->body).error;
      if (error == "authorization_pending") continue;
      if (error == "slow_down") {
        interval += kSlowDownStep;
        continue;
      }
    }
    return TokenOf(*reply);
  }
}

Result<MicrosoftToken> RefreshMicrosoftToken(const std::string& clientId, const std::string& refreshToken,
                                          const AccountTransport& transport, const Cancellation& cancel) {
  const Result<AccountReply> reply = Send(transport, FormPost(kTokenUrl, RefreshTokenForm(clientId, refreshToken)), cancel);
  if (!reply) return reply.failure();
  Result<MicrosoftToken> token = TokenOf(*reply);
  if (token && token->refreshToken.empty()) token->refreshToken = refreshToken;
  return token;
}

}  // namespace kv::microsoft
