#include "util/md5.h"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <memory>

namespace kv {
namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

DigestContext NewContext(const EVP_MD* algorithm) {
  DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (context && EVP_DigestInit_ex(context.get(), algorithm, nullptr) != 1) context.reset();
  return context;
}

std::optional<std::string> HexDigest(EVP_MD_CTX* context) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context, digest.data(), &length) != 1) return std::nullopt;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0xF];
  }
  return hex;
}

std::optional<std::string> HexDigestOfFile(const std::string& path, const EVP_MD* algorithm) {
  std::ifstream in(path, std::ios::binary);
  DigestContext context = NewContext(algorithm);
  if (!in || !context) return std::nullopt;
  std::array<char, 64 * 1024> buffer{};
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got > 0 && EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) != 1) {
      return std::nullopt;
    }
  }
  if (in.bad()) return std::nullopt;
  return HexDigest(context.get());
}

}  // namespace

std::string Md5Hex(std::string_view bytes) {
  DigestContext context = NewContext(EVP_md5());
  if (!context || EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1) return {};
  return HexDigest(context.get()).value_or(std::string());
}

std::optional<std::string> Md5HexOfFile(const std::string& path) { return HexDigestOfFile(path, EVP_md5()); }

std::optional<std::string> Sha256HexOfFile(const std::string& path) { return HexDigestOfFile(path, EVP_sha256()); }

}  // namespace kv
