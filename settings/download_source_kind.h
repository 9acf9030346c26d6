#pragma once

#include <optional>
#include <string_view>

// The download sources a player can name in the DownloadSource setting.
namespace kv {

enum class SourceKind { Official, ChinaMirror, Mirror };

// "official", "bmclapi", "mirror"; nothing for any other text.
std::optional<SourceKind> ParseSourceKind(std::string_view name);

// The name ParseSourceKind reads as `kind`.
std::string_view SourceKindName(SourceKind kind);

}  // namespace kv
