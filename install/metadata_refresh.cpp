#include "install/metadata_refresh.h"

#include <filesystem>
#include <future>
#include <system_error>
#include <thread>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/mirror_layout.h"
#include "meta/version_manifest.h"
#include "net/abandonable_transfers.h"
#include "platform/diagnostic_log.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// The list's entry for `versionId`, fetching the list first when there is none and again when
// it does not know a version that is not on disk either (a version published since).
std::optional<ManifestEntry> LookUpVersion(const DownloadSource& source, const std::string& gamePath,
                                           const std::string& versionId, std::chrono::seconds connectTimeout) {
  const std::string listPath = VersionListPath(gamePath);
  auto refresh = [&] {
    return RefreshVersionManifest(source, listPath, std::chrono::milliseconds(0), connectTimeout).ok();
  };
  bool refreshed = false;
  if (!PathExists(listPath)) refreshed = refresh();
  VersionManifest manifest;
  ReadVersionManifest(listPath, manifest);
  const ManifestEntry* entry = FindManifestEntry(manifest, versionId);
  if (entry == nullptr && !refreshed && !PathExists(VersionJsonPath(gamePath, versionId)) && refresh() &&
      ReadVersionManifest(listPath, manifest)) {
    entry = FindManifestEntry(manifest, versionId);
  }
  if (entry == nullptr) return std::nullopt;
  return *entry;
}

// A published file checked against its description: kept when it matches, fetched otherwise.
RefreshOutcome CheckPublished(const DownloadSource& source, const std::string& localPath, const RemoteFile& published,
                              const DocumentRule& rule, std::chrono::seconds connectTimeout) {
  if (LocalCopyMatches(localPath, published.sha1, published.size)) return RefreshOutcome::UpToDate;
  return FetchVerified(localPath, source.Addresses(published.url), published.sha1, published.size, rule, connectTimeout)
             ? RefreshOutcome::Fetched
             : RefreshOutcome::Failed;
}

// A check that could not be made is no reason to stop: the launch goes on with what is on
// disk, and the log tells why the files may be old.
RefreshOutcome Logged(RefreshOutcome outcome, const std::string& what, const std::string& localPath) {
  if (outcome == RefreshOutcome::Unchecked) {
    LogLine(LogLevel::Warning, "Could not check " + what + " at the download source; using the local copy " + localPath);
  } else if (outcome == RefreshOutcome::Failed) {
    LogLine(LogLevel::Warning, "Could not fetch " + what + "; using the local copy " + localPath + " if there is one");
  }
  return outcome;
}

}  // namespace

Status RefreshVersionManifest(const DownloadSource& source, const std::string& localPath,
                              std::chrono::milliseconds pause, std::chrono::seconds connectTimeout) {
  const std::vector<std::string> addresses = source.VersionListAddresses();
  const DocumentRule rule = VersionListRule();
  if (source.UsesMirrorLayout()) {
    const std::string& url = addresses.front();
    std::int64_t remoteSize = QueryRemoteSize(url, nullptr, connectTimeout);
    std::this_thread::sleep_for(pause);
    if (remoteSize == -1) return Fail(FailureKind::Unreachable, msg::DownloadBroken(url, msg::kNoSizeAnnounced));
    // The list changes without changing its size, so every answered query fetches it again.
    return DownloadDocument(localPath, url, rule, connectTimeout);
  }
  Status fetched = Fail(FailureKind::NotFound, msg::kNoAddress);
  for (const std::string& url : addresses) {
    fetched = DownloadDocument(localPath, url, rule, connectTimeout);
    if (fetched) break;
  }
  return fetched;
}

RefreshOutcome RefreshWhenSizeDiffers(const std::string& localPath, const std::string& url, const DocumentRule& rule,
                                      std::chrono::seconds connectTimeout) {
  const std::int64_t localSize = static_cast<std::int64_t>(GetFileSize(localPath));
  if (localSize > 0) {
    // Only an announced size that differs is worth a download (a wrong announcement of 0
    // bytes included: the download brings the real file).
    const std::int64_t remoteSize = QueryRemoteSize(url, nullptr, connectTimeout);
    if (remoteSize == -1) return RefreshOutcome::Unchecked;
    if (remoteSize == localSize) return RefreshOutcome::UpToDate;
  }
  return DownloadDocument(localPath, url, rule, connectTimeout) ? RefreshOutcome::Fetched : RefreshOutcome::Failed;
}

bool LocalCopyMatches(const std::string& path, const std::string& sha1, std::int64_t size) {
  if (!PathExists(path)) return false;
  if (size >= 0 && static_cast<std::int64_t>(GetFileSize(path)) != size) return false;
  if (sha1.empty()) return true;
  const std::optional<std::string> digest = Sha1OfFile(path);
  return digest && SameDigest(*digest, sha1);
}

Status FetchVerified(const std::string& localPath, const std::vector<std::string>& urls, const std::string& sha1,
                     std::int64_t size, const DocumentRule& rule, std::chrono::seconds connectTimeout) {
  // The answer waits beside the file until it has been checked.
  const std::string staging = localPath + ".download";
  const std::int64_t limit = size >= 0 ? size : rule.limit;
  Status fetched = Fail(FailureKind::NotFound, msg::kNoAddress);
  for (const std::string& url : urls) {
    fetched = DownloadToFile(staging, url, connectTimeout, static_cast<std::uint64_t>(limit));
    if (fetched && !LocalCopyMatches(staging, sha1, size)) {
      fetched = Fail(FailureKind::Mismatch, msg::DownloadBroken(url, msg::kNotTheDescribedFile));
    }
    if (fetched) fetched = CheckDocumentFile(staging, rule);
    if (fetched) {
      std::error_code error;
      std::filesystem::rename(staging, localPath, error);
      if (!error) return fetched;
      fetched = Fail(FailureKind::Io, msg::FileNotWritten(localPath));
    }
    LogLine(LogLevel::Warning, msg::DocumentNotReplaced(localPath, fetched.message()));
    RemoveFile(staging);
    if (fetched.kind() == FailureKind::Io) break;
  }
  return fetched;
}

RefreshOutcome CheckVersionDescription(const DownloadSource& source, const std::string& gamePath,
                                       const std::string& versionId, std::chrono::seconds connectTimeout) {
  if (!IsSafeVersionId(versionId)) return RefreshOutcome::Failed;
  const std::string localPath = VersionJsonPath(gamePath, versionId);
  if (source.UsesMirrorLayout()) {
    return RefreshWhenSizeDiffers(localPath, VersionJsonUrl(source.MirrorBase(), versionId),
                                  VersionDescriptionRule(versionId), connectTimeout);
  }
  const std::optional<ManifestEntry> entry = LookUpVersion(source, gamePath, versionId, connectTimeout);
  if (!entry || entry->url.empty()) return PathExists(localPath) ? RefreshOutcome::Unchecked : RefreshOutcome::Failed;
  return CheckPublished(source, localPath, RemoteFile{"", entry->url, entry->sha1, -1},
                        VersionDescriptionRule(versionId), connectTimeout);
}

RefreshOutcome CheckAssetIndex(const DownloadSource& source, const std::string& gamePath,
                               const VersionDescription& description, std::chrono::seconds connectTimeout) {
  const std::string& indexId = description.assets;
  if (!IsSafeAssetIndexId(indexId)) return RefreshOutcome::Failed;
  const std::string localPath = AssetIndexPath(gamePath, indexId);
  if (source.UsesMirrorLayout()) {
    return RefreshWhenSizeDiffers(localPath, AssetIndexUrl(source.MirrorBase(), indexId), AssetIndexRule(),
                                  connectTimeout);
  }
  if (description.assetIndex.url.empty()) {
    return PathExists(localPath) ? RefreshOutcome::Unchecked : RefreshOutcome::Failed;
  }
  return CheckPublished(source, localPath, description.assetIndex, AssetIndexRule(), connectTimeout);
}

bool FetchVersionDescription(const DownloadSource& source, const std::string& gamePath, const std::string& versionId) {
  return CheckVersionDescription(source, gamePath, versionId) != RefreshOutcome::Failed;
}

bool FetchAssetIndex(const DownloadSource& source, const std::string& gamePath, const VersionDescription& description) {
  return CheckAssetIndex(source, gamePath, description) != RefreshOutcome::Failed;
}

LaunchMetadataChecks CheckLaunchMetadata(const DownloadSource& source, const std::string& gamePath,
                                         const std::string& versionId, const VersionDescription* indexOwner) {
  LaunchMetadataChecks checks;
  // Beside the description, watched as this thread's transfers are.
  AbandonableTransfers* const watching = AbandonableTransfers::OfThisThread();
  auto checkIndex = [&, watching] {
    const AbandonableTransfers::Scope watched(watching);
    return CheckLaunchAssetIndex(source, gamePath, *indexOwner);
  };
  std::future<RefreshOutcome> index;
  if (indexOwner != nullptr) {
    try {
      index = std::async(std::launch::async, checkIndex);
    } catch (const std::system_error&) {
      // No thread to spare: the index is checked after the description instead.
    }
  }
  checks.description = Logged(CheckVersionDescription(source, gamePath, versionId, kLaunchConnectTimeout),
                              "the description of " + versionId, VersionJsonPath(gamePath, versionId));
  if (index.valid()) {
    checks.assetIndex = index.get();
  } else if (indexOwner != nullptr) {
    checks.assetIndex = checkIndex();
  }
  return checks;
}

RefreshOutcome CheckLaunchAssetIndex(const DownloadSource& source, const std::string& gamePath,
                                     const VersionDescription& indexOwner) {
  return Logged(CheckAssetIndex(source, gamePath, indexOwner, kLaunchConnectTimeout),
                "the asset index " + indexOwner.assets, AssetIndexPath(gamePath, indexOwner.assets));
}

MetadataChecks MetadataChecks::Network() {
  MetadataChecks checks;
  checks.both = [](const DownloadSource& source, const std::string& gamePath, const std::string& versionId,
                   const VersionDescription* indexOwner) { CheckLaunchMetadata(source, gamePath, versionId, indexOwner); };
  checks.assetIndex = [](const DownloadSource& source, const std::string& gamePath, const VersionDescription& indexOwner) {
    CheckLaunchAssetIndex(source, gamePath, indexOwner);
  };
  return checks;
}

MetadataState RefreshAndReadMetadata(const DownloadSource& source, const std::string& gamePath,
                                     const std::string& versionId, const MetadataChecks& checks,
                                     VersionDescription& description, AssetIndex& assets, InheritanceResult& chain) {
  // The index that the chain on disk names is checked along with the description.
  VersionDescription local;
  const bool localReadable = ReadVersionChain(gamePath, versionId, local).status == InheritanceStatus::Resolved;
  const bool localNamesIndex = localReadable && !local.assets.empty();
  checks.both(source, gamePath, versionId, localNamesIndex ? &local : nullptr);
  // A failed check keeps the files on disk; only a file that then cannot be read stops us.
  chain = ReadVersionChain(gamePath, versionId, description, [&](const std::string& parentId) {
    checks.both(source, gamePath, parentId, nullptr);
  });
  if (chain.status != InheritanceStatus::Resolved) return MetadataState::DescriptionUnreadable;
  if (description.assets.empty()) {
    assets = AssetIndex{};
    return MetadataState::Ready;
  }
  const bool indexChecked = localNamesIndex && local.assets == description.assets &&
                            local.assetIndex.url == description.assetIndex.url &&
                            local.assetIndex.sha1 == description.assetIndex.sha1;
  if (!indexChecked) checks.assetIndex(source, gamePath, description);
  return ReadAssetIndex(gamePath, description.assets, assets) ? MetadataState::Ready
                                                              : MetadataState::AssetIndexUnreadable;
}

}  // namespace kv
