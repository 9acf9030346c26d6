#pragma once

#include <string>

#include "auth/account_transport.h"
#include "auth/microsoft_documents.h"
#include "util/cancellation.h"
#include "util/result.h"

// From Microsoft's token to the game: Xbox Live, XSTS for the game's services, the game's own
// token, the check that the account owns the game, and its profile. Each failure carries the
// player's text: Refused for a refusal (every XSTS "XErr" with what the player can do about
// it; a 403 for the game's token: the application id is not approved for the game's services),
// Mismatch when XSTS names another user than Xbox Live did, NotFound for an account without
// the game or without a profile, Invalid for an answer the step cannot use, Cancelled, and the
// transport's kinds.
namespace kv::microsoft {

struct GameSignIn {
  XboxToken xsts;  // its user hash and Xbox user id
  GameToken game;
  MinecraftProfile profile;
};

Result<GameSignIn> SignInToGame(const std::string& microsoftAccessToken, const AccountTransport& transport,
                                const Cancellation& cancel);

}  // namespace kv::microsoft
