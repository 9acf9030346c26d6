#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "install/metadata_refresh.h"
#include "meta/asset_index.h"
#include "meta/version_manifest.h"
#include "platform/platform_profile.h"
#include "settings/instance_list.h"

namespace kv::cli {
namespace {

int ListVersions(const Arguments& args) {
  const char* synopsis = "versions [--refresh]";
  bool refresh = false;
  for (const std::string& arg : args) {
    if (arg != "--refresh") return Usage(synopsis);
    refresh = true;
  }
  std::string list = VersionListPath(GameFolder());
  // The window waits a second after asking for the list's size; a script has no reason to.
  if (refresh && !RefreshVersionManifest(list, std::chrono::milliseconds(0))) {
    std::fprintf(stderr, "korvane-cli: 无法刷新版本列表，显示本地副本\n");
  }
  VersionManifest manifest;
  if (!ReadVersionManifest(list, manifest)) return Fail("没有可用的版本列表 (" + list + ")");
  for (const ManifestEntry& entry : manifest.entries) std::printf("%s\t%s\n", entry.id.c_str(), entry.type.c_str());
  return 0;
}

int Prepare(const Arguments& args) {
  if (args.size() != 1) return Usage("prepare NAME");
  CInstanceList instances(false);
  if (!instances.Contains(args[0])) return Fail("没有这个游戏实例");
  std::string version = instances.GetVersion(args[0]);
  if (version.empty()) return Fail("这个游戏实例没有版本");
  std::string gamePath = GameFolder();

  // A failed refresh keeps the local copies; only a copy that cannot be read stops here.
  FetchVersionDescription(gamePath, version);
  VersionDescription description;
  if (!ReadVersionDescription(gamePath, version, description)) return Fail("无法读取版本 " + version + " 的描述文件");
  AssetIndex assets;
  if (!description.assets.empty()) {
    FetchAssetIndex(gamePath, description.assets);
    if (!ReadAssetIndex(gamePath, description.assets, assets)) {
      return Fail("无法读取资源索引 " + description.assets);
    }
  }
  const PlatformProfile& profile = PlatformProfile::Host();
  std::vector<DownloadItem> plan = PlanDownloads(gamePath, description, assets, UsesLegacyAssets(version), profile, NativeBitness());
  if (!plan.empty()) {
    switch (DownloadWithProgress(plan)) {
      case DownloadResult::Completed:
        break;
      case DownloadResult::Cancelled:
        return Fail("下载已取消，下次运行时继续");
      case DownloadResult::Failed:
        return 1;  // the reason is printed already
    }
  }
  std::printf("%s: 所有文件都已就位\n", args[0].c_str());
  return 0;
}

const CommandRegistration kVersions{
    {40, "versions", "versions [--refresh]     the version list: id<TAB>type (--refresh: from the mirror first)",
     ListVersions}};
const CommandRegistration kPrepare{
    {50, "prepare", "prepare NAME             fetch every file an instance's version still needs", Prepare}};

}  // namespace
}  // namespace kv::cli
