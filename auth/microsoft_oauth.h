#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "auth/account_transport.h"
#include "auth/microsoft_documents.h"
#include "util/cancellation.h"
#include "util/result.h"

// Microsoft's side of the sign-in (OAuth 2.0 at login.microsoftonline.com): a device code that
// the player enters on any device, the token that the service gives once they have, and the
// renewal of that token without the player. Failures carry the player's text: Cancelled once
// the sign-in is cancelled, TimedOut for a code that expired, Refused for a refusal (the
// player declined, the application id is not accepted, a renewal that needs a new sign-in:
// "invalid_grant"), Invalid for an answer that is not what the step needs, and the transport's
// kinds.
namespace kv::microsoft {

Result<DeviceCode> RequestDeviceCode(const std::string& clientId, const AccountTransport& transport,
                                     const Cancellation& cancel);

// Waits `interval` unless the sign-in is cancelled first; false when it was.
using PollWait = std::function<bool(std::chrono::seconds interval)>;

// Asks for the token every `interval` of the code (at least a second) until the player has
// signed in: "authorization_pending" waits on, "slow_down" adds five seconds to the interval
// for the rest of the polling, and once the code's lifetime has been waited it has expired.
Result<MicrosoftToken> AwaitDeviceToken(const DeviceCode& code, const std::string& clientId,
                                        const AccountTransport& transport, const Cancellation& cancel,
                                        const PollWait& wait);

// A new token for the refresh token; the reply's refresh token replaces the old one, which is
// kept when the reply gives none.
Result<MicrosoftToken> RefreshMicrosoftToken(const std::string& clientId, const std::string& refreshToken,
                                          const AccountTransport& transport, const Cancellation& cancel);

}  // namespace kv::microsoft
