#pragma once

#include <string>

#include "settings/game_settings.h"
#include "settings/settings.h"

// Each instance's own game settings over the launcher's.
namespace kv {

// The instance's own game settings (none for an unknown name).
GameSettings OwnGameSettings(const std::string& settingsPath, const std::string& instanceName);

// Puts the game settings in force for the instance into `settings`, as its launch uses them:
// its own values over the launcher's. Settings changed so are for launching, not for saving.
void ApplyInstanceSettings(CSettings& settings, const std::string& instanceName);

}  // namespace kv
