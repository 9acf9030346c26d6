#pragma once

#include <string>
#include <string_view>
#include <vector>

// The version list: every game version the download source offers, with the newest release
// and snapshot. Only the members below are read.
namespace kv {

struct ManifestEntry {
  std::string id;
  std::string time;
  std::string releaseTime;
  std::string type;  // as the list gives it: "release", "snapshot", "old_beta", "old_alpha", ...
  std::string url;   // where the version's description is published (the official list)
  std::string sha1;  // the description's checksum (the official list)
};

struct VersionManifest {
  std::string latestSnapshot;
  std::string latestRelease;
  std::vector<ManifestEntry> entries;  // in document order, none dropped or sorted
};

// Fills `manifest` from JSON text. When the text is not JSON the model is left untouched and
// the result is false. Text values follow the same rules as the version description's: a
// missing, null or wrongly typed member reads as empty, a boolean as "true"/"false".
bool ParseVersionManifest(std::string_view text, VersionManifest& manifest);

// Reads the local copy (game folder + "/versions/versions.json") and parses it. A missing or
// empty file leaves the model untouched; the result is false then, as for unparsable text.
bool ReadVersionManifest(const std::string& localPath, VersionManifest& manifest);

// The entry of `id`, or null.
const ManifestEntry* FindManifestEntry(const VersionManifest& manifest, std::string_view id);

}  // namespace kv
