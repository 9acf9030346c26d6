#include "settings/download_source_kind.h"

namespace kv {

std::optional<SourceKind> ParseSourceKind(std::string_view name) {
  if (name == "official") return SourceKind::Official;
  if (name == "bmclapi") return SourceKind::ChinaMirror;
  if (name == "mirror") return SourceKind::Mirror;
  return std::nullopt;
}

std::string_view SourceKindName(SourceKind kind) {
  switch (kind) {
    case SourceKind::Official: return "official";
    case SourceKind::ChinaMirror: return "bmclapi";
    case SourceKind::Mirror: return "mirror";
  }
  return "official";
}

}  // namespace kv
