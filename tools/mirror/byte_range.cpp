#include "tools/mirror/byte_range.h"

#include <charconv>
#include <optional>

namespace kv::mirror {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<std::uint64_t> Number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

ByteRange ParseByteRange(std::string_view header, std::uint64_t fileSize) {
  ByteRange whole;
  header = Trim(header);
  constexpr std::string_view kUnit = "bytes=";
  if (header.substr(0, kUnit.size()) != kUnit) return whole;
  std::string_view ranges = Trim(header.substr(kUnit.size()));
  if (ranges.find(',') != std::string_view::npos) return whole;
  std::size_t dash = ranges.find('-');
  if (dash == std::string_view::npos) return whole;
  std::string_view firstText = Trim(ranges.substr(0, dash));
  std::string_view lastText = Trim(ranges.substr(dash + 1));

  ByteRange range;
  range.kind = ByteRange::Kind::Part;
  if (firstText.empty()) {
    // "-N": the last N bytes.
    std::optional<std::uint64_t> suffix = Number(lastText);
    if (!suffix) return whole;
    if (*suffix == 0 || fileSize == 0) return {ByteRange::Kind::Unsatisfiable, 0, 0};
    range.length = *suffix < fileSize ? *suffix : fileSize;
    range.first = fileSize - range.length;
    return range;
  }
  std::optional<std::uint64_t> first = Number(firstText);
  if (!first) return whole;
  std::uint64_t last = fileSize == 0 ? 0 : fileSize - 1;
  if (!lastText.empty()) {
    std::optional<std::uint64_t> given = Number(lastText);
    if (!given || *given < *first) return whole;
    if (*given < last) last = *given;
  }
  if (*first >= fileSize) return {ByteRange::Kind::Unsatisfiable, 0, 0};
  range.first = *first;
  range.length = last - *first + 1;
  return range;
}

}  // namespace kv::mirror
