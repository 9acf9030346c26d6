#include <cstdio>
#include <optional>
#include <string>

#include "auth/stored_credentials.h"
#include "cli/cli_commands.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/legacy_assets.h"
#include "launch/launch_command.h"
#include "meta/version_description.h"
#include "platform/platform_profile.h"
#include "play/java_choice.h"
#include "play/launch_inputs.h"
#include "play/version_messages.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kSynopsis = "command NAME [--text]";

// Prints the command that would start an instance from what is already in the game folder:
// one argument a line, or with --text the one-line command. Which Java it uses, and why, goes
// to standard error.
int ShowCommand(const Arguments& args) {
  std::optional<std::string> name;
  bool asText = false;
  for (const std::string& arg : args) {
    if (arg == "--text") asText = true;
    else if (!name && arg.rfind("--", 0) != 0) name = arg;
    else return Usage(kSynopsis);
  }
  if (!name) return Usage(kSynopsis);

  CInstanceList instances(false);
  if (!instances.Contains(*name)) return Fail("没有这个游戏实例");
  const std::string version = instances.GetVersion(*name);
  if (!IsSafeVersionId(version)) return Fail("实例的版本号不能用作文件夹名: " + version);

  CSettings settings;
  settings.Load();
  const std::string path = VersionJsonPath(settings.gamePath, version);
  if (!PathExists(path)) return Fail("找不到版本描述文件: " + path);
  VersionDescription description;
  const InheritanceResult chain = ReadVersionChain(settings.gamePath, version, description);
  if (chain.status == InheritanceStatus::Unreadable) return Fail("版本描述文件无法读取: " + path);
  if (chain.status != InheritanceStatus::Resolved) return Fail(VersionFailureMessage(chain));

  std::optional<StoredCredentials> credentials;
  if (settings.isGenuine == "true") {
    credentials.emplace();
    InitStoredCredentials(*credentials, settings.SettingsPath());
    LoadStoredCredentials(*credentials);
  }
  LaunchInputs inputs = MakeLaunchInputs(settings, credentials ? &*credentials : nullptr, *name, PlatformProfile::Host());
  const JavaChoice java =
      ChooseJava(description.javaMajorVersion, settings.javaPathDiscovered ? "" : settings.javaPath, HostJavaSource());
  if (java.path.empty()) return Fail(java.reason);
  inputs.javaPath = java.path;
  // The asset layout as a launch would decide it from what is on disk.
  AssetIndex assets;
  if (!description.assets.empty()) ReadAssetIndex(settings.gamePath, description.assets, assets);
  inputs.legacyAssets = UsesLegacyAssetTree(DownloadSource::Configured(settings.downloadSource), version,
                                            description.assets, assets);
  inputs.logConfigPath = LogConfigInPlace(inputs.gamePath, description);
  const LaunchCommandResult built = BuildLaunchCommand(description, inputs, PlatformProfile::Host(), NativeBitness());
  if (built.refusal == LaunchCommandResult::Refusal::GameFolderSplitsClassPath) {
    return Fail(msg::GameFolderSplitsClassPath(settings.gamePath));
  }
  if (!built.command) return Fail("版本描述中的名称不能用作路径: " + built.refused);
  const LaunchCommand& command = *built.command;
  std::fprintf(stderr, "Java: %s（%s）\n", java.path.c_str(), java.reason.c_str());
  if (asText) {
    std::printf("%s\n", command.text.c_str());
  } else {
    for (const std::string& argument : command.arguments) std::printf("%s\n", argument.c_str());
  }
  return 0;
}

const CommandRegistration kCommand{
    {50, "command", "command NAME [--text]    the command that would start an instance, one argument a line\n"
                    "                             (the Java it uses, and why, on standard error)",
     ShowCommand}};

}  // namespace
}  // namespace kv::cli
