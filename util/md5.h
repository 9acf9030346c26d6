#pragma once

#include <optional>
#include <string>
#include <string_view>

// Digests as lower-case hexadecimal digits: MD5 (32 digits), the form mod catalogues publish
// them in, and SHA-256 (64 digits), the form release indexes publish them in.
namespace kv {

std::string Md5Hex(std::string_view bytes);

// The digest of a whole file, read in pieces; nothing when it cannot be read.
std::optional<std::string> Md5HexOfFile(const std::string& path);
std::optional<std::string> Sha256HexOfFile(const std::string& path);

}  // namespace kv
