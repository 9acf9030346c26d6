#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// SHA-1 of downloaded files, to tell a file from a damaged or substituted one.
namespace kv {

// A digest fed piece by piece (as a download arrives).
class Sha1 {
 public:
  Sha1();
  ~Sha1();
  Sha1(const Sha1&) = delete;
  Sha1& operator=(const Sha1&) = delete;

  void Update(const char* data, std::size_t size);
  // The digest of everything fed since the start or the last Reset, as 40 lowercase hex
  // digits; starts over afterwards.
  std::string HexDigest();
  void Reset();

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

// The SHA-1 of a whole file, read in blocks; nothing when it cannot be read.
std::optional<std::string> Sha1OfFile(const std::string& path);

// Whether two hex digests are the same, whatever the case of their letters.
bool SameDigest(std::string_view a, std::string_view b);

}  // namespace kv
