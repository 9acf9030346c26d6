#include "meta/asset_index.h"

#include <utility>

#include "meta/json_document.h"

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
  auto flag = [&root](std::string_view key) {
    const Json::Value& value = json::Member(root, key);
    return value.isBool() && value.asBool();
  };
  read.isVirtual = flag("virtual");
  read.mapToResources = flag("map_to_resources");
  index = std::move(read);
  return true;
}

}  // namespace kv
