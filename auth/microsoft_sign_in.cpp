#include "auth/microsoft_sign_in.h"

#include "auth/microsoft_game_sign_in.h"
#include "platform/diagnostic_log.h"
#include "util/messages.h"

namespace kv {
namespace {

// A kept game token is used only with this much time left: a game session outlives its start.
constexpr std::chrono::minutes kFreshFor{10};

std::int64_t Seconds(std::chrono::system_clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

// Signs in to the game with Microsoft's token and keeps the account.
Result<MicrosoftAccount> Complete(const MicrosoftToken& token, const std::string& accountPath,
                                  const AccountTransport& transport, const Cancellation& cancel) {
  Result<microsoft::GameSignIn> game = microsoft::SignInToGame(token.accessToken, transport, cancel);
  if (!game) return std::move(game).failure();
  if (cancel.Cancelled()) return Fail(FailureKind::Cancelled, msg::kMsaSignInCancelled);
  MicrosoftAccount account;
  account.refreshToken = token.refreshToken;
  account.accessToken = game->game.accessToken;
  account.expiresAt = Seconds(std::chrono::system_clock::now()) + game->game.expiresIn;
  account.userHash = game->xsts.userHash;
  account.xuid = game->xsts.xuid;
  account.profile = std::move(game->profile);
  // Without a refresh token the account could not stay signed in.
  if (account.refreshToken.empty()) return Fail(FailureKind::Invalid, msg::MsaAnswerUnreadable("微软登录服务"));
  if (Status saved = SaveMicrosoftAccount(accountPath, account); !saved) return std::move(saved).failure();
  return account;
}

}  // namespace

Result<MicrosoftAccount> SignInWithDeviceCode(const DeviceCodeSignIn& how, const AccountTransport& transport,
                                              const Cancellation& cancel) {
  if (how.clientId.empty()) return Fail(FailureKind::Unsupported, msg::kMsaNoClientId);
  const Result<DeviceCode> code = microsoft::RequestDeviceCode(how.clientId, transport, cancel);
  if (!code) return code.failure();
  if (how.showCode) how.showCode(*code);
  const microsoft::PollWait wait =
      how.wait ? how.wait : [&cancel](std::chrono::seconds interval) { return cancel.WaitFor(interval); };
  const Result<MicrosoftToken> token = microsoft::AwaitDeviceToken(*code, how.clientId, transport, cancel, wait);
  if (!token) return token.failure();
  return Complete(*token, how.accountPath, transport, cancel);
}

Result<MicrosoftAccount> MicrosoftAccountForLaunch(const std::string& accountPath, const std::string& clientId,
                                                   const AccountTransport& transport,
                                                   std::chrono::system_clock::time_point now) {
  Result<MicrosoftAccount> kept = LoadMicrosoftAccount(accountPath);
  if (!kept) return kept;
  const std::int64_t left = kept->expiresAt - Seconds(now);
  if (left > std::chrono::duration_cast<std::chrono::seconds>(kFreshFor).count()) return kept;
  if (clientId.empty()) return Fail(FailureKind::Unsupported, msg::kMsaNoClientId);
  LogLine(LogLevel::Info, "The game token of the Microsoft account has ended or is about to; renewing it");
  const Cancellation never;
  const Result<MicrosoftToken> token =
      microsoft::RefreshMicrosoftToken(clientId, kept->refreshToken, transport, never);
  if (!token) return token.failure();
  return Complete(*token, accountPath, transport, never);
}

std::string LaunchXuid(const MicrosoftAccount& account) {
  return account.xuid.empty() ? account.userHash : account.xuid;
}

}  // namespace kv
