#pragma once

#include <chrono>
#include <string>

#include "net/endpoints.h"

// Bringing the version list and an asset index up to date from the mirror.
namespace kv {

// Asks the mirror for the list's size, waits `pause`, and then, when a size was announced,
// downloads the list over the local copy at `localPath`. True when a new copy was stored;
// false (the old copy kept) when the mirror could not be asked or the download failed.
inline constexpr std::chrono::milliseconds kVersionListPause{1000};
bool RefreshVersionManifest(const std::string& localPath, std::chrono::milliseconds pause = kVersionListPause,
                            const std::string& mirrorBase = MirrorBase());

// Fetches `url` over `localPath` when the mirror announces another size than the local copy
// has (a missing copy counts as 0 bytes). True when the local copy may be used: it was
// fetched, had the same size, or the mirror announced no size. A failed download returns
// false and leaves the local copy as it was.
bool FetchWhenSizeDiffers(const std::string& localPath, const std::string& url);

// FetchWhenSizeDiffers for the asset index `indexId`; false for an empty or unsafe id.
bool FetchAssetIndex(const std::string& gamePath, const std::string& indexId,
                     const std::string& mirrorBase = MirrorBase());

}  // namespace kv
