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
};

// Fills `index` from JSON text; false, with the model untouched, when it is not JSON.
// A missing or non-object "objects" gives an empty model. A hash that is not a string reads
// as empty; a size outside the signed 32-bit range, or not a number, reads as 0.
bool ParseAssetIndex(std::string_view text, AssetIndex& index);

// The local index of `indexId` (AssetIndexPath) read and parsed; false for a missing or empty
// file, an unsafe index id (see IsSafeAssetIndexId) or unparsable text.
bool ReadAssetIndex(const std::string& gamePath, const std::string& indexId, AssetIndex& index);

// game folder + "/assets/indexes/" + indexId + ".json".
std::string AssetIndexPath(const std::string& gamePath, const std::string& indexId);

// game folder + "/assets/objects/" + the hash's first two characters + "/" + the hash.
// Callers check the hash with IsSafeAssetHash first: the hash comes from the network.
std::string AssetObjectPath(const std::string& gamePath, const std::string& hash);

// True for exactly 40 hexadecimal digits (either case), the only form that names an object
// file without any chance of leaving the objects folder.
bool IsSafeAssetHash(std::string_view hash);

// True when an index id can stand as one file name: not empty, no "/" or "\", no control
// character, not "." or "..".
bool IsSafeAssetIndexId(std::string_view indexId);

}  // namespace kv
