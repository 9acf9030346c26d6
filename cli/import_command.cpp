#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "cli/terminal_install_sink.h"
#include "install/download_source.h"
#include "loader/loader_services.h"
#include "modpack/pack_import.h"
#include "platform/launcher_folder.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kImportUsage = "import FILE.mrpack [--name NAME]";

int ImportPackCommand(const Arguments& args) {
  PackImportRequest request;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--name" && i + 1 < args.size() && request.name.empty()) {
      request.name = args[++i];
      if (request.name.empty()) return Usage(kImportUsage);
    } else if (request.packPath.empty() && args[i] != "--name") {
      request.packPath = args[i];
    } else {
      return Usage(kImportUsage);
    }
  }
  if (request.packPath.empty()) return Usage(kImportUsage);
  request.settingsPath = SettingsFilePath();
  request.gamePath = GameFolder();
  const LoaderServices loaders = LoaderServices::Configured(request.settingsPath);
  const DownloadSource source = DownloadSource::Configured(ReadSettings(request.settingsPath).downloadSource).ForPublishedFiles();
  TerminalInstallSink installSink;
  PackImportServices services;
  services.installLoader = [&](const LoaderInstallRequest& loader) {
    Result<std::string> installed = loaders.install(loader, installSink);
    if (installed) Note(msg::LoaderInstalled(std::string(LoaderDisplayName(loader.kind)) + " " + loader.loaderVersion, *installed));
    return installed;
  };
  services.addresses = [&](const std::string& url) { return source.Addresses(url); };
  services.fetch = [](const std::vector<DownloadItem>& plan) { return FetchWithProgress(plan); };
  const Result<PackImportSummary> imported = ImportPack(request, services);
  if (!imported) return Fail(imported.message());
  std::printf("%s%s\n", msg::PackImported(imported->instanceName, imported->version).c_str(),
              msg::PackFilesLeftOutOrOptional(imported->optionalIncluded, imported->unsupportedSkipped).c_str());
  return 0;
}

const CommandRegistration kImport{
    {33, "import", kImportUsage, "导入 Modrinth 整合包为新的游戏实例（实例名默认为整合包名称），\n安装它的加载器并下载和校验它的文件",
     ImportPackCommand}};

}  // namespace
}  // namespace kv::cli
