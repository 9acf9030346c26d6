#include "meta/version_loader.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(LoaderInVersionId, NamesTheLoaderOfTheIdsInstallersMake) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.20.1-forge-47.1.0", "Forge"},
      {"1.7.10-Forge10.13.2.1291", "Forge"},
      {"1.12.2-forge1.12.2-14.23.5.2860", "Forge"},
      {"demo-1.0-Forge1.0", "Forge"},
      {"neoforge-20.4.80", "NeoForge"},
      {"1.20.1-NeoForge-47.1.79", "NeoForge"},
      {"fabric-loader-0.14.21-1.20.1", "Fabric"},
      {"quilt-loader-0.19.1-1.20.1", "Quilt"},
      {"1.12.2-OptiFine_HD_U_G5", "OptiFine"},
      {"1.12.2-LiteLoader1.12.2", "LiteLoader"},
      {"1.12.2-forge-14.23.5.2860-OptiFine_HD_U_G5", "Forge"},
  };
  for (const auto& [id, loader] : cases) EXPECT_EQ(LoaderInVersionId(id), loader) << id;
}

TEST(LoaderInVersionId, PlainVersionsAndWordsInsideOtherWordsNameNone) {
  for (const char* id :
       {"1.20.1", "26.2-pre-2", "b1.7.3", "rd-132211", "", "blacksmithforge-1.0", "1.20-prefabricated"}) {
    EXPECT_EQ(LoaderInVersionId(id), "") << id;
  }
}

}  // namespace
}  // namespace kv
