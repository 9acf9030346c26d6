#include "loader/installed_loader.h"

#include "game/game_files.h"
#include "game/library_paths.h"

namespace kv {
namespace {

// The word after `option` among the game's arguments; empty when it is not there.
std::string ArgumentAfter(const VersionDescription& description, std::string_view option) {
  if (!description.gameArguments) return {};
  bool next = false;
  for (const ArgumentEntry& argument : *description.gameArguments) {
    for (const std::string& value : argument.values) {
      if (next) return value;
      next = value == option;
    }
  }
  return {};
}

}  // namespace

std::optional<InstalledLoader> LoaderOf(const VersionDescription& description) {
  if (std::string version = ArgumentAfter(description, "--fml.neoForgeVersion"); !version.empty()) {
    return InstalledLoader{LoaderKind::NeoForge, std::move(version)};
  }
  if (std::string version = ArgumentAfter(description, "--fml.forgeVersion"); !version.empty()) {
    const bool neoForge = ArgumentAfter(description, "--fml.forgeGroup") == "net.neoforged";
    return InstalledLoader{neoForge ? LoaderKind::NeoForge : LoaderKind::Forge, std::move(version)};
  }
  for (const LibraryEntry& library : description.libraries) {
    const LibraryCoordinate coordinate = SplitLibraryCoordinate(library.name);
    // The version without a classifier that may follow it.
    const std::string version = coordinate.version.substr(0, coordinate.version.find(':'));
    if (coordinate.group == "net/minecraftforge" && coordinate.artifact == "forge") {
      // "<game>-<forge>"
      const std::size_t dash = version.find('-');
      return InstalledLoader{LoaderKind::Forge, dash == std::string::npos ? version : version.substr(dash + 1)};
    }
    if (coordinate.group == "net/fabricmc" && coordinate.artifact == "fabric-loader") {
      return InstalledLoader{LoaderKind::Fabric, version};
    }
    if (coordinate.group == "org/quiltmc" && coordinate.artifact == "quilt-loader") {
      return InstalledLoader{LoaderKind::Quilt, version};
    }
  }
  return std::nullopt;
}

std::optional<InstalledLoader> LoaderOfVersion(const std::string& gamePath, const std::string& versionId) {
  VersionDescription description;
  if (!ReadVersionDescription(gamePath, versionId, description)) return std::nullopt;
  return LoaderOf(description);
}

std::string DescribeLoader(const InstalledLoader& loader) {
  return std::string(LoaderDisplayName(loader.kind)) + " " + loader.version;
}

}  // namespace kv
