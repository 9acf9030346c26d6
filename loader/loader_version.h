#pragma once

#include <string>
#include <string_view>
#include <vector>

// One version of a loader, as its publisher's list gives it, and the order in which they are
// offered.
namespace kv {

struct LoaderVersion {
  std::string id;            // as the lists give it: "0.16.10", "47.2.0", "21.1.172", "1.20.1-47.1.106"
  bool stable = false;       // the publisher calls it stable (or it carries no pre-release mark)
  bool recommended = false;  // Forge's recommended build for the game version

  bool operator==(const LoaderVersion&) const = default;
};

// Compares two version ids part by part, as Maven orders versions: numbers by value, a number
// above a word, a pre-release word ("alpha" < "beta" < "pre"/"rc" < any other) below the
// version without it (1.0-beta < 1.0 < 1.0.1). Negative, zero or positive.
int CompareLoaderVersions(std::string_view a, std::string_view b);

// Whether an id carries a pre-release mark: a '-' followed by a letter ("-beta.3", "-rc1").
bool IsPrereleaseId(std::string_view id);

// The stable versions newest first, then the others newest first.
void OrderNewestStableFirst(std::vector<LoaderVersion>& versions);

// What is installed when the player names no version: the recommended one, else the newest
// stable one, else the newest (the list ordered as above). Null for an empty list.
const LoaderVersion* DefaultLoaderVersion(const std::vector<LoaderVersion>& versions);

}  // namespace kv
