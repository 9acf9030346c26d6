#include "play/launch_inputs.h"

#include "auth/microsoft_sign_in.h"
#include "net/update_check.h"
#include "platform/platform_profile.h"

namespace kv {

LaunchInputs MakeLaunchInputs(const CSettings& settings, const StoredCredentials* credentials,
                              const std::string& instanceName, const PlatformProfile& profile) {
  LaunchInputs inputs;
  inputs.javaPath = settings.javaPath;
  inputs.gamePath = FolderToJoinOnto(settings.gamePath, profile);
  inputs.instanceName = instanceName;
  if (credentials != nullptr) {
    inputs.playerName = credentials->profileName;
    inputs.playerId = credentials->profileId;
    inputs.accessToken = credentials->accessToken;
    inputs.userType = UserTypeOf(*credentials);
  } else {
    inputs.playerName = settings.userName;
    inputs.userType = "legacy";
  }
  inputs.isAutoMallocMemory = settings.isAutoMallocMemory;
  inputs.jvmMemoryMin = settings.jvmMemoryMin;
  inputs.jvmMemoryMax = settings.jvmMemoryMax;
  inputs.launchParameters = settings.launchParameters;
  inputs.osVersion = HostOsVersion();
  inputs.launcherVersion = LauncherVersion();
  return inputs;
}

void UseMicrosoftAccount(LaunchInputs& inputs, const MicrosoftAccount& account, const std::string& clientId) {
  inputs.playerName = account.profile.name;
  inputs.playerId = account.profile.id;
  inputs.accessToken = account.accessToken;
  inputs.userType = "msa";
  inputs.xuid = LaunchXuid(account);
  inputs.clientId = clientId;
}

}  // namespace kv
