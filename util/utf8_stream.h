#pragma once

#include <string>
#include <string_view>

namespace kv {

// Decodes a byte stream that arrives in arbitrary chunks as UTF-8: a character split between
// two chunks is carried over and completed by the next one, and bytes that are not UTF-8
// become U+FFFD. Everything returned is valid UTF-8.
class Utf8StreamDecoder {
 public:
  std::string Feed(std::string_view bytes);
  // The end of the stream: an incomplete character left over becomes U+FFFD.
  std::string Finish();

 private:
  std::string pending_;
};

}  // namespace kv
