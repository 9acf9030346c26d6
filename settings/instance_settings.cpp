#include "settings/instance_settings.h"

#include "settings/instance_list.h"

namespace kv {

GameSettings OwnGameSettings(const std::string& settingsPath, const std::string& instanceName) {
  const CInstanceList instances(settingsPath, false);
  const int index = instances.IndexOf(instanceName);
  return index < 0 ? GameSettings{} : instances.Entries()[static_cast<std::size_t>(index)].own;
}

void ApplyInstanceSettings(CSettings& settings, const std::string& instanceName) {
  const GameSettings own = OwnGameSettings(settings.SettingsPath(), instanceName);
  // A Java the instance names is chosen, not found.
  if (own.javaPath) settings.javaPathDiscovered = false;
  settings.game = GameSettingsInForce(own, settings.game);
}

}  // namespace kv
