#include "auth/server_link.h"

#include <algorithm>

#include "net/url_encoding.h"
#include "util/text.h"

namespace kv {
namespace {

constexpr std::string_view kPrefix = "authlib-injector:yggdrasil-server:";

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

}  // namespace

std::optional<std::string> AccountServerFromLink(std::string_view text) {
  text = Trimmed(text);
  if (text.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  std::optional<std::string> address = PercentDecode(text.substr(kPrefix.size()));
  if (!address || !IsValidUtf8(*address)) return std::nullopt;
  const bool control = std::any_of(address->begin(), address->end(), [](char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 || byte == 0x7F;
  });
  if (control || !IsWebAddress(*address)) return std::nullopt;
  return address;
}

}  // namespace kv
