#include "game/game_files.h"

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "meta/version_manifest.h"
#include "util/files.h"

namespace kv {

bool ReadVersionDescription(const std::string& gamePath, const std::string& versionId,
                            VersionDescription& description) {
  if (!IsSafeVersionId(versionId)) return false;
  std::optional<std::string> text = ReadWholeFile(VersionJsonPath(gamePath, versionId));
  return text && ParseVersionDescription(*text, description);
}

InheritanceResult ReadVersionChain(const std::string& gamePath, const std::string& versionId,
                                   VersionDescription& merged, const MissingParentFetcher& fetchMissing) {
  auto read = [&](const std::string& id) -> std::optional<VersionDescription> {
    if (id != versionId && fetchMissing && IsSafeVersionId(id) && !PathExists(VersionJsonPath(gamePath, id))) {
      fetchMissing(id);
    }
    VersionDescription description;
    if (!ReadVersionDescription(gamePath, id, description)) return std::nullopt;
    return description;
  };
  return ResolveInheritance(versionId, read, merged);
}

bool IsKnownVersion(const std::string& gamePath, const std::string& versionId) {
  if (IsSafeVersionId(versionId) && PathExists(VersionJsonPath(gamePath, versionId))) return true;
  VersionManifest list;
  return !ReadVersionManifest(VersionListPath(gamePath), list) || FindManifestEntry(list, versionId) != nullptr;
}

std::string LogConfigInPlace(const std::string& gamePath, const VersionDescription& description) {
  const std::string& fileId = description.logging.fileId;
  if (!IsSafeFileName(fileId)) return {};
  std::string path = LogConfigPath(gamePath, fileId);
  return PathExists(path) ? path : std::string();
}

bool ReadAssetIndex(const std::string& gamePath, const std::string& indexId, AssetIndex& index) {
  if (!IsSafeAssetIndexId(indexId)) return false;
  const std::optional<std::string> bytes = ReadWholeFile(AssetIndexPath(gamePath, indexId));
  return bytes && ParseAssetIndex(*bytes, index);
}

}  // namespace kv
