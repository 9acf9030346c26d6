#include "net/sha1.h"

#include <openssl/evp.h>

#include <cstdio>
#include <vector>

namespace kv {

struct Sha1::Context {
  EVP_MD_CTX* md = EVP_MD_CTX_new();
  ~Context() { EVP_MD_CTX_free(md); }
};

Sha1::Sha1() : context_(std::make_unique<Context>()) { Reset(); }

Sha1::~Sha1() = default;

void Sha1::Reset() { EVP_DigestInit_ex(context_->md, EVP_sha1(), nullptr); }

void Sha1::Update(const char* data, std::size_t size) { EVP_DigestUpdate(context_->md, data, size); }

std::string Sha1::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_->md, digest, &length);
  Reset();
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

std::optional<std::string> Sha1OfFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  Sha1 sha1;
  std::vector<char> buffer(256 * 1024);
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) sha1.Update(buffer.data(), read);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return sha1.HexDigest();
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
