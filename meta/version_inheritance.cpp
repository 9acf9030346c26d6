#include "meta/version_inheritance.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kv {
namespace {

template <typename T>
const T& NearestNotEmpty(const T& child, const T& parent) {
  return child.empty() ? parent : child;
}

std::optional<std::vector<ArgumentEntry>> Appended(const std::optional<std::vector<ArgumentEntry>>& parent,
                                                   const std::optional<std::vector<ArgumentEntry>>& child) {
  if (!parent) return child;
  if (!child) return parent;
  std::vector<ArgumentEntry> both = *parent;
  both.insert(both.end(), child->begin(), child->end());
  return both;
}

bool NamesAnotherVersion(const VersionDescription& description, const std::string& readAs) {
  return !description.id.empty() && description.id != readAs;
}

}  // namespace

VersionDescription MergeOverParent(const VersionDescription& child, const VersionDescription& parent) {
  VersionDescription merged;
  merged.id = child.id;
  merged.type = NearestNotEmpty(child.type, parent.type);
  merged.inheritsFrom = parent.inheritsFrom;
  merged.minecraftArguments = NearestNotEmpty(child.minecraftArguments, parent.minecraftArguments);
  // The index's name and its published file belong together.
  const bool childNamesAssets = !child.assets.empty();
  merged.assets = childNamesAssets ? child.assets : parent.assets;
  merged.assetIndex = childNamesAssets ? child.assetIndex : parent.assetIndex;
  merged.libraries = child.libraries;
  merged.libraries.insert(merged.libraries.end(), parent.libraries.begin(), parent.libraries.end());
  merged.mainClass = NearestNotEmpty(child.mainClass, parent.mainClass);
  // A child that names no jar is made from its parent's client.
  merged.jar = !child.jar.empty() ? child.jar : NearestNotEmpty(parent.jar, parent.id);
  merged.downloads = child.downloads;
  merged.downloads.insert(parent.downloads.begin(), parent.downloads.end());  // keeps the child's keys
  merged.gameArguments = Appended(parent.gameArguments, child.gameArguments);
  merged.jvmArguments = Appended(parent.jvmArguments, child.jvmArguments);
  // The runtime goes with the major version it was named beside.
  const bool childNamesJava = child.javaMajorVersion != 0 || !child.javaComponent.empty();
  merged.javaMajorVersion = childNamesJava ? child.javaMajorVersion : parent.javaMajorVersion;
  merged.javaComponent = childNamesJava ? child.javaComponent : parent.javaComponent;
  merged.logging = child.logging.argument.empty() ? parent.logging : child.logging;
  return merged;
}

InheritanceResult ResolveInheritance(const std::string& id, const DescriptionReader& read, VersionDescription& merged) {
  std::optional<VersionDescription> first = read(id);
  if (!first) return {InheritanceStatus::Unreadable, id, 0};
  if (NamesAnotherVersion(*first, id)) return {InheritanceStatus::IdMismatch, id, 0, first->id};
  // The chain as read, the description first; ids compared as the documents name them.
  std::vector<std::string> seen{id};
  VersionDescription result = std::move(*first);
  int depth = 0;
  while (!result.inheritsFrom.empty()) {
    const std::string parentId = result.inheritsFrom;
    if (std::find(seen.begin(), seen.end(), parentId) != seen.end()) {
      return {InheritanceStatus::Cycle, parentId, depth};
    }
    if (depth == kMaxInheritanceDepth) return {InheritanceStatus::TooDeep, parentId, depth};
    std::optional<VersionDescription> parent = read(parentId);
    if (!parent) return {InheritanceStatus::MissingParent, parentId, depth};
    if (NamesAnotherVersion(*parent, parentId)) return {InheritanceStatus::IdMismatch, parentId, depth, parent->id};
    seen.push_back(parentId);
    result = MergeOverParent(result, *parent);
    ++depth;
  }
  merged = std::move(result);
  return {InheritanceStatus::Resolved, id, depth};
}

}  // namespace kv
