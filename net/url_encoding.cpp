#include "net/url_encoding.h"

#include <curl/curl.h>

#include <memory>

namespace kv {
namespace {

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using Url = std::unique_ptr<CURLU, UrlDeleter>;

// One part of a parsed address, empty when it has none.
std::string Part(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return {};
  std::string value(text);
  curl_free(text);
  return value;
}

// Only addresses that name their scheme count: "example.com" is no address to send a password to.
Url Parse(const std::string& address) {
  Url url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK) return nullptr;
  return url;
}

// The scheme of a whole address with a host, in lower case; empty for anything else.
std::string WebScheme(const std::string& address) {
  Url url = Parse(address);
  if (!url || Part(url.get(), CURLUPART_HOST).empty()) return {};
  return Part(url.get(), CURLUPART_SCHEME);
}

}  // namespace

std::string PercentEncode(std::string_view text, std::string_view keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    const bool unreserved = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                            ch == '-' || ch == '.' || ch == '_' || ch == '~';
    if (unreserved || keep.find(ch) != std::string_view::npos) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

bool IsWebAddress(const std::string& address) {
  const std::string scheme = WebScheme(address);
  return scheme == "http" || scheme == "https";
}

bool IsHttpsAddress(const std::string& address) { return WebScheme(address) == "https"; }

std::optional<std::string> ResolveAddress(const std::string& base, const std::string& reference) {
  Url url = Parse(base);
  if (!url || curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK) return std::nullopt;
  std::string resolved = Part(url.get(), CURLUPART_URL);
  if (resolved.empty()) return std::nullopt;
  return resolved;
}

std::string WithoutTrailingSlash(std::string address) {
  while (!address.empty() && address.back() == '/') address.pop_back();
  return address;
}

}  // namespace kv
