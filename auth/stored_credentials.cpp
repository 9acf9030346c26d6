#include "auth/stored_credentials.h"

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
  auto write = [&](const char* key, const std::string& value) {
    return profile::WriteString(c.settingsPath, kSection, key, value);
  };
  bool ok = write("AccessToken", EncodeSettingsText(c.accessToken));
  ok = write("ClientToken", EncodeSettingsText(c.clientToken)) && ok;
  ok = write("SelectedProfileId", EncodeSettingsText(c.profileId)) && ok;
  ok = write("SelectedProfileName", EncodeSettingsText(c.profileName)) && ok;
  ok = write("SelectedProfileLegacy", c.legacy ? "legacy" : "mojang") && ok;
  return ok;
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
}

std::string UserTypeOf(const StoredCredentials& credentials) {
  return credentials.legacy ? "legacy" : "mojang";
}

}  // namespace kv
