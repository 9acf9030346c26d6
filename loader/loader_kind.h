#pragma once

#include <array>
#include <optional>
#include <string_view>

// The mod loaders the launcher installs beside a game version.
namespace kv {

enum class LoaderKind { Fabric, Quilt, Forge, NeoForge };

// In the order the launcher offers them.
inline constexpr std::array<LoaderKind, 4> kLoaderKinds{LoaderKind::Fabric, LoaderKind::Quilt, LoaderKind::Forge,
                                                        LoaderKind::NeoForge};

// The name as it is typed on a command line: "fabric", "quilt", "forge", "neoforge".
std::string_view LoaderKindName(LoaderKind kind);
// The publisher's own spelling, for players: "Fabric", "Quilt", "Forge", "NeoForge".
std::string_view LoaderDisplayName(LoaderKind kind);
// The kind a typed name stands for, whatever the case of its letters.
std::optional<LoaderKind> ParseLoaderKind(std::string_view name);

}  // namespace kv
