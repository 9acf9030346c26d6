#include "install/legacy_assets.h"

#include <filesystem>
#include <system_error>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"

namespace kv {
namespace {

// Copies the object to `target` below `folder` unless a copy of the same size is there; false
// when it fails. The resources folder lies in the instance's folder: a link there is replaced,
// and a linked folder on the way is refused, so that no copy lands outside.
bool PlaceCopy(const std::string& object, const std::string& folder, const std::string& target, std::int32_t size) {
  if (const Status inside = CheckNoLinkBetween(folder, target); !inside) {
    LogLine(LogLevel::Warning, "Could not copy the asset " + object + ": " + inside.message());
    return false;
  }
  std::error_code error;
  const bool plainFile = std::filesystem::is_regular_file(std::filesystem::symlink_status(target, error));
  if (plainFile && static_cast<std::int64_t>(GetFileSize(target)) == size) return true;
  MakeFoldersForPath(target);
  if (CopyFileAtomically(object, target)) return true;
  LogLine(LogLevel::Warning, "Could not copy the asset " + object + " to " + target);
  return false;
}

}  // namespace

bool UsesLegacyAssetTree(const DownloadSource& source, const std::string& versionId, const std::string& indexId,
                         const AssetIndex& index) {
  if (source.UsesMirrorLayout()) return UsesLegacyAssets(versionId);
  return IndexUsesLegacyTree(index, indexId);
}

int BuildLegacyAssetTree(const std::string& gamePath, const AssetIndex& index, const std::string& resourcesFolder) {
  const std::string tree = LegacyAssetFolder(gamePath);
  int failed = 0;
  for (const AssetObject& object : index.objects) {
    if (!IsSafeAssetHash(object.hash) || !IsSafeRelativePath(object.name)) {
      LogLine(LogLevel::Warning, "Not placed: unsafe asset name \"" + object.name + "\"");
      ++failed;
      continue;
    }
    const std::string stored = AssetObjectPath(gamePath, object.hash);
    bool placed = PlaceCopy(stored, tree, tree + object.name, object.size);
    if (index.mapToResources && !resourcesFolder.empty()) {
      placed = PlaceCopy(stored, resourcesFolder, resourcesFolder + object.name, object.size) && placed;
    }
    if (!placed) ++failed;
  }
  return failed;
}

}  // namespace kv
