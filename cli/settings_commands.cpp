#include <cstdio>
#include <string>
#include <utility>

#include "cli/cli_commands.h"
#include "platform/profile_store.h"
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
constexpr const char* kSettingsUsage = "settings [--reveal] | settings --instance NAME";
constexpr const char* kInstancesUsage = "instances";
}  // namespace

int ShowSettings(const Arguments& args) {
  if (!args.empty() && args.front() == "--instance") {
    return args.size() == 2 ? ShowInstanceSettings(args[1]) : Usage(kSettingsUsage);
  }
  bool reveal = false;
  for (const std::string& arg : args) {
    if (arg != "--reveal") return Usage(kSettingsUsage);
    reveal = true;
  }
  CSettings settings;
  settings.Load();
  std::string password = reveal ? settings.password
                                : "<已隐藏 " + std::to_string(CountCodePoints(settings.password)) + " 个字符>";
  const auto game = [&settings](std::string_view key) { return GameSettingTextOf(settings.game, key).value_or(""); };
  const auto flag = [](bool value) { return std::string(profile::FlagText(value)); };
  const std::pair<const char*, std::string> rows[] = {
      {"UserName", settings.userName},
      {"PWD", password},
      {"IsGenuine", flag(settings.isGenuine)},
      {"JavaPath", game("JavaPath")},
      {"GamePath", settings.gamePath},
      {"JVMMemoryMin", game("JVMMemoryMin")},
      {"JVMMemoryMax", game("JVMMemoryMax")},
      {"LaunchParameters", game("LaunchParameters")},
      {"JavaVer", game("JavaVer")},
      {"IsAutoMallocMemory", game("IsAutoMallocMemory")},
      {"IsShowCmd", flag(settings.isShowCmd)},
      {"IsKeepLog", flag(settings.isKeepLog)},
      {"DownloadSource", settings.downloadSource ? std::string(SourceKindName(*settings.downloadSource)) : std::string()},
      {"AuthServer", settings.authServer},
      {"MsaClientId", settings.msaClientId},
  };
  for (const auto& [key, value] : rows) std::printf("%s=%s\n", key, value.c_str());
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
    {10, "settings", kSettingsUsage, "显示设置，每行一个 Key=Value（--reveal：显示密码）\n（--instance：实例在用的游戏设置及其来源）", ShowSettings}};
const CommandRegistration kInstances{{20, "instances", kInstancesUsage, "列出游戏实例：名称<TAB>版本", ListInstances}};
}  // namespace

}  // namespace kv::cli
