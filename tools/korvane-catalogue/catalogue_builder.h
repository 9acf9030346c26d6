#pragma once

#include <string>
#include <vector>

// Builds the static mod catalogue from a folder of mod jars: OUT receives "index.json", the
// jars under "jars/" (with their own file names) and the icons taken out of them under
// "icons/", all named relative to OUT, so that any static server serving OUT as ".../allmod/"
// serves the catalogue.
namespace kv::catalogue {

struct BuildResult {
  bool ok = false;
  int mods = 0;                      // entries in the index
  std::vector<std::string> skipped;  // jars left out, each with its reason
  std::vector<std::string> warnings;
  std::string failure;               // why nothing was built
};

// Every "*.jar" directly in `jarsFolder`, in name order. OUT must be missing, empty or an
// earlier catalogue (it has an index.json): anything else is refused, so that a mistyped
// folder is never filled or cleaned. Files an earlier build left under jars/ and icons/ that
// the new index does not name are removed; the index is replaced last.
BuildResult BuildCatalogue(const std::string& jarsFolder, const std::string& outFolder);

}  // namespace kv::catalogue
