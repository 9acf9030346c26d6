#pragma once

#include <string>
#include <vector>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "net/download_item.h"
#include "net/endpoints.h"
#include "platform/platform_profile.h"

// Bringing a version's description up to date, reading it, and planning the files of the
// version that are missing from the game folder. Everything runs on the caller's thread.
namespace kv {

// Fetches the description of `versionId` from the mirror when its announced size differs from
// the local copy's (a missing copy counts as 0 bytes). True when the local copy may be used:
// it was fetched, had the same size, or the mirror announced no size. False for an unsafe id
// or a failed download, which leaves the local copy as it was.
bool FetchVersionDescription(const std::string& gamePath, const std::string& versionId,
                             const std::string& mirrorBase = MirrorBase());

// The files of the version that do not exist yet, in this order: the libraries the profile
// uses (native ones as archives to unpack beside the jar), the client jar, then the legacy
// asset archive (with `legacyAssets`, see UsesLegacyAssets) or the asset objects, each with the
// size the asset index gives. Existence is the only test. A library coordinate, client id or
// asset hash that could name a path outside its folder is left out (and logged); so is a
// second object with a hash already planned.
std::vector<DownloadItem> PlanDownloads(const std::string& gamePath, const VersionDescription& description,
                                        const AssetIndex& assets, bool legacyAssets,
                                        const PlatformProfile& profile, int bitness,
                                        const std::string& mirrorBase = MirrorBase());

}  // namespace kv
