// Asset indexes as the mirror serves them: a hash that passes the check never leads an object
// path out of the objects folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/game_layout.h"
#include "meta/asset_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kv::AssetIndex index;
  if (!kv::ParseAssetIndex(std::string_view(reinterpret_cast<const char*>(data), size), index)) return 0;
  for (const kv::AssetObject& object : index.objects) {
    if (!kv::IsSafeAssetHash(object.hash)) continue;
    const std::string path = kv::AssetObjectPath("/game/", object.hash);
    if (path.find("..") != std::string::npos || path.find('\\') != std::string::npos ||
        path.size() != std::string("/game//assets/objects/xx/").size() + 40) {
      std::abort();
    }
  }
  return 0;
}
