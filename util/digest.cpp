#include "util/digest.h"

#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <vector>

namespace kv {
namespace {

const EVP_MD* Algorithm(DigestKind kind) {
  switch (kind) {
    case DigestKind::Md5:
      return EVP_md5();
    case DigestKind::Sha1:
      return EVP_sha1();
    case DigestKind::Sha256:
      return EVP_sha256();
    case DigestKind::Sha512:
      return EVP_sha512();
  }
  return EVP_sha256();
}

}  // namespace

struct Digest::Context {
  explicit Context(DigestKind digestKind) : kind(digestKind) {}
  ~Context() { EVP_MD_CTX_free(md); }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  DigestKind kind;
  EVP_MD_CTX* md = EVP_MD_CTX_new();
};

Digest::Digest(DigestKind kind) : context_(std::make_unique<Context>(kind)) { Reset(); }

Digest::~Digest() = default;

void Digest::Reset() { EVP_DigestInit_ex(context_->md, Algorithm(context_->kind), nullptr); }

void Digest::Update(const char* data, std::size_t size) { EVP_DigestUpdate(context_->md, data, size); }

std::string Digest::HexDigest() {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_->md, digest.data(), &length);
  Reset();
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0xF];
  }
  return hex;
}

std::string HexDigestOf(DigestKind kind, std::string_view bytes) {
  Digest digest(kind);
  digest.Update(bytes.data(), bytes.size());
  return digest.HexDigest();
}

std::optional<std::string> HexDigestOfFile(DigestKind kind, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  Digest digest(kind);
  std::vector<char> buffer(256 * 1024);
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) digest.Update(buffer.data(), read);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return digest.HexDigest();
}

bool SameDigest(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace kv
