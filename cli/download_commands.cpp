#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "cli/terminal_launch_sink.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "install/legacy_assets.h"
#include "install/metadata_refresh.h"
#include "meta/asset_index.h"
#include "meta/version_manifest.h"
#include "net/download_engine.h"
#include "platform/platform_profile.h"
#include "play/java_provision.h"
#include "play/version_messages.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kVersionsUsage = "versions [--refresh]";
constexpr const char* kPrepareUsage = "prepare NAME [--jobs N] [--verify] [--no-java-download]";
// What to look at when the download source gave nothing.
constexpr const char* kCheckTheSource = "（请检查网络连接和 DownloadSource 设置）";

int PrepareUsage() {
  return Usage(std::string(kPrepareUsage) + "   （N：同时下载的文件数，" + std::to_string(kMinTransfers) + " 到 " +
               std::to_string(kMaxTransfers) + "）");
}

int ListVersions(const Arguments& args) {
  bool refresh = false;
  for (const std::string& arg : args) {
    if (arg != "--refresh") return Usage(kVersionsUsage);
    refresh = true;
  }
  CSettings settings;
  settings.Load();
  std::string list = VersionListPath(settings.gamePath);
  // The window waits a second after asking for the list's size; a script has no reason to.
  std::optional<Status> refreshed;
  if (refresh) {
    refreshed = RefreshVersionManifest(DownloadSource::Configured(settings.downloadSource), list,
                                       std::chrono::milliseconds(0));
  }
  VersionManifest manifest;
  if (!ReadVersionManifest(list, manifest)) {
    if (refreshed && refreshed->ok()) return Fail("下载的版本列表无法读取: " + list);
    if (refreshed) {
      return Fail("无法从下载源获取版本列表，本地也没有版本列表: " + refreshed->message() + kCheckTheSource);
    }
    return Fail("没有可用的版本列表: " + list + "（请先运行 korvane-cli versions --refresh）");
  }
  if (refreshed && !refreshed->ok()) Note("无法刷新版本列表（" + refreshed->message() + "），显示本地副本");
  if (manifest.entries.empty()) Note("版本列表中没有任何版本: " + ShownPath(list));
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
  std::string name;
  std::optional<int> jobs;
  bool verify = false;
  bool javaDownloads = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--no-java-download") {
      javaDownloads = false;
    } else if (args[i] == "--jobs") {
      if (i + 1 >= args.size() || !(jobs = ParseJobs(args[i + 1]))) return PrepareUsage();
      ++i;
    } else if (args[i] == "--verify") {
      verify = true;
    } else if (name.empty() && args[i].rfind("--", 0) != 0) {
      name = args[i];
    } else {
      return PrepareUsage();
    }
  }
  if (name.empty()) return PrepareUsage();
  CInstanceList instances(false);
  if (!instances.Contains(name)) return Fail(msg::InstanceUnknown(Printable(name)));
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
      if (chain.status != InheritanceStatus::Unreadable) return Fail(VersionFailureMessage(chain));
      if (!PathExists(VersionJsonPath(gamePath, version))) {
        return Fail("无法从下载源获取版本 " + version + " 的描述文件" + kCheckTheSource);
      }
      return Fail("版本 " + version + " 的描述文件已损坏: " + ShownPath(VersionJsonPath(gamePath, version)) +
                  "（请删除这个文件后再次运行 korvane-cli prepare " + name + "）");
    case MetadataState::AssetIndexUnreadable:
      return Fail("无法读取资源索引 " + description.assets);
    case MetadataState::Ready:
      break;
  }
  TerminalLaunchSink sink(javaDownloads);
  switch (ProvideJava(JavaNeedFor(description, settings, source, HostJavaSource()), sink).outcome) {
    case JavaProvided::Ready:
      break;
    case JavaProvided::Cancelled:
      return Fail("下载已取消");
    default:
      return 1;  // the reason is printed already
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
    {40, "versions", kVersionsUsage, "版本列表：版本号<TAB>类型（--refresh：先从下载源更新）", ListVersions}};
const CommandRegistration kPrepare{
    {50, "prepare", kPrepareUsage,
     "下载游戏实例的版本还缺少的所有文件，同时下载 N 个，缺少合适的 Java 时一并下载\n（--verify：校验每个文件的 SHA-1，重新下载不一致的文件；\n--no-java-download：不下载 Java）", Prepare}};

}  // namespace
}  // namespace kv::cli
