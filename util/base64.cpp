#include "util/base64.h"

#include <openssl/evp.h>

#include <array>

#include "util/text.h"

namespace kv {
namespace {

constexpr std::array<unsigned char, 256> MakeDecodeTable() {
  std::array<unsigned char, 256> table{};
  for (std::size_t i = 0; i < kSettingsBase64Alphabet.size(); ++i) {
    table[static_cast<unsigned char>(kSettingsBase64Alphabet[i])] = static_cast<unsigned char>(i);
  }
  return table;
}

constexpr auto kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  const auto& a = kSettingsBase64Alphabet;
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  for (; i + 3 <= bytes.size(); i += 3) {
    unsigned b0 = at(i), b1 = at(i + 1), b2 = at(i + 2);
    out += a[b0 >> 2];
    out += a[((b0 & 3) << 4) | (b1 >> 4)];
    out += a[((b1 & 15) << 2) | (b2 >> 6)];
    out += a[b2 & 63];
  }
  std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    unsigned b0 = at(i);
    out += a[b0 >> 2];
    out += a[(b0 & 3) << 4];
  } else if (rest == 2) {
    unsigned b0 = at(i), b1 = at(i + 1);
    out += a[b0 >> 2];
    out += a[((b0 & 3) << 4) | (b1 >> 4)];
    out += a[(b1 & 15) << 2];
  }
  return out;
}

std::string Base64Decode(std::string_view chars) {
  std::string out;
  out.reserve(chars.size() / 4 * 3 + 2);
  auto k = [&](std::size_t i) { return static_cast<unsigned>(kDecode[static_cast<unsigned char>(chars[i])]); };
  std::size_t i = 0;
  for (; i + 4 <= chars.size(); i += 4) {
    unsigned k0 = k(i), k1 = k(i + 1), k2 = k(i + 2), k3 = k(i + 3);
    out += static_cast<char>(((k0 << 2) + (k1 >> 4)) & 0xFF);
    out += static_cast<char>(((k1 << 4) + (k2 >> 2)) & 0xFF);
    out += static_cast<char>(((k2 << 6) + k3) & 0xFF);
  }
  std::size_t rest = chars.size() - i;
  if (rest >= 2) {
    unsigned k0 = k(i), k1 = k(i + 1);
    out += static_cast<char>(((k0 << 2) + (k1 >> 4)) & 0xFF);
    if (rest == 3) {
      unsigned k2 = k(i + 2);
      out += static_cast<char>(((k1 << 4) + (k2 >> 2)) & 0xFF);
    }
  }
  return out;
}

std::string StandardBase64Encode(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3), '\0');
  // OpenSSL encodes at most an int's worth at once; nothing the launcher encodes comes near.
  const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                      reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

std::string EncodeSettingsText(std::string_view text) {
  std::string bytes = ToNarrow(text, kCodePageThreadAnsi);
  // The Windows build copies the bytes as a C string: a NUL ends the text. Nothing else is
  // cut, so that an account token of any length survives.
  bytes = bytes.substr(0, bytes.find('\0'));
  return Base64Encode(bytes);
}

std::string DecodeSettingsText(std::string_view stored) {
  std::string bytes = Base64Decode(stored);
  bytes = bytes.substr(0, bytes.find('\0'));
  return ToWide(bytes, kCodePageThreadAnsi);
}

}  // namespace kv
