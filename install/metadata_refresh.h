#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "net/endpoints.h"
#include "net/transfers.h"

// Bringing the version list, a version description and an asset index up to date from the
// mirror.
namespace kv {

// Asks the mirror for the list's size, waits `pause`, and then, when a size was announced,
// downloads the list over the local copy at `localPath`. True when a new copy was stored;
// false (the old copy kept) when the mirror could not be asked or the download failed.
inline constexpr std::chrono::milliseconds kVersionListPause{1000};
bool RefreshVersionManifest(const std::string& localPath, std::chrono::milliseconds pause = kVersionListPause,
                            const std::string& mirrorBase = MirrorBase());

// How bringing one document up to date went.
enum class RefreshOutcome {
  UpToDate,   // the mirror announces the local copy's size
  Fetched,    // a new copy is in place
  Unchecked,  // the mirror could not be asked, or announced no size: the local copy is used
  Failed,     // the new copy could not be fetched (or the name is unsafe): the local copy stays
};

// Fetches `url` over `localPath` when the mirror announces another size than the local copy
// has. A missing or empty local copy is fetched at once, without asking for a size first.
RefreshOutcome RefreshWhenSizeDiffers(const std::string& localPath, const std::string& url,
                                      std::chrono::seconds connectTimeout = kConnectTimeout);

// RefreshWhenSizeDiffers as a yes or no: true when the local copy may be used (it was fetched,
// had the same size, or could not be checked); false when a download failed.
bool FetchWhenSizeDiffers(const std::string& localPath, const std::string& url);

// FetchWhenSizeDiffers for the asset index `indexId`; false for an empty or unsafe id.
bool FetchAssetIndex(const std::string& gamePath, const std::string& indexId,
                     const std::string& mirrorBase = MirrorBase());

// A launch checks its documents with a short connect time-out: a mirror that cannot be reached
// must not hold the game back when the local copies are there.
inline constexpr std::chrono::seconds kLaunchConnectTimeout{2};

struct LaunchMetadataChecks {
  RefreshOutcome description = RefreshOutcome::Failed;
  std::optional<RefreshOutcome> assetIndex;  // when an index was named
};

// The two checks of a launch, made at once: the description of `versionId` and, unless
// `indexId` is empty, the asset index `indexId`. The diagnostic log says which local copies
// are used without a check. Unsafe names are not checked (Failed).
LaunchMetadataChecks CheckLaunchMetadata(const std::string& gamePath, const std::string& versionId,
                                         const std::string& indexId, const std::string& mirrorBase = MirrorBase());

// The asset index check of a launch alone, for an index that a fetched description names anew.
RefreshOutcome CheckLaunchAssetIndex(const std::string& gamePath, const std::string& indexId,
                                     const std::string& mirrorBase = MirrorBase());

// How a launch brings its documents up to date: both at once (the description of a version and
// the index its local copy names, empty for none), or an index alone.
struct MetadataChecks {
  std::function<void(const std::string& gamePath, const std::string& versionId, const std::string& indexId)> both;
  std::function<void(const std::string& gamePath, const std::string& indexId)> assetIndex;

  // CheckLaunchMetadata and CheckLaunchAssetIndex against the configured mirror.
  static MetadataChecks Network();
};

enum class MetadataState { Ready, DescriptionUnreadable, AssetIndexUnreadable };

// Checks the version's description and asset index as `checks` do and reads them from the game
// folder: the index the local description names is checked along with it, and one that a
// fetched description names anew after it. A version without an index gets an empty one.
MetadataState RefreshAndReadMetadata(const std::string& gamePath, const std::string& versionId,
                                     const MetadataChecks& checks, VersionDescription& description,
                                     AssetIndex& assets);

}  // namespace kv
