#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/qrx/catalogue_index.h"

// What a mod jar says about itself, from the metadata of its loader: "mcmod.info" of older
// Forge mods (a list, or an object with "modList"), "META-INF/mods.toml" of newer Forge and
// NeoForge mods ("META-INF/neoforge.mods.toml" of newer NeoForge ones), "fabric.mod.json" of
// Fabric mods. A jar with several mods is described by the first.
namespace kv::catalogue {

struct JarMod {
  qrx::CatalogueEntry entry;  // everything but the files and the icon's place
  std::string iconBytes;      // empty when the jar has no readable icon
  std::string iconExtension;  // "png", "jpg", ...
};

// Nothing, with the reason in `error`, for a jar that cannot be read or has no metadata of a
// known loader. Doubtful details (a version the catalogue cannot match, a missing icon) are
// described in `warnings`.
std::optional<JarMod> ReadJarMod(const std::string& jarPath, std::string& error, std::vector<std::string>& warnings);

}  // namespace kv::catalogue
