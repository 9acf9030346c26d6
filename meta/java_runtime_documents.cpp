#include "meta/java_runtime_documents.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "meta/json_document.h"
#include "util/messages.h"

namespace kv {
namespace {

bool IsSha1(std::string_view text) {
  return text.size() == 40 && std::all_of(text.begin(), text.end(), [](char ch) {
           return std::isxdigit(static_cast<unsigned char>(ch)) != 0;
         });
}

bool IsWebAddress(std::string_view url) { return url.starts_with("https://") || url.starts_with("http://"); }

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
  return lower;
}

// The parts of a relative path between its slashes; nothing when a part is empty, "." or
// "..", or holds what a file name on another system could read as a separator, a drive or a
// control character.
std::optional<std::vector<std::string>> SafeParts(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return std::nullopt;
    if (std::any_of(part.begin(), part.end(), [](char ch) {
          return ch == '\\' || ch == ':' || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
        })) {
      return std::nullopt;
    }
    parts.emplace_back(part);
    start = slash + 1;
  }
  return parts;
}

// Where a link's target leads, as parts below the runtime's folder; nothing when it leaves it
// (or is absolute, or empty).
std::optional<std::vector<std::string>> LinkDestination(const std::vector<std::string>& linkParts,
                                                        std::string_view target) {
  if (target.empty() || target.front() == '/' || target.find('\\') != std::string_view::npos ||
      target.find(':') != std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::string> at(linkParts.begin(), linkParts.end() - 1);
  std::size_t start = 0;
  while (start <= target.size()) {
    const std::size_t slash = std::min(target.find('/', start), target.size());
    const std::string_view part = target.substr(start, slash - start);
    if (part == "..") {
      if (at.empty()) return std::nullopt;
      at.pop_back();
    } else if (!part.empty() && part != ".") {
      at.emplace_back(part);
    }
    start = slash + 1;
  }
  return at;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t count) {
  std::string path;
  for (std::size_t i = 0; i < count; ++i) path += (i == 0 ? "" : "/") + parts[i];
  return path;
}

Failure Refused(const std::string& entry) { return Fail(FailureKind::Invalid, msg::RuntimeManifestRefused(entry)); }

}  // namespace

std::string RuntimePlatformKey(std::string_view os, std::string_view machine) {
  const std::string cpu = Lower(machine);
  const bool x64 = cpu == "x86_64" || cpu == "amd64" || cpu == "x64";
  const bool x86 = cpu == "i386" || cpu == "i486" || cpu == "i586" || cpu == "i686" || cpu == "x86";
  const bool arm64 = cpu == "aarch64" || cpu == "arm64";
  if (os == "linux") return x64 ? "linux" : x86 ? "linux-i386" : "";
  if (os == "windows") return x64 ? "windows-x64" : x86 ? "windows-x86" : arm64 ? "windows-arm64" : "";
  if (os == "osx") return x64 ? "mac-os" : arm64 ? "mac-os-arm64" : "";
  return {};
}

bool IsSafeComponentName(std::string_view component) {
  if (component.empty() || component.size() > 64) return false;
  if (std::all_of(component.begin(), component.end(), [](char ch) { return ch == '.'; })) return false;
  return std::all_of(component.begin(), component.end(), [](char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) != 0 || ch == '.' || ch == '_' || ch == '-';
  });
}

Result<std::vector<PublishedRuntime>> ParseRuntimeIndex(std::string_view text, std::string_view platformKey) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) return Fail(FailureKind::Invalid, msg::kRuntimeIndexInvalid);
  std::vector<PublishedRuntime> runtimes;
  const Json::Value& platform = json::Member(root, platformKey);
  if (!platform.isObject()) return runtimes;
  for (const std::string& component : platform.getMemberNames()) {
    if (!IsSafeComponentName(component)) continue;
    for (const Json::Value& offered : json::ArrayOrEmpty(platform[component])) {
      const Json::Value& manifest = json::Member(offered, "manifest");
      PublishedRuntime runtime{component,
                               json::Text(json::Member(json::Member(offered, "version"), "name")),
                               json::Text(json::Member(json::Member(offered, "version"), "released")),
                               json::Text(json::Member(manifest, "url")),
                               Lower(json::Text(json::Member(manifest, "sha1"))),
                               json::Size(json::Member(manifest, "size"))};
      if (!IsWebAddress(runtime.manifestUrl) || !IsSha1(runtime.manifestSha1)) continue;
      runtimes.push_back(std::move(runtime));
      break;
    }
  }
  return runtimes;
}

Result<std::vector<RuntimeEntry>> ParseRuntimeManifest(std::string_view text) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !json::Member(root, "files").isObject()) return Refused("files");
  const Json::Value& files = root["files"];
  std::vector<RuntimeEntry> entries;
  std::vector<std::vector<std::string>> partsOf;
  std::set<std::string> notFolders;  // files and links: nothing may stand below them
  for (const std::string& path : files.getMemberNames()) {
    const Json::Value& described = files[path];
    std::optional<std::vector<std::string>> parts = SafeParts(path);
    if (!parts) return Refused(path);
    RuntimeEntry entry;
    entry.path = path;
    const std::string type = json::Text(json::Member(described, "type"));
    if (type == "file") {
      const Json::Value& raw = json::Member(json::Member(described, "downloads"), "raw");
      entry.url = json::Text(json::Member(raw, "url"));
      entry.sha1 = Lower(json::Text(json::Member(raw, "sha1")));
      entry.size = json::Size(json::Member(raw, "size"));
      entry.executable = json::Member(described, "executable").isBool() && described["executable"].asBool();
      if (!IsWebAddress(entry.url) || !IsSha1(entry.sha1) || entry.size < 0) return Refused(path);
    } else if (type == "directory") {
      entry.type = RuntimeEntry::Type::Directory;
    } else if (type == "link") {
      entry.type = RuntimeEntry::Type::Link;
      entry.target = json::Text(json::Member(described, "target"));
      if (!LinkDestination(*parts, entry.target)) {
        return Fail(FailureKind::Invalid, msg::RuntimeLinkLeaves(path + " -> " + entry.target));
      }
    } else {
      return Refused(path);
    }
    if (entry.type != RuntimeEntry::Type::Directory) notFolders.insert(path);
    entries.push_back(std::move(entry));
    partsOf.push_back(std::move(*parts));
  }
  // A file or link standing where another entry needs a folder would have that entry written
  // through it, or not at all.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    for (std::size_t depth = 1; depth < partsOf[i].size(); ++depth) {
      if (notFolders.count(Joined(partsOf[i], depth)) != 0) return Refused(entries[i].path);
    }
  }
  return entries;
}

}  // namespace kv
