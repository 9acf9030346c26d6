#include "loader/loader_version.h"

#include <algorithm>
#include <cctype>

#include "util/ascii_text.h"

namespace kv {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The next part of an id from `at`: a run of digits or a run of other characters, the
// separators between them skipped.
std::string_view NextPart(std::string_view id, std::size_t& at) {
  auto separator = [](char c) { return c == '.' || c == '-' || c == '+' || c == '_'; };
  while (at < id.size() && separator(id[at])) ++at;
  const std::size_t start = at;
  if (at < id.size()) {
    const bool digits = IsDigit(id[at]);
    while (at < id.size() && !separator(id[at]) && IsDigit(id[at]) == digits) ++at;
  }
  return id.substr(start, at - start);
}

// A word's place among pre-release marks; every other word comes after them.
int WordRank(std::string_view word) {
  const std::string lower = AsciiLower(word);
  if (lower == "alpha" || lower == "a") return 0;
  if (lower == "beta" || lower == "b") return 1;
  if (lower == "pre" || lower == "rc" || lower == "cr") return 2;
  return 3;
}

int CompareNumbers(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
  while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int CompareParts(std::string_view a, std::string_view b) {
  const bool numberA = IsDigit(a.front());
  const bool numberB = IsDigit(b.front());
  if (numberA && numberB) return CompareNumbers(a, b);
  if (numberA != numberB) return numberA ? 1 : -1;
  const int rankA = WordRank(a);
  const int rankB = WordRank(b);
  if (rankA != rankB) return rankA < rankB ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

int CompareLoaderVersions(std::string_view a, std::string_view b) {
  std::size_t atA = 0;
  std::size_t atB = 0;
  while (true) {
    const std::string_view partA = NextPart(a, atA);
    const std::string_view partB = NextPart(b, atB);
    if (partA.empty() && partB.empty()) return 0;
    // Where one id ends, a further number makes the other newer and a further word older.
    if (partA.empty()) return IsDigit(partB.front()) ? -1 : 1;
    if (partB.empty()) return IsDigit(partA.front()) ? 1 : -1;
    if (const int order = CompareParts(partA, partB); order != 0) return order;
  }
}

bool IsPrereleaseId(std::string_view id) {
  for (std::size_t i = 0; i + 1 < id.size(); ++i) {
    if (id[i] == '-' && IsLetter(id[i + 1])) return true;
  }
  return false;
}

void OrderNewestStableFirst(std::vector<LoaderVersion>& versions) {
  std::stable_sort(versions.begin(), versions.end(), [](const LoaderVersion& a, const LoaderVersion& b) {
    if (a.stable != b.stable) return a.stable;
    return CompareLoaderVersions(a.id, b.id) > 0;
  });
}

const LoaderVersion* DefaultLoaderVersion(const std::vector<LoaderVersion>& versions) {
  if (versions.empty()) return nullptr;
  for (const LoaderVersion& version : versions) {
    if (version.recommended) return &version;
  }
  // Ordered stable first, so the first is the newest stable one where there is one.
  return &versions.front();
}

}  // namespace kv
