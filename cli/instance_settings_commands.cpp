#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "platform/machine_memory.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "settings/settings_change.h"
#include "util/messages.h"
#include "util/text.h"

namespace kv::cli {
namespace {

// The instance's entry; nothing (said on standard error) for an unknown name.
const InstanceEntry* FindInstance(const CInstanceList& instances, const std::string& name) {
  const int index = instances.IndexOf(name);
  if (index < 0) {
    Note(msg::InstanceUnknown(Printable(name)));
    return nullptr;
  }
  return &instances.Entries()[static_cast<std::size_t>(index)];
}

}  // namespace

int ShowInstanceSettings(const std::string& name) {
  const CInstanceList instances(false);
  const InstanceEntry* entry = FindInstance(instances, name);
  if (!entry) return 1;
  CSettings launcher;
  launcher.Load();
  const std::vector<GameSettingText> own = GameSettingTexts(entry->own);
  const std::vector<GameSettingText> inForce = GameSettingTexts(GameSettingsInForce(entry->own, launcher.game));
  for (std::size_t i = 0; i < inForce.size(); ++i) {
    std::printf("%s=%s\t%s\n", inForce[i].key, inForce[i].text.value_or("").c_str(),
                own[i].text ? msg::kOwnSetting : msg::kFollowsLauncher);
  }
  return 0;
}

// KEY VALUE pairs, or with --follow the keys that follow the launcher again; checked as the
// settings dialog checks them, with the values in force.
int SetInstanceSettings(const std::string& name, const Arguments& rest, const char* usage) {
  const bool follow = !rest.empty() && rest.front() == "--follow";
  if (rest.size() < 2 || (!follow && rest.size() % 2 != 0)) return Usage(usage);
  CInstanceList instances(false);
  const InstanceEntry* entry = FindInstance(instances, name);
  if (!entry) return 1;
  GameSettings own = entry->own;
  std::string changedKeys;
  for (std::size_t i = follow ? 1 : 0; i < rest.size(); i += follow ? 1 : 2) {
    const Status changed = follow ? FollowLauncherSetting(own, rest[i]) : SetGameSettingByKey(own, rest[i], rest[i + 1], true);
    if (!changed) return Fail(changed.message());
    changedKeys += (changedKeys.empty() ? "" : ", ") + rest[i];
  }
  const CSettings launcher = ReadSettings(instances.SettingsPath());
  const std::string problem =
      CheckGameSettings(GameSettingsInForce(own, launcher.game), instances.SettingsPath(), PhysicalMemoryMb());
  if (!problem.empty()) return Fail(problem);
  if (!instances.SetOwnSettings(name, own)) return Fail(msg::kSettingsNotWritten);
  std::printf("%s\n", msg::SettingsSaved(changedKeys).c_str());
  return 0;
}

}  // namespace kv::cli
