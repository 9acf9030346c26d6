// The version list as the mirror serves it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "meta/version_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kv::VersionManifest manifest;
  kv::ParseVersionManifest(std::string_view(reinterpret_cast<const char*>(data), size), manifest);
  return 0;
}
