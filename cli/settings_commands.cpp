#include <cstdio>
#include <string>
#include <utility>

#include "cli/cli_commands.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/text.h"

namespace kv::cli {

std::string GameFolder() {
  CSettings settings;
  settings.Load();
  return settings.gamePath;
}

namespace {
constexpr const char* kSettingsUsage = "settings [--reveal]";
constexpr const char* kInstancesUsage = "instances";
}  // namespace

int ShowSettings(const Arguments& args) {
  bool reveal = false;
  for (const std::string& arg : args) {
    if (arg != "--reveal") return Usage(kSettingsUsage);
    reveal = true;
  }
  CSettings settings;
  settings.Load();
  std::string password = reveal ? settings.password
                                : "<已隐藏 " + std::to_string(CountCodePoints(settings.password)) + " 个字符>";
  const std::pair<const char*, const std::string*> rows[] = {
      {"UserName", &settings.userName},
      {"PWD", &password},
      {"IsGenuine", &settings.isGenuine},
      {"JavaPath", &settings.javaPath},
      {"GamePath", &settings.gamePath},
      {"JVMMemoryMin", &settings.jvmMemoryMin},
      {"JVMMemoryMax", &settings.jvmMemoryMax},
      {"LaunchParameters", &settings.launchParameters},
      {"JavaVer", &settings.javaVer},
      {"IsAutoMallocMemory", &settings.isAutoMallocMemory},
      {"IsShowCmd", &settings.isShowCmd},
      {"IsKeepLog", &settings.isKeepLog},
      {"DownloadSource", &settings.downloadSource},
      {"AuthServer", &settings.authServer},
  };
  for (const auto& [key, value] : rows) std::printf("%s=%s\n", key, value->c_str());
  return 0;
}

int ListInstances(const Arguments& args) {
  if (!args.empty()) return Usage(kInstancesUsage);
  CInstanceList list(false);
  // Standard output stays a list for scripts; an empty one is explained beside it.
  if (list.Entries().empty()) Note("还没有游戏实例（用 korvane-cli add NAME VERSION 添加）");
  for (const InstanceEntry& entry : list.Entries()) {
    std::printf("%s\t%s\n", entry.name.c_str(), entry.version.c_str());
  }
  return 0;
}

namespace {
const CommandRegistration kSettings{
    {10, "settings", kSettingsUsage, "显示设置，每行一个 Key=Value（--reveal：显示密码）", ShowSettings}};
const CommandRegistration kInstances{{20, "instances", kInstancesUsage, "列出游戏实例：名称<TAB>版本", ListInstances}};
}  // namespace

}  // namespace kv::cli
