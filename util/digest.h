#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Digests as lower-case hexadecimal digits, computed by OpenSSL: MD5 (32 digits), the form mod
// catalogues publish them in; SHA-1 (40), the game's published files, to tell a download from a
// damaged or substituted one; SHA-256 (64), the form release indexes publish them in; SHA-512
// (128), what modpacks give for each of their files.
namespace kv {

enum class DigestKind { Md5, Sha1, Sha256, Sha512 };

// A digest fed piece by piece (as a download arrives).
class Digest {
 public:
  explicit Digest(DigestKind kind);
  ~Digest();
  Digest(const Digest&) = delete;
  Digest& operator=(const Digest&) = delete;

  void Update(const char* data, std::size_t size);
  // The digest of everything fed since the start or the last Reset; starts over afterwards.
  std::string HexDigest();
  void Reset();

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

std::string HexDigestOf(DigestKind kind, std::string_view bytes);
// The digest of a whole file, read in pieces; nothing when it cannot be read.
std::optional<std::string> HexDigestOfFile(DigestKind kind, const std::string& path);

inline std::string Md5Hex(std::string_view bytes) { return HexDigestOf(DigestKind::Md5, bytes); }
inline std::optional<std::string> Md5HexOfFile(const std::string& path) {
  return HexDigestOfFile(DigestKind::Md5, path);
}
inline std::optional<std::string> Sha1OfFile(const std::string& path) { return HexDigestOfFile(DigestKind::Sha1, path); }
inline std::optional<std::string> Sha256HexOfFile(const std::string& path) {
  return HexDigestOfFile(DigestKind::Sha256, path);
}

// Whether two hex digests are the same, whatever the case of their letters.
bool SameDigest(std::string_view a, std::string_view b);

}  // namespace kv
