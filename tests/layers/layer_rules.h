#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The folders of the tree, which of them each may include, and a check of every quoted
// #include of a source tree against them.
namespace kv::test {

class LayerRules {
 public:
  // Reads lines "folder: dependency dependency ..."; '#' starts a comment. False, with
  // `error` naming the line, for a line without a colon or a folder named twice.
  bool Parse(const std::string& text, std::string& error);

  // The folders that depend on themselves through their edges, each named once.
  std::vector<std::string> FoldersInCycles() const;

  // One message per include that breaks the rules, "file:line: ..."; empty for a sound tree.
  // Every .h and .cpp below `root` is read, except build folders and hidden folders.
  std::vector<std::string> Check(const std::string& root) const;

 private:
  // The folder of the rules that a path (relative to the root) lies in: the longest folder
  // of the rules that prefixes it; empty for none.
  std::string FolderOf(const std::string& path) const;
  // The rules' folder whose rules a source file obeys, and whether it is a test or benchmark.
  std::string OwnerOf(const std::string& path, bool& isTest) const;
  // Every folder reachable from `folder` through the edges, the folder itself included.
  std::set<std::string> Reachable(const std::string& folder) const;
  std::string CheckInclude(const std::string& owner, bool isTest, const std::string& included) const;

  std::map<std::string, std::vector<std::string>> edges_;
};

}  // namespace kv::test
