#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The static mod catalogue: "index.json" in the catalogue's folder (served at ".../allmod/"),
// with the jars and icons it names at addresses relative to that folder. korvane-catalogue
// writes it, qrx reads it; docs/mod-catalogue.md describes every field.
namespace kv::qrx {

inline constexpr int kCatalogueFormat = 1;
inline constexpr const char* kCatalogueIndexName = "index.json";
// The most an index may hold: many times a catalogue of 100,000 mods.
inline constexpr std::uint64_t kCatalogueIndexLimit = std::uint64_t{512} << 20;

enum class ModLoader { Forge, NeoForge, Fabric };

// "forge", "neoforge", "fabric"; nothing for other names.
std::optional<ModLoader> LoaderFromName(std::string_view name);
std::string LoaderName(ModLoader loader);
// As players know them: "Forge", "NeoForge", "Fabric".
std::string LoaderTitle(ModLoader loader);

// The game versions a mod declares, in the syntax of its own metadata.
struct GameVersions {
  enum class Syntax {
    None,        // declares nothing: offered for no version
    Exact,       // mcmod.info's mcversion: exactly these versions
    MavenRange,  // mods.toml's minecraft dependency: one Maven version range
    Fabric,      // fabric.mod.json's minecraft predicates (any one of them); kept for Fabric
  };
  Syntax syntax = Syntax::None;
  std::vector<std::string> values;
};

// A file of the catalogue: where it lies relative to the catalogue's folder, its digest and
// length, and for a mod's files the name it gets in the instance's mods folder.
struct CatalogueFile {
  std::string path;
  std::string name;
  std::string md5;  // 32 lower-case hexadecimal digits
  std::uint64_t size = 0;
};

struct CatalogueEntry {
  std::string id;
  std::string name;
  std::string version;
  std::vector<std::string> authors;
  std::string description;
  ModLoader loader = ModLoader::Forge;
  GameVersions gameVersions;
  std::optional<CatalogueFile> icon;
  std::vector<CatalogueFile> files;
};

// Reads an index. Nothing, with the reason in `error`, when the text is not JSON, not an
// object of this format, or its "mods" is not an array; an element that is not an object, or
// misses its id, loader or files, is left out with a line in `warnings`. Entries are read as
// they stand: EntryProblem judges whether their names and addresses may be used.
std::optional<std::vector<CatalogueEntry>> ReadCatalogueIndex(std::string_view text, std::string& error,
                                                              std::vector<std::string>& warnings);

std::string WriteCatalogueIndex(const std::vector<CatalogueEntry>& entries);

// Why an entry must not be used, or empty when it may: an id with control characters, a
// mod's file name that is not a plain file name (a path, "..", a name two files share), an
// address that is absolute or climbs out of the catalogue's folder, a digest that is not 32
// hexadecimal digits, a size of 0 or beyond the limits (1 GiB a file, 4 MiB an icon).
std::string EntryProblem(const CatalogueEntry& entry);

// True for an address relative to the catalogue's folder that stays inside it: segments
// separated by "/", none empty, "." or "..", no "\", no control characters, no "?" or "#", no
// scheme.
bool IsCataloguePath(std::string_view path);

// `base` (ending in "/" or not) joined with a catalogue path, each of its segments
// percent-encoded.
std::string CatalogueAddress(std::string_view base, std::string_view path);

}  // namespace kv::qrx
