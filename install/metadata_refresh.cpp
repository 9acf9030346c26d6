#include "install/metadata_refresh.h"

#include <future>
#include <system_error>
#include <thread>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/mirror_layout.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"

namespace kv {
namespace {

// A check that could not be made is no reason to stop: the launch goes on with what is on
// disk, and the log tells why the files may be old.
RefreshOutcome CheckForLaunch(const std::string& localPath, const std::string& url) {
  const RefreshOutcome outcome = RefreshWhenSizeDiffers(localPath, url, kLaunchConnectTimeout);
  if (outcome == RefreshOutcome::Unchecked) {
    LogLine(LogLevel::Warning, "Could not check " + url + " on the mirror; using the local copy " + localPath);
  } else if (outcome == RefreshOutcome::Failed) {
    LogLine(LogLevel::Warning, "Could not fetch " + url + "; using the local copy " + localPath + " if there is one");
  }
  return outcome;
}

}  // namespace

bool RefreshVersionManifest(const std::string& localPath, std::chrono::milliseconds pause,
                            const std::string& mirrorBase) {
  std::string url = VersionListUrl(mirrorBase);
  std::int64_t remoteSize = QueryRemoteSize(url);
  std::this_thread::sleep_for(pause);
  if (remoteSize == -1) return false;
  // The list changes without changing its size, so every answered query fetches it again.
  return DownloadToFile(localPath, url);
}

RefreshOutcome RefreshWhenSizeDiffers(const std::string& localPath, const std::string& url,
                                      std::chrono::seconds connectTimeout) {
  const std::int64_t localSize = static_cast<std::int64_t>(GetFileSize(localPath));
  if (localSize > 0) {
    // Only an announced size that differs is worth a download (a wrong announcement of 0
    // bytes included: the download brings the real file).
    const std::int64_t remoteSize = QueryRemoteSize(url, nullptr, connectTimeout);
    if (remoteSize == -1) return RefreshOutcome::Unchecked;
    if (remoteSize == localSize) return RefreshOutcome::UpToDate;
  }
  return DownloadToFile(localPath, url, connectTimeout) ? RefreshOutcome::Fetched : RefreshOutcome::Failed;
}

bool FetchWhenSizeDiffers(const std::string& localPath, const std::string& url) {
  return RefreshWhenSizeDiffers(localPath, url) != RefreshOutcome::Failed;
}

bool FetchAssetIndex(const std::string& gamePath, const std::string& indexId, const std::string& mirrorBase) {
  if (!IsSafeAssetIndexId(indexId)) return false;
  return FetchWhenSizeDiffers(AssetIndexPath(gamePath, indexId), AssetIndexUrl(mirrorBase, indexId));
}

LaunchMetadataChecks CheckLaunchMetadata(const std::string& gamePath, const std::string& versionId,
                                         const std::string& indexId, const std::string& mirrorBase) {
  LaunchMetadataChecks checks;
  auto checkIndex = [&] { return CheckLaunchAssetIndex(gamePath, indexId, mirrorBase); };
  std::future<RefreshOutcome> index;
  if (!indexId.empty()) {
    try {
      index = std::async(std::launch::async, checkIndex);
    } catch (const std::system_error&) {
      // No thread to spare: the index is checked after the description instead.
    }
  }
  if (IsSafeVersionId(versionId)) {
    checks.description = CheckForLaunch(VersionJsonPath(gamePath, versionId), VersionJsonUrl(mirrorBase, versionId));
  }
  if (index.valid()) {
    checks.assetIndex = index.get();
  } else if (!indexId.empty()) {
    checks.assetIndex = checkIndex();
  }
  return checks;
}

RefreshOutcome CheckLaunchAssetIndex(const std::string& gamePath, const std::string& indexId,
                                     const std::string& mirrorBase) {
  if (!IsSafeAssetIndexId(indexId)) return RefreshOutcome::Failed;
  return CheckForLaunch(AssetIndexPath(gamePath, indexId), AssetIndexUrl(mirrorBase, indexId));
}

MetadataChecks MetadataChecks::Network() {
  MetadataChecks checks;
  checks.both = [](const std::string& gamePath, const std::string& versionId, const std::string& indexId) {
    CheckLaunchMetadata(gamePath, versionId, indexId);
  };
  checks.assetIndex = [](const std::string& gamePath, const std::string& indexId) {
    CheckLaunchAssetIndex(gamePath, indexId);
  };
  return checks;
}

MetadataState RefreshAndReadMetadata(const std::string& gamePath, const std::string& versionId,
                                     const MetadataChecks& checks, VersionDescription& description,
                                     AssetIndex& assets) {
  std::string checkedIndex;
  if (ReadVersionDescription(gamePath, versionId, description)) checkedIndex = description.assets;
  checks.both(gamePath, versionId, checkedIndex);
  // A failed check keeps the files on disk; only a file that then cannot be read stops us.
  if (!ReadVersionDescription(gamePath, versionId, description)) return MetadataState::DescriptionUnreadable;
  if (description.assets.empty()) {
    assets = AssetIndex{};
    return MetadataState::Ready;
  }
  if (description.assets != checkedIndex) checks.assetIndex(gamePath, description.assets);
  return ReadAssetIndex(gamePath, description.assets, assets) ? MetadataState::Ready
                                                              : MetadataState::AssetIndexUnreadable;
}

}  // namespace kv
