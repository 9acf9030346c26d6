#include "meta/version_loader.h"

#include <cctype>

#include "util/text.h"

namespace kv {
namespace {

struct LoaderWord {
  std::string_view word;  // upper case
  const char* name;
};

// In this order: an id may name two (Forge with OptiFine), and the loader comes first.
constexpr LoaderWord kLoaderWords[] = {
    {"NEOFORGE", "NeoForge"}, {"FORGE", "Forge"},       {"FABRIC", "Fabric"},
    {"QUILT", "Quilt"},       {"OPTIFINE", "OptiFine"}, {"LITELOADER", "LiteLoader"},
};

bool StartsWordAt(std::string_view id, std::size_t position) {
  return position == 0 || !std::isalnum(static_cast<unsigned char>(id[position - 1]));
}

}  // namespace

std::string LoaderInVersionId(std::string_view versionId) {
  const std::string id = ToUpperCase(versionId);
  for (const LoaderWord& loader : kLoaderWords) {
    for (std::size_t at = id.find(loader.word); at != std::string::npos; at = id.find(loader.word, at + 1)) {
      if (StartsWordAt(id, at)) return loader.name;
    }
  }
  return {};
}

}  // namespace kv
