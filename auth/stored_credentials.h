#pragma once

#include <string>

namespace kv {

// The result of the last successful sign-in, kept in section "AuthCfg" of the settings file.
// Every text goes through the settings Base64 encoding; the legacy flag is stored as
// "legacy" or "mojang". The Windows build reads the first five keys; the server that issued
// the tokens and its name are kept beside them, so that tokens are only ever shown to the
// server they came from.
struct StoredCredentials {
  std::string settingsPath;
  std::string accessToken;
  std::string clientToken;
  std::string profileId;
  std::string profileName;
  int legacy = 0;
  std::string tokenServer;  // "TokenServer": the account server address they were issued for
  std::string serverName;   // "ServerName": the account server's own name, empty for none
};

// Everything empty, the settings file of the launcher folder (or `settingsPath`).
void InitStoredCredentials(StoredCredentials& credentials);
void InitStoredCredentials(StoredCredentials& credentials, const std::string& settingsPath);

// False when the settings file could not be written.
bool SaveStoredCredentials(const StoredCredentials& credentials);
void LoadStoredCredentials(StoredCredentials& credentials);

// Removes the stored sign-in unless the server of the AuthServer setting `authServer` issued
// it: a change of account server keeps nothing of the old one's. False when the settings file
// could not be written.
bool ForgetSignInOfOtherServers(const std::string& settingsPath, const std::string& authServer);

// "legacy" when the legacy flag is set, else "mojang".
std::string UserTypeOf(const StoredCredentials& credentials);

}  // namespace kv
