#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "auth/account_transport.h"
#include "auth/microsoft_account_file.h"
#include "auth/microsoft_oauth.h"
#include "util/cancellation.h"
#include "util/result.h"

// Signing a Microsoft account in: once with a device code that the player enters in a
// browser, and before each launch without the player, from what that sign-in kept. Nothing is
// stored unless the whole sign-in succeeded; the failures are those of its steps
// (microsoft_oauth.h, microsoft_game_sign_in.h), and Unsupported without an application id.
namespace kv {

struct DeviceCodeSignIn {
  std::string clientId;
  std::string accountPath;  // where the account is kept (MicrosoftAccountPath)
  // Told the code once Microsoft has given it, on the sign-in's thread.
  std::function<void(const DeviceCode&)> showCode;
  // Waits between two polls; empty: the interval, cut short by a cancellation.
  microsoft::PollWait wait;
};

// The whole sign-in; cancelling ends it at once, at any step, and keeps nothing.
Result<MicrosoftAccount> SignInWithDeviceCode(const DeviceCodeSignIn& how, const AccountTransport& transport,
                                              const Cancellation& cancel);

// The account to play at `now`: the kept one as it is, without any request, while its game
// token has more than ten minutes left; else Microsoft's token is renewed with the kept
// refresh token and the game's token, ownership and profile are fetched again, and the result
// is kept. Refused with a request to sign in again when Microsoft no longer takes the refresh
// token; NotFound before any sign-in; Invalid for a damaged file.
Result<MicrosoftAccount> MicrosoftAccountForLaunch(const std::string& accountPath, const std::string& clientId,
                                                   const AccountTransport& transport,
                                                   std::chrono::system_clock::time_point now);

// The Xbox user id the game is given: XSTS's, else the user hash.
std::string LaunchXuid(const MicrosoftAccount& account);

}  // namespace kv
