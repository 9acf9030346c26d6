#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The asset index: every resource file of a game version by logical name and content hash.
namespace kv {

struct AssetObject {
  std::string name;  // the logical name, shown as the download's file name
  std::string hash;
  std::int32_t size = 0;
};

struct AssetIndex {
  std::vector<AssetObject> objects;  // ascending byte order of the names
  // The index's layout flags: "virtual" (the game reads its assets from a tree of logical
  // names) and "map_to_resources" (the oldest versions read them from the game directory's
  // "resources" folder).
  bool isVirtual = false;
  bool mapToResources = false;
};

// Fills `index` from JSON text; false, with the model untouched, when it is not JSON.
// A missing or non-object "objects" gives an empty model. A hash that is not a string reads
// as empty; a size outside the signed 32-bit range, or not a number, reads as 0. A flag is set
// only by the JSON value true.
bool ParseAssetIndex(std::string_view text, AssetIndex& index);

}  // namespace kv
