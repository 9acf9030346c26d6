#include "loader/meta_addresses.h"

#include "net/url_encoding.h"

namespace kv {

std::string MetaLoaderListUrl(LoaderKind kind, std::string_view gameVersion) {
  const char* meta = kind == LoaderKind::Quilt ? "https://meta.quiltmc.org/v3" : "https://meta.fabricmc.net/v2";
  return std::string(meta) + "/versions/loader/" + EncodePathSegment(gameVersion);
}

std::string MetaProfileUrl(LoaderKind kind, std::string_view gameVersion, std::string_view loaderVersion) {
  return MetaLoaderListUrl(kind, gameVersion) + "/" + EncodePathSegment(loaderVersion) + "/profile/json";
}

}  // namespace kv
