#pragma once

#include <string>

#include "auth/microsoft_account_file.h"
#include "auth/stored_credentials.h"
#include "launch/launch_command.h"
#include "platform/platform_profile.h"
#include "settings/settings.h"

namespace kv {

// The inputs of a launch from freshly loaded settings. With `credentials` (a genuine
// account) the player name, id and token are the stored ones and the user type follows the
// legacy flag; without, the player is offline under the settings' user name. The game folder
// is the one the profile joins paths onto (FolderToJoinOnto): the log configuration's path
// is to be built from it too.
LaunchInputs MakeLaunchInputs(const CSettings& settings, const StoredCredentials* credentials,
                              const std::string& instanceName, const PlatformProfile& profile);

// Makes `inputs` those of the Microsoft account: its profile, the game's token, the user type
// "msa", the Xbox user id and the application id `clientId` it signed in with.
void UseMicrosoftAccount(LaunchInputs& inputs, const MicrosoftAccount& account, const std::string& clientId);

}  // namespace kv
