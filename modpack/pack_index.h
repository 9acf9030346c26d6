#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/loader_kind.h"
#include "util/result.h"

// The description inside a Modrinth pack (.mrpack): which game version and loader the pack
// plays on and which files it fetches into the instance. Everything in it comes from whoever
// made the pack, so nothing is taken that could lead outside the instance's folder.
namespace kv {

// The name of the description inside the pack's archive.
inline constexpr const char* kPackIndexName = "modrinth.index.json";

// Whether the player's side of the game needs a file.
enum class ClientUse { Required, Optional, Unsupported };

struct PackFile {
  std::string path;  // inside the instance, '/' separated, checked by IsSafePackPath
  std::string sha1;  // 40 hex digits, or empty when the pack gives none
  std::string sha512;  // 128 hex digits
  std::int64_t size = 0;
  std::vector<std::string> urls;  // in the pack's order
  ClientUse client = ClientUse::Required;
};

struct PackLoader {
  LoaderKind kind = LoaderKind::Fabric;
  std::string version;
};

struct PackIndex {
  std::string name;
  std::string versionId;
  std::string gameVersion;
  std::optional<PackLoader> loader;  // none: the pack plays on the game alone
  std::vector<PackFile> files;
};

// A path that may be written below the instance's folder: relative, '/' separated, without
// "." or ".." segments, drive letters, backslashes or control characters.
bool IsSafePackPath(std::string_view path);

// Reads the description: format 1 for the game "minecraft", one game version, at most one
// loader, every file with a safe path, a SHA-512, a size and at least one address. Invalid,
// naming what is wrong, otherwise; Unsupported for a format, game or dependency this launcher
// does not know.
Result<PackIndex> ReadPackIndex(std::string_view text);

}  // namespace kv
