#pragma once

#include <string>
#include <string_view>

#include "meta/asset_index.h"
#include "platform/platform_profile.h"

// The files of a game version in the shared game folder. Paths are the game folder followed
// by literal pieces, as the Windows build forms them, so its paths come out byte for byte;
// where that build writes a backslash the profile's separator stands.
namespace kv {

// game folder + "/versions/versions.json": the local copy of the version list.
std::string VersionListPath(const std::string& gamePath);

// game folder + "/versions/" + id + "/" + id + ".json"
std::string VersionJsonPath(std::string_view gamePath, std::string_view id);
// game folder + "/versions/" + id + "/" + id + ".jar": where the jar is downloaded to.
std::string VersionJarPath(std::string_view gamePath, std::string_view id);
// game folder + "\versions\" + id + "\" + id + ".jar": the same file as the command line
// names it, with the profile's separator.
std::string VersionJarCommandPath(std::string_view gamePath, std::string_view id,
                                  const PlatformProfile& profile);

// game folder + "\versions\" + id + "\" + the profile's natives classifier, with the profile's
// separator: the natives folder of a version whose libraries bring nothing to unpack (their
// natives are jars on the class path, which the game unpacks itself), so that the game is never
// told an empty natives folder.
std::string VersionNativesFolder(std::string_view gamePath, std::string_view id, const PlatformProfile& profile);

// In the mirror layout, versions whose id contains "1.6" or "1.7.2" (a plain substring test)
// keep their assets in the legacy tree, unpacked from one archive, instead of the object store.
bool UsesLegacyAssets(std::string_view id);
// For the published indexes, the index says so itself: it is "virtual" or maps its objects to
// the game's resources, or it is one of the indexes of that era ("legacy", "pre-1.6"). The tree
// is then made from the object store.
bool IndexUsesLegacyTree(const AssetIndex& index, std::string_view indexId);
// game folder + "/assets/virtual/legacy/"
std::string LegacyAssetFolder(std::string_view gamePath);
// game folder + "/assets/virtual/legacy": the legacy tree as the game is told it.
std::string LegacyAssetArgument(std::string_view gamePath);
// game folder + "\assets" with the profile's separator: the asset root of other versions.
std::string AssetRootArgument(std::string_view gamePath, const PlatformProfile& profile);
// game folder + "/" + "../Instance/" + instance name: the game's directory as it is told.
std::string GameDirectoryArgument(std::string_view gamePath, std::string_view instanceName);

// game folder + "/assets/indexes/" + indexId + ".json".
std::string AssetIndexPath(const std::string& gamePath, const std::string& indexId);

// game folder + "/assets/log_configs/" + the log configuration's file name (see IsSafeFileName).
std::string LogConfigPath(const std::string& gamePath, const std::string& fileId);

// game folder + "/libraries": the libraries root as the game's arguments name it.
std::string LibraryDirectoryArgument(std::string_view gamePath);

// game folder + "/assets/objects/" + the hash's first two characters + "/" + the hash.
// Callers check the hash with IsSafeAssetHash first: the hash comes from the network.
std::string AssetObjectPath(const std::string& gamePath, const std::string& hash);

// True for exactly 40 hexadecimal digits (either case), the only form that names an object
// file without any chance of leaving the objects folder.
bool IsSafeAssetHash(std::string_view hash);

// True when a name from the network can stand as one file name: not empty, no "/" or "\", no
// control character, not "." or "..".
bool IsSafeFileName(std::string_view name);
// An index id names its file: IsSafeFileName.
bool IsSafeAssetIndexId(std::string_view indexId);

}  // namespace kv
