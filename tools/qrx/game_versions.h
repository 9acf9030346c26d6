#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "tools/qrx/catalogue_index.h"

// Which game versions a catalogue entry is for.
namespace kv::qrx {

// Orders two versions as Maven does: items split at ".", "-", "_" and between digits and
// letters; numbers by value; qualifiers alpha (a) < beta (b) < milestone (m) < rc (cr) <
// snapshot < the release ("", "ga", "final", "release") < sp < other words in letter order;
// a missing item counts as 0 or the release, so "1.20" equals "1.20.0". Negative, zero or
// positive like strcmp.
int CompareMavenVersions(std::string_view a, std::string_view b);

// True when `version` lies in the Maven version range `range`: one or more restrictions
// separated by commas, each "[v]" (exactly v) or a pair of bounds in "[" or "(" and "]" or
// ")", either bound may be empty ("[1.20,1.21)", "(,1.12.2]"). A bare version means exactly
// that version. False for a range that cannot be read.
bool MavenRangeContains(std::string_view range, std::string_view version);

// True when the range can be read (korvane-catalogue warns about the others).
bool IsMavenRange(std::string_view range);

// A Forge or NeoForge entry whose declared versions include `gameVersion`. Fabric entries
// wait for a Fabric client and are never offered here.
bool OfferedFor(const CatalogueEntry& entry, std::string_view gameVersion);

// OfferedFor over a whole catalogue for one game version: each distinct Maven range is read
// once, however many entries declare it.
class OfferFilter {
 public:
  explicit OfferFilter(std::string gameVersion) : gameVersion_(std::move(gameVersion)) {}
  bool Offered(const CatalogueEntry& entry);

 private:
  std::string gameVersion_;
  std::unordered_map<std::string, bool> rangeContains_;
};

}  // namespace kv::qrx
