#include "auth/stored_credentials.h"

#include "net/endpoints.h"
#include "platform/launcher_folder.h"
#include "platform/profile_store.h"
#include "util/base64.h"

namespace kv {
namespace {

constexpr const char* kSection = "AuthCfg";

}  // namespace

void InitStoredCredentials(StoredCredentials& credentials) {
  InitStoredCredentials(credentials, SettingsFilePath());
}

void InitStoredCredentials(StoredCredentials& credentials, const std::string& settingsPath) {
  credentials = StoredCredentials{};
  credentials.settingsPath = settingsPath;
}

bool SaveStoredCredentials(const StoredCredentials& c) {
  const std::string accessToken = EncodeSettingsText(c.accessToken);
  const std::string clientToken = EncodeSettingsText(c.clientToken);
  const std::string profileId = EncodeSettingsText(c.profileId);
  const std::string profileName = EncodeSettingsText(c.profileName);
  const std::string tokenServer = EncodeSettingsText(c.tokenServer);
  const std::string serverName = EncodeSettingsText(c.serverName);
  return profile::WriteStrings(c.settingsPath, {{kSection, "AccessToken", accessToken},
                                                {kSection, "ClientToken", clientToken},
                                                {kSection, "SelectedProfileId", profileId},
                                                {kSection, "SelectedProfileName", profileName},
                                                {kSection, "SelectedProfileLegacy", c.legacy ? "legacy" : "mojang"},
                                                // Only where they are set, so that a file of the
                                                // Windows build keeps its bytes.
                                                {kSection, "TokenServer", profile::ValueUnlessEmpty(tokenServer)},
                                                {kSection, "ServerName", profile::ValueUnlessEmpty(serverName)}});
}

void LoadStoredCredentials(StoredCredentials& c) {
  auto read = [&](const char* key) {
    return DecodeSettingsText(profile::GetString(c.settingsPath, kSection, key, ""));
  };
  c.accessToken = read("AccessToken");
  c.clientToken = read("ClientToken");
  c.profileId = read("SelectedProfileId");
  c.profileName = read("SelectedProfileName");
  c.legacy = profile::GetString(c.settingsPath, kSection, "SelectedProfileLegacy", "") == "legacy" ? 1 : 0;
  c.tokenServer = read("TokenServer");
  c.serverName = read("ServerName");
}

bool ForgetSignInOfOtherServers(const std::string& settingsPath, const std::string& authServer) {
  StoredCredentials kept;
  InitStoredCredentials(kept, settingsPath);
  LoadStoredCredentials(kept);
  const bool none = kept.accessToken.empty() && kept.tokenServer.empty();
  if (none || kept.tokenServer == AccountServerAddress(authServer)) return true;
  return profile::DeleteSection(settingsPath, kSection);
}

std::string UserTypeOf(const StoredCredentials& credentials) {
  return credentials.legacy ? "legacy" : "mojang";
}

}  // namespace kv
