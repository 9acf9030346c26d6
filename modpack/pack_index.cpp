#include "modpack/pack_index.h"

#include <set>

#include "game/library_paths.h"
#include "meta/json_document.h"
#include "util/messages.h"
#include "util/zip_archive.h"

namespace kv {
namespace {

bool IsHex(std::string_view text, std::size_t length) {
  if (text.size() != length) return false;
  for (char c : text) {
    const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit) return false;
  }
  return true;
}

std::optional<LoaderKind> DependencyLoader(std::string_view key) {
  if (key == "fabric-loader") return LoaderKind::Fabric;
  if (key == "quilt-loader") return LoaderKind::Quilt;
  if (key == "forge") return LoaderKind::Forge;
  if (key == "neoforge") return LoaderKind::NeoForge;
  return std::nullopt;
}

Result<ClientUse> ReadClientUse(const Json::Value& env, const std::string& path) {
  const Json::Value& client = json::Member(env, "client");
  if (client.isNull()) return ClientUse::Required;
  const std::string use = json::Text(client);
  if (use == "required") return ClientUse::Required;
  if (use == "optional") return ClientUse::Optional;
  if (use == "unsupported") return ClientUse::Unsupported;
  return Fail(FailureKind::Invalid, msg::PackFileInvalid(path, "env.client"));
}

Result<PackFile> ReadFile(const Json::Value& entry) {
  PackFile file;
  file.path = json::Text(json::Member(entry, "path"));
  if (!IsSafePackPath(file.path)) return Fail(FailureKind::Refused, msg::PackPathUnsafe(file.path));
  const Json::Value& hashes = json::Member(entry, "hashes");
  file.sha512 = json::Text(json::Member(hashes, "sha512"));
  if (!IsHex(file.sha512, 128)) return Fail(FailureKind::Invalid, msg::PackFileInvalid(file.path, "hashes.sha512"));
  file.sha1 = json::Text(json::Member(hashes, "sha1"));
  if (!file.sha1.empty() && !IsHex(file.sha1, 40)) {
    return Fail(FailureKind::Invalid, msg::PackFileInvalid(file.path, "hashes.sha1"));
  }
  file.size = json::Size(json::Member(entry, "fileSize"));
  if (file.size < 0) return Fail(FailureKind::Invalid, msg::PackFileInvalid(file.path, "fileSize"));
  for (const Json::Value& url : json::ArrayOrEmpty(json::Member(entry, "downloads"))) {
    if (!json::Text(url).empty()) file.urls.push_back(json::Text(url));
  }
  if (file.urls.empty()) return Fail(FailureKind::Invalid, msg::PackFileInvalid(file.path, "downloads"));
  Result<ClientUse> client = ReadClientUse(json::Member(entry, "env"), file.path);
  if (!client) return std::move(client).failure();
  file.client = *client;
  return file;
}

}  // namespace

bool IsSafePackPath(std::string_view path) {
  if (path.empty() || path.back() == '/' || path.find('\\') != std::string_view::npos) return false;
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  const std::optional<std::string> safe = SafeEntryName(path);
  return safe && *safe == path;
}

Result<PackIndex> ReadPackIndex(std::string_view text) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) return Fail(FailureKind::Invalid, msg::kPackIndexInvalid);
  const Json::Value& format = json::Member(root, "formatVersion");
  if (!format.isIntegral() || format.asLargestInt() != 1) {
    return Fail(FailureKind::Unsupported, msg::kPackFormatUnsupported);
  }
  if (json::Text(json::Member(root, "game")) != "minecraft") {
    return Fail(FailureKind::Unsupported, msg::PackGameUnsupported(json::Text(json::Member(root, "game"))));
  }
  PackIndex index;
  index.name = json::Text(json::Member(root, "name"));
  index.versionId = json::Text(json::Member(root, "versionId"));
  const Json::Value& dependencies = json::Member(root, "dependencies");
  if (!dependencies.isObject()) return Fail(FailureKind::Invalid, msg::kPackIndexInvalid);
  for (const std::string& key : dependencies.getMemberNames()) {
    const std::string version = json::Text(dependencies[key]);
    if (!IsSafeVersionId(version)) return Fail(FailureKind::Invalid, msg::PackDependencyInvalid(key));
    if (key == "minecraft") {
      index.gameVersion = version;
    } else if (const std::optional<LoaderKind> kind = DependencyLoader(key)) {
      if (index.loader) return Fail(FailureKind::Unsupported, msg::kPackLoadersConflict);
      index.loader = PackLoader{*kind, version};
    } else {
      return Fail(FailureKind::Unsupported, msg::PackDependencyUnsupported(key));
    }
  }
  if (index.gameVersion.empty()) return Fail(FailureKind::Invalid, msg::PackDependencyInvalid("minecraft"));
  std::set<std::string> paths;
  for (const Json::Value& entry : json::ArrayOrEmpty(json::Member(root, "files"))) {
    Result<PackFile> file = ReadFile(entry);
    if (!file) return std::move(file).failure();
    if (!paths.insert(file->path).second) return Fail(FailureKind::Invalid, msg::PackFileInvalid(file->path, "path"));
    index.files.push_back(std::move(*file));
  }
  return index;
}

}  // namespace kv
