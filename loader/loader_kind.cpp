#include "loader/loader_kind.h"

#include "util/ascii_text.h"

namespace kv {

std::string_view LoaderKindName(LoaderKind kind) {
  switch (kind) {
    case LoaderKind::Fabric: return "fabric";
    case LoaderKind::Quilt: return "quilt";
    case LoaderKind::Forge: return "forge";
    case LoaderKind::NeoForge: return "neoforge";
  }
  return {};
}

std::string_view LoaderDisplayName(LoaderKind kind) {
  switch (kind) {
    case LoaderKind::Fabric: return "Fabric";
    case LoaderKind::Quilt: return "Quilt";
    case LoaderKind::Forge: return "Forge";
    case LoaderKind::NeoForge: return "NeoForge";
  }
  return {};
}

std::optional<LoaderKind> ParseLoaderKind(std::string_view name) {
  for (LoaderKind kind : kLoaderKinds) {
    const std::string_view known = LoaderKindName(kind);
    if (EqualsNoCase(name, known)) return kind;
  }
  return std::nullopt;
}

}  // namespace kv
