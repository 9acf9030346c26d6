#pragma once

#include <string>

#include "install/download_source.h"
#include "meta/asset_index.h"

// The legacy asset tree: older versions read their assets by logical name from a folder tree
// instead of the object store.
namespace kv {

// Whether a launch keeps the game's assets in the legacy tree: in the mirror layout as the
// version id says (UsesLegacyAssets), from the other sources as the asset index says
// (IndexUsesLegacyTree). Decided once for a launch: its plan and its command follow it.
bool UsesLegacyAssetTree(const DownloadSource& source, const std::string& versionId, const std::string& indexId,
                         const AssetIndex& index);

// Makes the legacy tree from the object store, for the sources whose indexes name objects
// only: each object is copied to its logical name below LegacyAssetFolder when the copy there
// is missing or has another size; for an index that maps its objects to resources, also below
// `resourcesFolder` (the game directory's "resources/"; skipped when empty). A name that would
// leave its folder is skipped. Returns how many objects could not be placed.
int BuildLegacyAssetTree(const std::string& gamePath, const AssetIndex& index, const std::string& resourcesFolder);

}  // namespace kv
