#include "install/metadata_refresh.h"

#include <thread>

#include "game/game_layout.h"
#include "install/mirror_layout.h"
#include "meta/asset_index.h"
#include "net/transfers.h"
#include "util/files.h"

namespace kv {

bool RefreshVersionManifest(const std::string& localPath, std::chrono::milliseconds pause,
                            const std::string& mirrorBase) {
  std::string url = VersionListUrl(mirrorBase);
  std::int64_t remoteSize = QueryRemoteSize(url);
  std::this_thread::sleep_for(pause);
  if (remoteSize == -1) return false;
  // The list changes without changing its size, so every answered query fetches it again.
  return DownloadToFile(localPath, url);
}

bool FetchWhenSizeDiffers(const std::string& localPath, const std::string& url) {
  std::int64_t localSize = static_cast<std::int64_t>(GetFileSize(localPath));
  std::int64_t remoteSize = QueryRemoteSize(url);
  if (remoteSize == -1 || remoteSize == localSize) return true;
  return DownloadToFile(localPath, url);
}

bool FetchAssetIndex(const std::string& gamePath, const std::string& indexId, const std::string& mirrorBase) {
  if (!IsSafeAssetIndexId(indexId)) return false;
  return FetchWhenSizeDiffers(AssetIndexPath(gamePath, indexId), AssetIndexUrl(mirrorBase, indexId));
}

}  // namespace kv
