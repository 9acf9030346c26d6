#pragma once

#include <cstdint>
#include <string>

#include "auth/microsoft_documents.h"
#include "util/result.h"

// A Microsoft account that stays signed in: its tokens, the Xbox user and the game profile,
// kept in a file of their own in the launcher folder (readable by the player alone, replaced
// atomically), not in the settings file, which the Windows build reads with its short limits.
namespace kv {

struct MicrosoftAccount {
  std::string refreshToken;    // Microsoft's, for the next sign-in without the player
  std::string accessToken;     // the game's
  std::int64_t expiresAt = 0;  // when the game's token ends, in seconds since the epoch
  std::string userHash;
  std::string xuid;            // empty when Xbox Live gave none
  MinecraftProfile profile;
};

inline constexpr const char* kMicrosoftAccountFileName = "MicrosoftAccount.json";

// The account file beside the settings file `settingsPath`.
std::string MicrosoftAccountPath(const std::string& settingsPath);

// NotFound without a file; Invalid for a file that is damaged or lacks a token or the profile.
Result<MicrosoftAccount> LoadMicrosoftAccount(const std::string& path);
// Io when the file could not be written; an earlier file then stays as it was.
Status SaveMicrosoftAccount(const std::string& path, const MicrosoftAccount& account);
// Deletes the file (signing out); success when there is none. Io when it stays.
Status ForgetMicrosoftAccount(const std::string& path);

}  // namespace kv
