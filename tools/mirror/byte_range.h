#pragma once

#include <cstdint>
#include <string_view>

// A "Range" request header against a file of known size. Only one range of bytes is served;
// anything else (several ranges, other units, text that is not a range) is answered with the
// whole file, as HTTP allows.
namespace kv::mirror {

struct ByteRange {
  enum class Kind { Whole, Part, Unsatisfiable };
  Kind kind = Kind::Whole;
  std::uint64_t first = 0;   // for Part: the first byte served
  std::uint64_t length = 0;  // for Part: how many bytes, at least 1
};

ByteRange ParseByteRange(std::string_view header, std::uint64_t fileSize);

}  // namespace kv::mirror
