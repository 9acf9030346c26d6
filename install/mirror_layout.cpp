#include "install/mirror_layout.h"

#include "net/url_encoding.h"

namespace kv {
namespace {

std::string Join(std::string_view base, std::string_view a, std::string_view b = {},
                 std::string_view c = {}, std::string_view d = {}) {
  std::string url;
  url.reserve(base.size() + a.size() + b.size() + c.size() + d.size());
  url.append(base).append(a).append(b).append(c).append(d);
  return url;
}

}  // namespace

std::string VersionListUrl(std::string_view base) { return Join(base, "/versions/versions.json"); }

std::string VersionJsonUrl(std::string_view base, std::string_view id) {
  const std::string segment = EncodePathSegment(id);
  return Join(base, "/versions/", segment, "/", segment + ".json");
}

std::string VersionJarUrl(std::string_view base, std::string_view id) {
  const std::string segment = EncodePathSegment(id);
  return Join(base, "/versions/", segment, "/", segment + ".jar");
}

std::string AssetIndexUrl(std::string_view base, std::string_view indexId) {
  return Join(base, "/indexes/", EncodePathSegment(indexId), ".json");
}

std::string AssetObjectUrl(std::string_view base, std::string_view hash) {
  return Join(base, "/objects/", hash.substr(0, 2), "/", hash);
}

std::string LibraryUrl(std::string_view base, std::string_view relativePath) {
  return Join(base, "/libs/", EncodePath(relativePath));
}

std::string LegacyArchiveUrl(std::string_view base) { return Join(base, "/", kLegacyArchiveName); }

}  // namespace kv
