#pragma once

#include <optional>
#include <string>
#include <string_view>

// MD5 digests as 32 lower-case hexadecimal digits, the form mod catalogues publish them in.
namespace kv {

std::string Md5Hex(std::string_view bytes);

// The digest of a whole file, read in pieces; nothing when it cannot be read.
std::optional<std::string> Md5HexOfFile(const std::string& path);

}  // namespace kv
