#include "tests/layers/layer_rules.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

namespace kv::test {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool StartsWithFolder(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// The part after "tests/" or "bench/" up to the next separator; empty for other paths.
std::string TestedFolder(const std::string& path, bool& isTest) {
  isTest = StartsWithFolder(path, "tests") || StartsWithFolder(path, "bench");
  if (!isTest) return {};
  const std::string rest = path.substr(6);
  const std::size_t slash = rest.find('/');
  return slash == std::string::npos ? std::string() : rest.substr(0, slash);
}

bool IsSkipped(const fs::path& folder) {
  const std::string name = folder.filename().string();
  return name.empty() || name[0] == '.' || name.rfind("build", 0) == 0;
}

}  // namespace

bool LayerRules::Parse(const std::string& text, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      error = "line " + std::to_string(number) + " has no colon: " + line;
      return false;
    }
    const std::string folder = Trim(line.substr(0, colon));
    if (edges_.count(folder)) {
      error = "line " + std::to_string(number) + " names " + folder + " a second time";
      return false;
    }
    std::vector<std::string>& dependencies = edges_[folder];
    std::istringstream words(line.substr(colon + 1));
    for (std::string word; words >> word;) dependencies.push_back(word);
  }
  return true;
}

std::set<std::string> LayerRules::Reachable(const std::string& folder) const {
  std::set<std::string> seen;
  std::function<void(const std::string&)> visit = [&](const std::string& from) {
    if (!seen.insert(from).second) return;
    const auto found = edges_.find(from);
    if (found == edges_.end()) return;
    for (const std::string& to : found->second) visit(to);
  };
  visit(folder);
  return seen;
}

std::vector<std::string> LayerRules::FoldersInCycles() const {
  std::vector<std::string> cyclic;
  for (const auto& [folder, dependencies] : edges_) {
    for (const std::string& dependency : dependencies) {
      if (Reachable(dependency).count(folder)) {
        cyclic.push_back(folder);
        break;
      }
    }
  }
  return cyclic;
}

std::string LayerRules::FolderOf(const std::string& path) const {
  std::string best;
  for (const auto& [folder, dependencies] : edges_) {
    if (StartsWithFolder(path, folder) && folder.size() > best.size()) best = folder;
  }
  return best;
}

std::string LayerRules::OwnerOf(const std::string& path, bool& isTest) const {
  const std::string tested = TestedFolder(path, isTest);
  if (!isTest) return FolderOf(path);
  const std::string own = path.substr(0, 6) + tested;
  if (edges_.count(own)) return own;
  return edges_.count(tested) ? tested : std::string();
}

std::string LayerRules::CheckInclude(const std::string& owner, bool isTest, const std::string& included) const {
  const std::set<std::string> allowed = Reachable(owner);
  bool includedIsTest = false;
  const std::string tested = TestedFolder(included, includedIsTest);
  if (includedIsTest) {
    if (!isTest) return "a test helper in a source file";
    if (tested == "support") return {};
    const std::string helperOwner = edges_.count("tests/" + tested) ? "tests/" + tested : tested;
    if (allowed.count(helperOwner) || allowed.count(tested)) return {};
    return "the test helpers of " + tested + ", which " + owner + " does not depend on";
  }
  const std::string folder = FolderOf(included);
  if (folder.empty()) return "a folder that docs/layers.txt does not name";
  if (allowed.count(folder)) return {};
  return folder + ", which " + owner + " does not depend on";
}

std::vector<std::string> LayerRules::Check(const std::string& root) const {
  static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<std::string> problems;
  std::vector<fs::path> files;
  for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
    if (entry->is_directory() && IsSkipped(entry->path())) {
      entry.disable_recursion_pending();
      continue;
    }
    const std::string extension = entry->path().extension().string();
    if (entry->is_regular_file() && (extension == ".h" || extension == ".cpp")) files.push_back(entry->path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::string path = fs::relative(file, root).generic_string();
    bool isTest = false;
    const std::string owner = OwnerOf(path, isTest);
    if (owner.empty()) {
      problems.push_back(path + ": in a folder that docs/layers.txt does not name");
      continue;
    }
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch match;
      if (!std::regex_search(line, match, kInclude)) continue;
      const std::string included = match[1];
      if (included.find('/') == std::string::npos) continue;  // a file of its own folder
      const std::string problem = CheckInclude(owner, isTest, included);
      if (!problem.empty()) {
        problems.push_back(path + ":" + std::to_string(number) + ": includes " + included + " from " + problem);
      }
    }
  }
  return problems;
}

}  // namespace kv::test
