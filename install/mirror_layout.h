#pragma once

#include <string>
#include <string_view>

// Where the download mirror keeps each file, below its base address (MirrorBase(), no
// trailing slash). Names are percent-encoded as path segments, so an id with a blank is still
// found. Callers check ids, hashes and library coordinates before they build an address from
// them: those come from the network.
namespace kv {

// base + "/versions/versions.json"
std::string VersionListUrl(std::string_view base);
// base + "/versions/" + id + "/" + id + ".json"
std::string VersionJsonUrl(std::string_view base, std::string_view id);
// base + "/versions/" + id + "/" + id + ".jar"
std::string VersionJarUrl(std::string_view base, std::string_view id);
// base + "/indexes/" + index id + ".json"
std::string AssetIndexUrl(std::string_view base, std::string_view indexId);
// base + "/objects/" + the hash's first two characters + "/" + hash
std::string AssetObjectUrl(std::string_view base, std::string_view hash);
// base + "/libs/" + the library's relative path
std::string LibraryUrl(std::string_view base, std::string_view relativePath);
// base + "/legacy.zip"
std::string LegacyArchiveUrl(std::string_view base);

// The file name of the legacy asset archive, locally and on the mirror.
inline constexpr const char* kLegacyArchiveName = "legacy.zip";

}  // namespace kv
