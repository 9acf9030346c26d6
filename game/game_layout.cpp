#include "game/game_layout.h"

namespace kv {
namespace {

// game folder + "\versions\" + id + "\", with the profile's separator.
std::string VersionFolderOnCommandLine(std::string_view gamePath, std::string_view id, const PlatformProfile& profile) {
  const char s = profile.separator;
  std::string path(gamePath);
  path += s;
  path.append("versions") += s;
  path.append(id) += s;
  return path;
}

}  // namespace

std::string VersionListPath(const std::string& gamePath) { return gamePath + "/versions/versions.json"; }

std::string VersionJsonPath(std::string_view gamePath, std::string_view id) {
  std::string path(gamePath);
  return path.append("/versions/").append(id).append("/").append(id).append(".json");
}

std::string VersionJarPath(std::string_view gamePath, std::string_view id) {
  std::string path(gamePath);
  return path.append("/versions/").append(id).append("/").append(id).append(".jar");
}

std::string VersionJarCommandPath(std::string_view gamePath, std::string_view id,
                                  const PlatformProfile& profile) {
  return VersionFolderOnCommandLine(gamePath, id, profile).append(id).append(".jar");
}

std::string VersionNativesFolder(std::string_view gamePath, std::string_view id, const PlatformProfile& profile) {
  return VersionFolderOnCommandLine(gamePath, id, profile) + profile.nativesClassifier;
}

bool UsesLegacyAssets(std::string_view id) {
  return id.find("1.6") != std::string_view::npos || id.find("1.7.2") != std::string_view::npos;
}

bool IndexUsesLegacyTree(const AssetIndex& index, std::string_view indexId) {
  return index.isVirtual || index.mapToResources || indexId == "legacy" || indexId == "pre-1.6";
}

std::string LegacyAssetFolder(std::string_view gamePath) {
  return std::string(gamePath) + "/assets/virtual/legacy/";
}

std::string LegacyAssetArgument(std::string_view gamePath) {
  return std::string(gamePath) + "/assets/virtual/legacy";
}

std::string AssetRootArgument(std::string_view gamePath, const PlatformProfile& profile) {
  return std::string(gamePath) + profile.separator + "assets";
}

std::string GameDirectoryArgument(std::string_view gamePath, std::string_view instanceName) {
  return std::string(gamePath) + "/" + "../Instance/" + std::string(instanceName);
}

std::string AssetIndexPath(const std::string& gamePath, const std::string& indexId) {
  return gamePath + "/assets/indexes/" + indexId + ".json";
}

std::string LogConfigPath(const std::string& gamePath, const std::string& fileId) {
  return gamePath + "/assets/log_configs/" + fileId;
}

std::string LibraryDirectoryArgument(std::string_view gamePath) { return std::string(gamePath) + "/libraries"; }

std::string AssetObjectPath(const std::string& gamePath, const std::string& hash) {
  return gamePath + "/assets/objects/" + hash.substr(0, 2) + "/" + hash;
}

bool IsSafeAssetHash(std::string_view hash) {
  if (hash.size() != 40) return false;
  for (char c : hash) {
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

bool IsSafeAssetIndexId(std::string_view indexId) { return IsSafeFileName(indexId); }

}  // namespace kv
