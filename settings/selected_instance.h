#pragma once

#include <string>

// The instance the player selected last, kept in the settings file ("SelectedInstance" in
// section "KvCfg") so that the launcher window selects it again at the next start. Renaming
// an instance carries the mark over; deleting it clears the mark.
namespace kv {

// Empty when none was kept.
std::string LoadSelectedInstance(const std::string& settingsPath);
// False when the settings file could not be written.
bool SaveSelectedInstance(const std::string& settingsPath, const std::string& name);

}  // namespace kv
