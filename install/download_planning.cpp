#include "install/download_planning.h"

#include <unordered_set>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "game/library_rules.h"
#include "install/metadata_refresh.h"
#include "install/mirror_layout.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"

namespace kv {
namespace {

void LogRefused(const char* what, const std::string& value) {
  LogLine(LogLevel::Warning, std::string("Not planned: unsafe ") + what + " \"" + value + "\"");
}

}  // namespace

bool FetchVersionDescription(const std::string& gamePath, const std::string& versionId,
                             const std::string& mirrorBase) {
  if (!IsSafeVersionId(versionId)) return false;
  return FetchWhenSizeDiffers(VersionJsonPath(gamePath, versionId), VersionJsonUrl(mirrorBase, versionId));
}

std::vector<DownloadItem> PlanDownloads(const std::string& gamePath, const VersionDescription& description,
                                        const AssetIndex& assets, bool legacyAssets,
                                        const PlatformProfile& profile, int bitness,
                                        const std::string& mirrorBase) {
  std::vector<DownloadItem> plan;

  const RuleEnvironment environment = SystemRuleEnvironment(profile, bitness, {});
  const bool honourRules = HonoursLibraryRules(description, profile);
  for (const LibraryEntry& library : description.libraries) {
    if (!IsLibraryUsed(library, environment, honourRules)) continue;
    if (!IsSafeLibrary(library)) {
      LogRefused("library", library.name);
      continue;
    }
    std::string path = LibraryLocalPath(gamePath, library, profile, bitness);
    if (PathExists(path)) continue;
    DownloadItem item;
    SplitPath(path, item.extractFolder, item.name);
    item.path = path;
    item.urls = {LibraryUrl(mirrorBase, LibraryRelativePath(library, profile, bitness))};
    item.isArchive = IsNativeLibrary(library, profile);
    if (item.isArchive) item.archivePath = path;
    plan.push_back(std::move(item));
  }

  if (!description.id.empty()) {
    if (!IsSafeVersionId(description.id)) {
      LogRefused("version id", description.id);
    } else if (std::string path = VersionJarPath(gamePath, description.id); !PathExists(path)) {
      plan.push_back({.name = path, .path = path, .urls = {VersionJarUrl(mirrorBase, description.id)}});
    }
  }

  if (legacyAssets) {
    std::string folder = LegacyAssetFolder(gamePath);
    std::string path = folder + kLegacyArchiveName;
    if (!PathExists(path)) {
      plan.push_back({.name = kLegacyArchiveName,
                      .path = path,
                      .urls = {LegacyArchiveUrl(mirrorBase)},
                      .isArchive = true,
                      .archivePath = path,
                      .extractFolder = folder});
    }
    return plan;
  }

  std::unordered_set<std::string> plannedHashes;
  for (const AssetObject& object : assets.objects) {
    if (!IsSafeAssetHash(object.hash)) {
      LogRefused("asset hash", object.hash);
      continue;
    }
    if (plannedHashes.count(object.hash) != 0) continue;
    std::string path = AssetObjectPath(gamePath, object.hash);
    if (PathExists(path)) continue;
    plannedHashes.insert(object.hash);
    // The index's size spares asking the mirror; an index without one (read as 0) leaves it
    // to the answer.
    plan.push_back({.name = object.name,
                    .path = path,
                    .urls = {AssetObjectUrl(mirrorBase, object.hash)},
                    .size = object.size > 0 ? object.size : -1});
  }
  return plan;
}

}  // namespace kv
