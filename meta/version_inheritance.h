#pragma once

#include <functional>
#include <optional>
#include <string>

#include "meta/version_description.h"

// Descriptions that extend another ("inheritsFrom"): a loader such as Fabric or Forge names the
// game version it builds on and lists only what it adds or changes.
namespace kv {

// The child laid over its parent:
// - libraries: the child's first, then the parent's;
// - main class, asset index (name and file), Java version and logging: the child's where it
//   names them (and they are not empty), else the parent's;
// - "jar", the version whose client jar this one's is made from: the child's, else the
//   parent's, else the parent itself;
// - "downloads": key by key, the child's entries over the parent's, so that a child without a
//   client keeps the parent's;
// - arguments: the parent's, then the child's appended; the older template
//   ("minecraftArguments") of the child replaces the parent's when it has one;
// - id and type: the child's (the type falls back to the parent's when empty);
// - "inheritsFrom": the parent's, so that the merge can go on up the chain.
VersionDescription MergeOverParent(const VersionDescription& child, const VersionDescription& parent);

// How deep a chain may go: a description and at most this many ancestors.
inline constexpr int kMaxInheritanceDepth = 8;

enum class InheritanceStatus {
  Resolved,
  Unreadable,     // the description itself is missing or not JSON
  MissingParent,  // an ancestor is missing or not JSON; `version` names it
  Cycle,          // an ancestor names a description already in the chain; `version` names it
  TooDeep,        // more than kMaxInheritanceDepth ancestors
  IdMismatch,     // a description read as `version` calls itself `namedId`
};

struct InheritanceResult {
  InheritanceStatus status = InheritanceStatus::Resolved;
  std::string version;  // the description the status is about
  int depth = 0;        // how many ancestors were merged
  std::string namedId{};  // IdMismatch: the id the description gives itself
};

// Reads a description by id; nothing when it cannot be read.
using DescriptionReader = std::function<std::optional<VersionDescription>(const std::string& id)>;

// Reads `id` and every ancestor it names through `read` and merges them, nearest last over
// farthest. Each description is the version it was read as: one whose "id" names another
// version is refused (IdMismatch), so that nothing of that other version is ever touched in its
// name; one without an "id" is taken as it is. On anything but Resolved, `merged` is left
// untouched.
InheritanceResult ResolveInheritance(const std::string& id, const DescriptionReader& read, VersionDescription& merged);

}  // namespace kv
