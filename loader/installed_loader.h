#pragma once

#include <optional>
#include <string>

#include "loader/loader_kind.h"
#include "meta/version_description.h"

// Which loader a version is made with, as its description shows it, for the player to see.
namespace kv {

struct InstalledLoader {
  LoaderKind kind;
  std::string version;  // the loader's own version ("0.16.10", "47.2.0", "21.1.172")

  bool operator==(const InstalledLoader&) const = default;
};

// The loader of a description by what it carries: NeoForge's and Forge's launch arguments
// ("--fml.neoForgeVersion", "--fml.forgeVersion", the group "net.neoforged" naming NeoForge's
// first builds), or the loader's library: Forge's "net.minecraftforge:forge:<game>-<version>",
// Fabric's "net.fabricmc:fabric-loader", Quilt's "org.quiltmc:quilt-loader". Nothing for a
// version without one.
std::optional<InstalledLoader> LoaderOf(const VersionDescription& description);

// LoaderOf the description of `versionId` in the game folder (that file alone, without the
// version it extends); nothing when it cannot be read.
std::optional<InstalledLoader> LoaderOfVersion(const std::string& gamePath, const std::string& versionId);

// "Fabric 0.16.10"
std::string DescribeLoader(const InstalledLoader& loader);

}  // namespace kv
