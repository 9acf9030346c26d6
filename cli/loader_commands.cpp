#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "game/library_paths.h"
#include "loader/loader_services.h"
#include "platform/launcher_folder.h"
#include "settings/instance_commands.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kLoadersUsage = "loaders GAMEVERSION";

// The steps of an installation on standard error, each as it begins and as it ends, with what
// the installer's processors print.
class TerminalInstallSink : public InstallSink {
 public:
  void OnStep(InstallStep step, int done, int total) override {
    if (done != 0 && done != total) return;
    Note(InstallStepText(step, done, total));
  }
  void OnOutput(const std::string& line) override { Note(line); }
};

std::string KnownKinds() {
  std::string names;
  for (LoaderKind kind : kLoaderKinds) names += (names.empty() ? "" : "、") + std::string(LoaderKindName(kind));
  return names;
}

int ListLoaders(const Arguments& args) {
  if (args.size() != 1) return Usage(kLoadersUsage);
  const std::string& gameVersion = args[0];
  if (!IsSafeVersionId(gameVersion)) return Fail(msg::kInstanceVersionInvalid);
  const LoaderServices services = LoaderServices::Configured(SettingsFilePath());
  bool failed = false;
  for (const LoaderChoices& choices :
       FetchEveryLoaderList([&](LoaderKind kind) { return services.listVersions(kind, gameVersion); })) {
    if (!choices.versions) {
      Note(choices.versions.message());
      failed = true;
      continue;
    }
    if (choices.versions->empty()) Note(msg::LoaderUnavailable(std::string(LoaderDisplayName(choices.kind)), gameVersion));
    for (const LoaderVersion& version : *choices.versions) {
      const char* mark = version.recommended ? " recommended" : version.stable ? " stable" : "";
      std::printf("%s %s%s\n", std::string(LoaderKindName(choices.kind)).c_str(), version.id.c_str(), mark);
    }
  }
  return failed ? 1 : 0;
}

const CommandRegistration kLoaders{
    {41, "loaders", kLoadersUsage, "游戏版本可用的加载器版本：加载器 版本 [stable|recommended]，\n每个加载器最新的稳定版在前",
     ListLoaders}};

}  // namespace

int AddInstanceWithLoader(const std::string& name, const std::string& gameVersion, const std::string& loader) {
  const std::size_t colon = loader.find(':');
  const std::optional<LoaderKind> kind = ParseLoaderKind(loader.substr(0, colon));
  if (!kind) return Fail("没有这个加载器: " + Printable(loader.substr(0, colon)) + "（可选 " + KnownKinds() + "）");
  const std::string loaderName(LoaderDisplayName(*kind));
  const std::string settingsPath = SettingsFilePath();
  const std::string gamePath = GameFolder();
  // A name that cannot be added is refused before anything is fetched for it.
  if (const InstanceCommandResult check = CheckNewInstance(settingsPath, name); check.status != InstanceCommandStatus::Done) {
    return Fail(DescribeInstanceCommandResult(check));
  }
  if (!IsSafeVersionId(gameVersion)) return Fail(msg::kInstanceVersionInvalid);
  const LoaderServices services = LoaderServices::Configured(settingsPath);
  std::string version = colon == std::string::npos ? std::string() : loader.substr(colon + 1);
  if (version.empty()) {
    const LoaderVersionList versions = services.listVersions(*kind, gameVersion);
    if (!versions) return Fail(versions.message());
    const LoaderVersion* chosen = DefaultLoaderVersion(*versions);
    if (chosen == nullptr) return Fail(msg::LoaderUnavailable(loaderName, gameVersion));
    version = chosen->id;
  }
  TerminalInstallSink sink;
  const Result<std::string> installed = services.install({gamePath, gameVersion, *kind, version}, sink);
  if (!installed) return Fail(installed.message());
  Note(msg::LoaderInstalled(loaderName + " " + version, *installed));
  const InstanceCommandResult added = AddInstance(settingsPath, gamePath, name, *installed);
  if (added.status != InstanceCommandStatus::Done) return Fail(DescribeInstanceCommandResult(added));
  std::printf("%s\n", msg::InstanceAdded(name, *installed).c_str());
  return 0;
}

}  // namespace kv::cli
