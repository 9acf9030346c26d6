#pragma once

#include <string>

// The folders of instances: one per instance, named after it, in "Instance" beside the game
// folder. Deleting and renaming only ever touch folders strictly inside that "Instance"
// folder, whatever name reaches them (names edited into the settings file by hand included).
namespace kv {

// GamePath + "../Instance/".
std::string InstancesRoot(const std::string& gamePath);
// GamePath + "../Instance/" + name + "/".
std::string InstanceFolder(const std::string& gamePath, const std::string& name);
// The instance's folder as a player reads it: "..", "." and doubled separators resolved.
std::string ShownInstanceFolder(const std::string& gamePath, const std::string& name);

// True when `path` lies strictly inside `root` after resolving "..", "." and links of the
// folders above it.
bool IsStrictlyInside(const std::string& path, const std::string& root);

// Deletes the folder and everything in it, for good. True on success; false for a missing
// folder or one outside `root`.
bool DeleteFolder(const std::string& path, const std::string& root);
// Renames a folder; both must lie inside `root`, the target must not exist.
bool RenameFolder(const std::string& from, const std::string& to, const std::string& root);

}  // namespace kv
