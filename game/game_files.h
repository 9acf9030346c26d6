#pragma once

#include <string>

#include "meta/asset_index.h"
#include "meta/version_description.h"

// Reading the documents of a version from the game folder. Ids come from the network or the
// settings file, so each is checked before it names a file.
namespace kv {

// Reads game folder + "/versions/" + id + "/" + id + ".json" into `description`. False for an
// unsafe id, a missing or empty file, or text that is not JSON (the description is then left
// as it was).
bool ReadVersionDescription(const std::string& gamePath, const std::string& versionId,
                            VersionDescription& description);

// The local index of `indexId` (AssetIndexPath) read and parsed; false for a missing or empty
// file, an unsafe index id (see IsSafeAssetIndexId) or unparsable text.
bool ReadAssetIndex(const std::string& gamePath, const std::string& indexId, AssetIndex& index);

}  // namespace kv
