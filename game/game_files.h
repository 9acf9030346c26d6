#pragma once

#include <functional>
#include <string>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "meta/version_inheritance.h"

// Reading the documents of a version from the game folder. Ids come from the network or the
// settings file, so each is checked before it names a file.
namespace kv {

// Reads game folder + "/versions/" + id + "/" + id + ".json" into `description`. False for an
// unsafe id, a missing or empty file, or text that is not JSON (the description is then left
// as it was).
bool ReadVersionDescription(const std::string& gamePath, const std::string& versionId,
                            VersionDescription& description);

// Called for a parent the game folder lacks, before it is read: the place to fetch it.
using MissingParentFetcher = std::function<void(const std::string& parentId)>;

// Reads the description of `versionId` and every ancestor it names ("inheritsFrom") from the
// game folder and merges them (see ResolveInheritance). A parent that is not in the game
// folder is handed to `fetchMissing` first (when given), then read. An unsafe id anywhere in
// the chain reads as missing.
InheritanceResult ReadVersionChain(const std::string& gamePath, const std::string& versionId,
                                   VersionDescription& merged, const MissingParentFetcher& fetchMissing = {});

// Whether the game folder knows of `versionId`: its local copy of the version list names it, or
// the version is installed there (its description is in place, as a loader's installer leaves
// it, which no list names). Without a readable list nothing rules a version out: true.
bool IsKnownVersion(const std::string& gamePath, const std::string& versionId);

// The log configuration that `description` names, when it is in the game folder
// (LogConfigPath); empty otherwise, or for a name that cannot stand as a file name.
std::string LogConfigInPlace(const std::string& gamePath, const VersionDescription& description);

// The local index of `indexId` (AssetIndexPath) read and parsed; false for a missing or empty
// file, an unsafe index id (see IsSafeAssetIndexId) or unparsable text.
bool ReadAssetIndex(const std::string& gamePath, const std::string& indexId, AssetIndex& index);

}  // namespace kv
