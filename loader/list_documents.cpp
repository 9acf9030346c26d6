#include "loader/list_documents.h"

#include <pugixml.hpp>

#include "meta/json_document.h"

namespace kv {
namespace {

// An id from a list becomes part of a version's name, a folder and an address: letters,
// digits and ". - + _" only.
bool IsPlainId(std::string_view id) {
  if (id.empty() || id.size() > 100) return false;
  for (char c : id) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                       c == '-' || c == '+' || c == '_';
    if (!plain) return false;
  }
  return true;
}

void Add(std::vector<LoaderVersion>& versions, std::string id, bool stable) {
  if (IsPlainId(id)) versions.push_back({std::move(id), stable, false});
}

std::optional<Json::Value> ParseArray(std::string_view text) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isArray()) return std::nullopt;
  return root;
}

}  // namespace

std::optional<std::vector<LoaderVersion>> ReadMetaLoaderList(std::string_view text) {
  const std::optional<Json::Value> root = ParseArray(text);
  if (!root) return std::nullopt;
  std::vector<LoaderVersion> versions;
  for (const Json::Value& entry : *root) {
    const Json::Value& loader = json::Member(entry, "loader");
    std::string id = json::Text(json::Member(loader, "version"));
    const Json::Value& stable = json::Member(loader, "stable");
    const bool isStable = stable.isBool() ? stable.asBool() : !IsPrereleaseId(id);
    Add(versions, std::move(id), isStable);
  }
  return versions;
}

std::optional<std::vector<LoaderVersion>> ReadForgeMavenMetadata(std::string_view xml, std::string_view gameVersion) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) return std::nullopt;
  const pugi::xml_node list = document.child("metadata").child("versioning").child("versions");
  if (!list) return std::nullopt;
  const std::string prefix = std::string(gameVersion) + "-";
  std::vector<LoaderVersion> versions;
  for (const pugi::xml_node version : list.children("version")) {
    const std::string_view text = version.child_value();
    if (text.size() > prefix.size() && text.substr(0, prefix.size()) == prefix) {
      Add(versions, std::string(text.substr(prefix.size())), false);
    }
  }
  return versions;
}

std::optional<std::string> ReadForgeRecommended(std::string_view text, std::string_view gameVersion) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) return std::nullopt;
  std::string recommended = json::Text(json::Member(json::Member(root, "promos"), std::string(gameVersion) + "-recommended"));
  if (recommended.empty()) return std::nullopt;
  return recommended;
}

std::optional<std::vector<LoaderVersion>> ReadMirrorForgeList(std::string_view text, std::string_view gameVersion) {
  const std::optional<Json::Value> root = ParseArray(text);
  if (!root) return std::nullopt;
  std::vector<LoaderVersion> versions;
  for (const Json::Value& entry : *root) {
    if (json::Text(json::Member(entry, "mcversion")) != gameVersion) continue;
    Add(versions, json::Text(json::Member(entry, "version")), false);
  }
  return versions;
}

std::optional<std::vector<LoaderVersion>> ReadNeoForgeVersions(std::string_view text, std::string_view prefix) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !json::Member(root, "versions").isArray()) return std::nullopt;
  std::vector<LoaderVersion> versions;
  for (const Json::Value& entry : json::Member(root, "versions")) {
    std::string id = json::Text(entry);
    if (id.size() <= prefix.size() || id.compare(0, prefix.size(), prefix) != 0) continue;
    const bool stable = !IsPrereleaseId(id);
    Add(versions, std::move(id), stable);
  }
  return versions;
}

std::optional<std::vector<LoaderVersion>> ReadMirrorNeoForgeList(std::string_view text) {
  const std::optional<Json::Value> root = ParseArray(text);
  if (!root) return std::nullopt;
  std::vector<LoaderVersion> versions;
  for (const Json::Value& entry : *root) {
    // ".../net/neoforged/<project>/<version>/<file>"
    const std::string path = json::Text(json::Member(entry, "installerPath"));
    const std::size_t fileStart = path.rfind('/');
    const std::size_t versionStart = fileStart == std::string::npos || fileStart == 0 ? std::string::npos
                                                                                       : path.rfind('/', fileStart - 1);
    std::string id = versionStart == std::string::npos ? json::Text(json::Member(entry, "version"))
                                                       : path.substr(versionStart + 1, fileStart - versionStart - 1);
    const bool stable = !IsPrereleaseId(id);
    Add(versions, std::move(id), stable);
  }
  return versions;
}

std::optional<std::string> NeoForgeVersionPrefix(std::string_view gameVersion) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = gameVersion.find('.', start);
    const std::string_view part = gameVersion.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string_view::npos) {
      return std::nullopt;
    }
    parts.emplace_back(part);
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (parts.front() == "1") parts.erase(parts.begin());
  if (parts.empty() || parts.size() > 3) return std::nullopt;
  // "1.21" and "26.1" name the first release of their line: NeoForge counts it as ".0".
  const std::size_t wanted = gameVersion.substr(0, 2) == "1." ? 2 : 3;
  while (parts.size() < wanted) parts.emplace_back("0");
  std::string prefix;
  for (const std::string& part : parts) prefix += part + ".";
  return prefix;
}

}  // namespace kv
