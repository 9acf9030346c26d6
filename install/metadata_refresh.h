#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/document_download.h"
#include "install/download_source.h"
#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "meta/version_inheritance.h"
#include "net/transfers.h"

// Bringing the version list, a version's description (with the chain it extends) and its asset
// index up to date from the download source, and reading them from the game folder.
namespace kv {

// Brings the local version list at `localPath` up to date. The mirror layout: asks the mirror
// for the list's size, waits `pause`, and then, when a size was announced, downloads the list
// (the list changes without changing its size). Other sources: downloads it from the first of
// its addresses that gives a version list. Succeeds when a new copy was stored; otherwise the
// old copy stays and the failure says why (the last address's, for several).
inline constexpr std::chrono::milliseconds kVersionListPause{1000};
Status RefreshVersionManifest(const DownloadSource& source, const std::string& localPath,
                              std::chrono::milliseconds pause = kVersionListPause,
                              std::chrono::seconds connectTimeout = kConnectTimeout);

// How bringing one document up to date went.
enum class RefreshOutcome {
  UpToDate,   // the local copy is the published one (its announced size, or its checksum)
  Fetched,    // a new copy is in place
  Unchecked,  // the source could not say (no size announced, no list naming it): the local copy is used
  Failed,     // no new copy could be fetched, or it was not the document (or the name is unsafe):
              // the local copy stays, and the log says why
};

// Fetches `url` over `localPath` when the mirror announces another size than the local copy
// has. A missing or empty local copy is fetched at once, without asking for a size first. The
// new copy replaces the old only when `rule` accepts it (DownloadDocument).
RefreshOutcome RefreshWhenSizeDiffers(const std::string& localPath, const std::string& url, const DocumentRule& rule,
                                      std::chrono::seconds connectTimeout = kConnectTimeout);

// Whether the file at `path` is the described one: it exists, has `size` bytes (unless -1)
// and the SHA-1 `sha1` (unless empty).
bool LocalCopyMatches(const std::string& path, const std::string& sha1, std::int64_t size);

// Downloads the file from the first of `urls` whose answer has the size `size` (unless -1;
// the answer is stopped where it passes it, or passes `rule`'s bound without one), the SHA-1
// `sha1` (unless empty) and passes `rule`'s check, and only then puts it at `localPath`. When
// no address gives it, the local copy stays as it was and the last address's failure says why
// (Mismatch for another file); a local copy that cannot be written stops at once (Io).
Status FetchVerified(const std::string& localPath, const std::vector<std::string>& urls, const std::string& sha1,
                     std::int64_t size, const DocumentRule& rule, std::chrono::seconds connectTimeout = kConnectTimeout);

// Brings the description of `versionId` up to date. The mirror layout: RefreshWhenSizeDiffers.
// Other sources: the version list says where the description is and what its checksum is (the
// list is fetched when there is none, or when it does not name a version that is not on disk
// either); a local copy with another checksum is fetched again. A version that no list names
// (a loader's description, left by its installer) is used as it is on disk (Unchecked).
RefreshOutcome CheckVersionDescription(const DownloadSource& source, const std::string& gamePath,
                                       const std::string& versionId,
                                       std::chrono::seconds connectTimeout = kConnectTimeout);

// Brings the asset index that `description` names up to date. The mirror layout:
// RefreshWhenSizeDiffers by its name. Other sources: from the address the description gives,
// when the local copy's checksum or size differs.
RefreshOutcome CheckAssetIndex(const DownloadSource& source, const std::string& gamePath,
                               const VersionDescription& description,
                               std::chrono::seconds connectTimeout = kConnectTimeout);

// The two checks as a yes or no: true when the local copy may be used; false for an unsafe
// name or a failed fetch.
bool FetchVersionDescription(const DownloadSource& source, const std::string& gamePath, const std::string& versionId);
bool FetchAssetIndex(const DownloadSource& source, const std::string& gamePath, const VersionDescription& description);

// A launch checks its documents with a short connect time-out: a source that cannot be reached
// must not hold the game back when the local copies are there.
inline constexpr std::chrono::seconds kLaunchConnectTimeout{2};

struct LaunchMetadataChecks {
  RefreshOutcome description = RefreshOutcome::Failed;
  std::optional<RefreshOutcome> assetIndex;  // when an index was named
};

// The two checks of a launch, made at once: the description of `versionId` and, unless
// `indexOwner` is null, the asset index that description names. The diagnostic log says which
// local copies are used without a check.
LaunchMetadataChecks CheckLaunchMetadata(const DownloadSource& source, const std::string& gamePath,
                                         const std::string& versionId, const VersionDescription* indexOwner);

// The asset index check of a launch alone, for an index that a fetched description names anew.
RefreshOutcome CheckLaunchAssetIndex(const DownloadSource& source, const std::string& gamePath,
                                     const VersionDescription& indexOwner);

// How a launch brings its documents up to date: a version's description together with the
// index that the description as it stands names (null for none; also for a parent that the
// game folder lacks), or an index alone.
struct MetadataChecks {
  std::function<void(const DownloadSource&, const std::string& gamePath, const std::string& versionId,
                     const VersionDescription* indexOwner)>
      both;
  std::function<void(const DownloadSource&, const std::string& gamePath, const VersionDescription& indexOwner)>
      assetIndex;

  // CheckLaunchMetadata and CheckLaunchAssetIndex.
  static MetadataChecks Network();
};

enum class MetadataState { Ready, DescriptionUnreadable, AssetIndexUnreadable };

// Checks the version's description as `checks` do, along with the asset index its local chain
// names, and reads it with every ancestor it names (a missing ancestor is fetched first;
// `chain` says how that went), merged into `description`; then checks the asset index that a
// fetched description names anew and reads it into `assets` (an empty index for a version
// that names none).
MetadataState RefreshAndReadMetadata(const DownloadSource& source, const std::string& gamePath,
                                     const std::string& versionId, const MetadataChecks& checks,
                                     VersionDescription& description, AssetIndex& assets, InheritanceResult& chain);

}  // namespace kv
