#pragma once

#include <string>
#include <string_view>

// The mod loader a version id names, as the loaders' installers and the launchers that follow
// them call the versions they make: "1.20.1-forge-47.1.0", "1.7.10-Forge10.13.2.1291",
// "neoforge-20.4.80", "fabric-loader-0.14.21-1.20.1", "quilt-loader-0.19.1-1.20.1",
// "1.12.2-OptiFine_HD_U_G5", "1.12.2-LiteLoader1.12.2".
namespace kv {

// The loader's usual name ("Forge", "NeoForge", "Fabric", "Quilt", "OptiFine", "LiteLoader"),
// or empty when the id names none. A loader's word counts where it begins the id or follows
// a character that is neither a letter nor a digit, in any letter case.
std::string LoaderInVersionId(std::string_view versionId);

}  // namespace kv
