#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "install/legacy_assets.h"
#include "install/metadata_refresh.h"
#include "meta/asset_index.h"
#include "meta/version_manifest.h"
#include "net/download_engine.h"
#include "platform/platform_profile.h"
#include "play/version_messages.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/settings.h"

namespace kv::cli {
namespace {

int ListVersions(const Arguments& args) {
  const char* synopsis = "versions [--refresh]";
  bool refresh = false;
  for (const std::string& arg : args) {
    if (arg != "--refresh") return Usage(synopsis);
    refresh = true;
  }
  CSettings settings;
  settings.Load();
  std::string list = VersionListPath(settings.gamePath);
  // The window waits a second after asking for the list's size; a script has no reason to.
  if (refresh && !RefreshVersionManifest(DownloadSource::Configured(settings.downloadSource), list,
                                         std::chrono::milliseconds(0))) {
    std::fprintf(stderr, "korvane-cli: 无法刷新版本列表，显示本地副本\n");
  }
  VersionManifest manifest;
  if (!ReadVersionManifest(list, manifest)) return Fail("没有可用的版本列表 (" + list + ")");
  for (const ManifestEntry& entry : manifest.entries) std::printf("%s\t%s\n", entry.id.c_str(), entry.type.c_str());
  return 0;
}

// The value of --jobs: a whole number of files at once within the engine's bounds.
std::optional<int> ParseJobs(const std::string& text) {
  int jobs = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (jobs < kMinTransfers || jobs > kMaxTransfers) return std::nullopt;
  return jobs;
}

int Prepare(const Arguments& args) {
  const std::string synopsis = "prepare NAME [--jobs N] [--verify]   (N: files at once, " +
                               std::to_string(kMinTransfers) + " to " + std::to_string(kMaxTransfers) + ")";
  std::string name;
  std::optional<int> jobs;
  bool verify = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--jobs") {
      if (i + 1 >= args.size() || !(jobs = ParseJobs(args[i + 1]))) return Usage(synopsis);
      ++i;
    } else if (args[i] == "--verify") {
      verify = true;
    } else if (name.empty() && args[i].rfind("--", 0) != 0) {
      name = args[i];
    } else {
      return Usage(synopsis);
    }
  }
  if (name.empty()) return Usage(synopsis);
  CInstanceList instances(false);
  if (!instances.Contains(name)) return Fail("没有这个游戏实例");
  std::string version = instances.GetVersion(name);
  if (version.empty()) return Fail("这个游戏实例没有版本");
  CSettings settings;
  settings.Load();
  const std::string& gamePath = settings.gamePath;
  const DownloadSource source = DownloadSource::Configured(settings.downloadSource);

  VersionDescription description;
  AssetIndex assets;
  InheritanceResult chain;
  switch (RefreshAndReadMetadata(source, gamePath, version, MetadataChecks::Network(), description, assets, chain)) {
    case MetadataState::DescriptionUnreadable:
      if (chain.status == InheritanceStatus::Unreadable) return Fail("无法读取版本 " + version + " 的描述文件");
      return Fail(VersionFailureMessage(chain));
    case MetadataState::AssetIndexUnreadable:
      return Fail("无法读取资源索引 " + description.assets);
    case MetadataState::Ready:
      break;
  }
  const bool legacyAssets = UsesLegacyAssetTree(source, version, description.assets, assets);
  ProvideClientJar(gamePath, description);
  std::vector<DownloadItem> plan = PlanDownloads(gamePath, description, assets, source,
                                                 {.profile = PlatformProfile::Host(),
                                                  .bitness = NativeBitness(),
                                                  .osVersion = HostOsVersion(),
                                                  .legacyAssets = legacyAssets,
                                                  .verify = verify,
                                                  .publishedChecksum = FetchPublishedChecksum});
  if (!plan.empty()) {
    switch (DownloadWithProgress(plan, jobs)) {
      case DownloadResult::Completed:
        break;
      case DownloadResult::Cancelled:
        return Fail("下载已取消，下次运行时继续");
      case DownloadResult::Failed:
        return 1;  // the reason is printed already
    }
  }
  if (legacyAssets && !source.UsesMirrorLayout()) {
    const std::string instance = InstanceFolder(gamePath, name);
    BuildLegacyAssetTree(gamePath, assets, IsStrictlyInside(instance, InstancesRoot(gamePath)) ? instance + "resources/" : "");
  }
  std::printf("%s: 所有文件都已就位\n", name.c_str());
  return 0;
}

const CommandRegistration kVersions{
    {40, "versions", "versions [--refresh]     the version list: id<TAB>type (--refresh: from the download source first)",
     ListVersions}};
const CommandRegistration kPrepare{
    {50, "prepare", "prepare NAME [--jobs N] [--verify]  fetch every file an instance's version still needs, N at\n"
                    "                             once (--verify: check every file's SHA-1, fetch again what differs)",
     Prepare}};

}  // namespace
}  // namespace kv::cli
