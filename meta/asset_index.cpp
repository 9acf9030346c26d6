#include "meta/asset_index.h"

#include <utility>

#include "meta/json_document.h"
#include "util/files.h"

namespace kv {

bool ParseAssetIndex(std::string_view text, AssetIndex& index) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) return false;

  AssetIndex read;
  const Json::Value& objects = json::Member(root, "objects");
  if (objects.isObject()) {
    read.objects.reserve(objects.size());
    // The reader keeps an object's members sorted by the bytes of their names.
    for (auto member = objects.begin(); member != objects.end(); ++member) {
      read.objects.push_back({member.name(), json::Text(json::Member(*member, "hash")),
                              json::Int32(json::Member(*member, "size"))});
    }
  }
  index = std::move(read);
  return true;
}

bool ReadAssetIndex(const std::string& gamePath, const std::string& indexId, AssetIndex& index) {
  if (!IsSafeAssetIndexId(indexId)) return false;
  const std::optional<std::string> bytes = ReadWholeFile(AssetIndexPath(gamePath, indexId));
  return bytes && ParseAssetIndex(*bytes, index);
}

std::string AssetIndexPath(const std::string& gamePath, const std::string& indexId) {
  return gamePath + "/assets/indexes/" + indexId + ".json";
}

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

bool IsSafeAssetIndexId(std::string_view indexId) {
  if (indexId.empty() || indexId == "." || indexId == "..") return false;
  for (unsigned char c : indexId) {
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

}  // namespace kv
