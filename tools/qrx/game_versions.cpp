#include "tools/qrx/game_versions.h"

#include "util/ascii_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace kv::qrx {
namespace {

struct Item {
  bool number = false;
  std::string digits;  // a number without leading zeros ("" is 0)
  std::string word;    // a qualifier, lower case, aliases resolved
};

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

std::vector<Item> Items(std::string_view version) {
  std::vector<Item> items;
  std::size_t i = 0;
  while (i < version.size()) {
    const char ch = version[i];
    if (ch == '.' || ch == '-' || ch == '_') {
      ++i;
      continue;
    }
    const bool number = IsDigit(ch);
    const std::size_t start = i;
    while (i < version.size() && version[i] != '.' && version[i] != '-' && version[i] != '_' &&
           IsDigit(version[i]) == number) {
      ++i;
    }
    std::string text(version.substr(start, i - start));
    Item item;
    item.number = number;
    if (number) {
      item.digits = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    } else {
      text = AsciiLower(text);
      // A single letter right before a number is the short form of a qualifier ("1.0a1").
      const bool beforeNumber = i < version.size() && IsDigit(version[i]);
      if (beforeNumber && text == "a") text = "alpha";
      if (beforeNumber && text == "b") text = "beta";
      if (beforeNumber && text == "m") text = "milestone";
      if (text == "cr") text = "rc";
      if (text == "ga" || text == "final" || text == "release") text.clear();
      item.word = text;
    }
    items.push_back(item);
  }
  return items;
}

// The place of a qualifier; words Maven does not know come last, in letter order.
int QualifierRank(const std::string& word) {
  static const char* const kKnown[] = {"alpha", "beta", "milestone", "rc", "snapshot", "", "sp"};
  for (int rank = 0; rank < 7; ++rank) {
    if (word == kKnown[rank]) return rank;
  }
  return 7;
}

int CompareNumbers(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int CompareWords(const std::string& a, const std::string& b) {
  const int rankA = QualifierRank(a);
  const int rankB = QualifierRank(b);
  if (rankA != rankB) return rankA < rankB ? -1 : 1;
  if (rankA < 7) return 0;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

// A missing item: 0 against a number, the release against a qualifier.
int CompareItems(const std::optional<Item>& a, const std::optional<Item>& b) {
  const Item zeroNumber{true, "", ""};
  const Item release{false, "", ""};
  const Item& left = a ? *a : (b && b->number ? zeroNumber : release);
  const Item& right = b ? *b : (left.number ? zeroNumber : release);
  if (left.number && right.number) return CompareNumbers(left.digits, right.digits);
  if (!left.number && !right.number) return CompareWords(left.word, right.word);
  // A number is newer than any qualifier.
  return left.number ? 1 : -1;
}

struct Restriction {
  std::string lower;
  bool lowerInclusive = false;
  std::string upper;
  bool upperInclusive = false;
};

std::optional<std::vector<Restriction>> ParseRange(std::string_view range) {
  std::vector<Restriction> restrictions;
  const std::string text = Trim(range);
  if (text.empty()) return std::nullopt;
  if (text.front() != '[' && text.front() != '(') {
    if (text.find_first_of("[](),") != std::string::npos) return std::nullopt;
    restrictions.push_back({text, true, text, true});
    return restrictions;
  }
  std::size_t i = 0;
  while (i < text.size()) {
    const char open = text[i];
    if (open != '[' && open != '(') return std::nullopt;
    const std::size_t close = text.find_first_of("])", i + 1);
    if (close == std::string::npos) return std::nullopt;
    const std::string inner = text.substr(i + 1, close - i - 1);
    if (inner.find_first_of("[(") != std::string::npos) return std::nullopt;
    Restriction restriction;
    const std::size_t comma = inner.find(',');
    if (comma == std::string::npos) {
      // "[v]" alone is exact; "(v)" means nothing.
      const std::string version = Trim(inner);
      if (open != '[' || text[close] != ']' || version.empty()) return std::nullopt;
      restriction = {version, true, version, true};
    } else {
      if (inner.find(',', comma + 1) != std::string::npos) return std::nullopt;
      restriction.lower = Trim(inner.substr(0, comma));
      restriction.upper = Trim(inner.substr(comma + 1));
      restriction.lowerInclusive = open == '[';
      restriction.upperInclusive = text[close] == ']';
      if (!restriction.lower.empty() && !restriction.upper.empty() &&
          CompareMavenVersions(restriction.lower, restriction.upper) > 0) {
        return std::nullopt;
      }
    }
    restrictions.push_back(restriction);
    i = close + 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size()) {
      if (text[i] != ',') return std::nullopt;
      ++i;
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
      if (i == text.size()) return std::nullopt;
    }
  }
  return restrictions;
}

bool Contains(const Restriction& restriction, std::string_view version) {
  if (!restriction.lower.empty()) {
    const int order = CompareMavenVersions(version, restriction.lower);
    if (order < 0 || (order == 0 && !restriction.lowerInclusive)) return false;
  }
  if (!restriction.upper.empty()) {
    const int order = CompareMavenVersions(version, restriction.upper);
    if (order > 0 || (order == 0 && !restriction.upperInclusive)) return false;
  }
  return true;
}

}  // namespace

int CompareMavenVersions(std::string_view a, std::string_view b) {
  const std::vector<Item> left = Items(a);
  const std::vector<Item> right = Items(b);
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    const std::optional<Item> x = i < left.size() ? std::optional<Item>(left[i]) : std::nullopt;
    const std::optional<Item> y = i < right.size() ? std::optional<Item>(right[i]) : std::nullopt;
    if (const int order = CompareItems(x, y); order != 0) return order;
  }
  return 0;
}

bool MavenRangeContains(std::string_view range, std::string_view version) {
  const std::optional<std::vector<Restriction>> restrictions = ParseRange(range);
  if (!restrictions) return false;
  return std::any_of(restrictions->begin(), restrictions->end(),
                     [version](const Restriction& restriction) { return Contains(restriction, version); });
}

bool IsMavenRange(std::string_view range) { return ParseRange(range).has_value(); }

bool OfferedFor(const CatalogueEntry& entry, std::string_view gameVersion) {
  if (entry.loader == ModLoader::Fabric || gameVersion.empty()) return false;
  const GameVersions& declared = entry.gameVersions;
  switch (declared.syntax) {
    case GameVersions::Syntax::Exact:
      return std::find(declared.values.begin(), declared.values.end(), gameVersion) != declared.values.end();
    case GameVersions::Syntax::MavenRange:
      return !declared.values.empty() && MavenRangeContains(declared.values.front(), gameVersion);
    case GameVersions::Syntax::None:
    case GameVersions::Syntax::Fabric:
      break;
  }
  return false;
}

bool OfferFilter::Offered(const CatalogueEntry& entry) {
  const GameVersions& declared = entry.gameVersions;
  if (entry.loader == ModLoader::Fabric || declared.syntax != GameVersions::Syntax::MavenRange ||
      declared.values.empty()) {
    return OfferedFor(entry, gameVersion_);
  }
  const auto [judged, first] = rangeContains_.try_emplace(declared.values.front(), false);
  if (first) judged->second = OfferedFor(entry, gameVersion_);
  return judged->second;
}

}  // namespace kv::qrx
