#include <cstdio>
#include <optional>
#include <string>

#include "auth/stored_credentials.h"
#include "cli/cli_commands.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/download_planning.h"
#include "install/legacy_assets.h"
#include "launch/launch_command.h"
#include "meta/version_description.h"
#include "platform/platform_profile.h"
#include "platform/java_choice.h"
#include "play/launch_inputs.h"
#include "play/version_messages.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kUsage = "command NAME [--text]";

// How many files the version still lacks (see PlanDownloads): the asset index when it cannot
// be read, and what the plan for it names. Nothing is fetched or asked for.
std::size_t CountMissingFiles(const CSettings& settings, const VersionDescription& description,
                              const AssetIndex& assets, bool indexRead, bool legacyAssets) {
  const std::size_t missingIndex = description.assets.empty() || indexRead ? 0 : 1;
  return missingIndex + PlanDownloads(settings.gamePath, description, assets,
                                      DownloadSource::Configured(settings.downloadSource),
                                      {.profile = PlatformProfile::Host(),
                                       .bitness = NativeBitness(),
                                       .osVersion = HostOsVersion(),
                                       .legacyAssets = legacyAssets})
                            .size();
}

// Prints the command that would start an instance from what is already in the game folder:
// one argument a line, or with --text the one-line command. Which Java it uses, and why, goes
// to standard error, and so does a reminder to prepare the version while files are missing:
// the command is still shown, as it will be once they are in place.
int ShowCommand(const Arguments& args) {
  std::optional<std::string> name;
  bool asText = false;
  for (const std::string& arg : args) {
    if (arg == "--text") asText = true;
    else if (!name && arg.rfind("--", 0) != 0) name = arg;
    else return Usage(kUsage);
  }
  if (!name) return Usage(kUsage);

  CInstanceList instances(false);
  if (!instances.Contains(*name)) return Fail(msg::InstanceUnknown(Printable(*name)));
  const std::string version = instances.GetVersion(*name);
  if (!IsSafeVersionId(version)) return Fail("实例的版本号不能用作文件夹名: " + version);

  CSettings settings;
  settings.Load();
  const std::string path = VersionJsonPath(settings.gamePath, version);
  const std::string prepareFirst = "korvane-cli prepare " + *name;
  if (!PathExists(path)) return Fail("找不到版本描述文件: " + ShownPath(path) + "（请先运行 " + prepareFirst + "）");
  VersionDescription description;
  const InheritanceResult chain = ReadVersionChain(settings.gamePath, version, description);
  if (chain.status == InheritanceStatus::Unreadable) {
    return Fail("版本描述文件无法读取: " + ShownPath(path) + "（请删除这个文件后运行 " + prepareFirst + "）");
  }
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
  const bool indexRead = !description.assets.empty() && ReadAssetIndex(settings.gamePath, description.assets, assets);
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
  if (const std::size_t missing = CountMissingFiles(settings, description, assets, indexRead, inputs.legacyAssets)) {
    Note("版本 " + version + " 还缺少 " + std::to_string(missing) + " 个文件，请先运行 " + prepareFirst);
  }
  if (asText) {
    std::printf("%s\n", command.text.c_str());
  } else {
    for (const std::string& argument : command.arguments) std::printf("%s\n", argument.c_str());
  }
  return 0;
}

const CommandRegistration kCommand{
    {50, "command", kUsage,
     "启动游戏实例的命令，每行一个参数（--text：整条命令一行）\n（所用的 Java 及原因输出到标准错误）", ShowCommand}};

}  // namespace
}  // namespace kv::cli
