#include "meta/version_manifest.h"

#include <utility>

#include "meta/json_document.h"
#include "util/files.h"

namespace kv {

bool ParseVersionManifest(std::string_view text, VersionManifest& manifest) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) return false;

  VersionManifest read;
  const Json::Value& latest = json::Member(root, "latest");
  read.latestSnapshot = json::Text(json::Member(latest, "snapshot"));
  read.latestRelease = json::Text(json::Member(latest, "release"));
  for (const Json::Value& version : json::ArrayOrEmpty(json::Member(root, "versions"))) {
    read.entries.push_back({json::Text(json::Member(version, "id")),
                            json::Text(json::Member(version, "time")),
                            json::Text(json::Member(version, "releaseTime")),
                            json::Text(json::Member(version, "type")),
                            json::Text(json::Member(version, "url")),
                            json::Text(json::Member(version, "sha1"))});
  }
  manifest = std::move(read);
  return true;
}

bool ReadVersionManifest(const std::string& localPath, VersionManifest& manifest) {
  const std::optional<std::string> bytes = ReadWholeFile(localPath);
  return bytes && ParseVersionManifest(*bytes, manifest);
}

const ManifestEntry* FindManifestEntry(const VersionManifest& manifest, std::string_view id) {
  for (const ManifestEntry& entry : manifest.entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace kv
