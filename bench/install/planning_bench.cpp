// Preparing a version whose files are all present: reading the description and the asset
// index (the largest one shipped, 686 objects) and planning, which finds nothing to fetch.
// The plan's cost is one existence check per file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "meta/asset_index.h"

namespace kv {
namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(KORVANE_FIXTURES) + "/versions/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A game folder holding the 1.7.10 description, its asset index and every file they name.
class CompleteGameFolder {
 public:
  CompleteGameFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-bench-XXXXXX").string();
    path_ = std::string(::mkdtemp(pattern.data())) + "/";
    Write(VersionJsonPath(path_, "1.7.10"), Fixture("version-1.7.10.json"));
    Write(AssetIndexPath(path_, "1.7.10"), Fixture("assets-1.7.10.json"));
    VersionDescription description;
    AssetIndex assets;
    ReadVersionDescription(path_, "1.7.10", description);
    ReadAssetIndex(path_, "1.7.10", assets);
    for (const DownloadItem& item :
         PlanDownloads(path_, description, assets, UsesLegacyAssets("1.7.10"), PlatformProfile::Host(), 64, "http://mirror")) {
      Write(item.path, "x");
    }
  }
  ~CompleteGameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  static void Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string path_;
};

void BM_PrepareVersionWithEverythingPresent(benchmark::State& state) {
  CompleteGameFolder game;
  for (auto _ : state) {
    VersionDescription description;
    AssetIndex assets;
    bool read = ReadVersionDescription(game.Path(), "1.7.10", description) &&
                ReadAssetIndex(game.Path(), description.assets, assets);
    std::vector<DownloadItem> plan =
        PlanDownloads(game.Path(), description, assets, UsesLegacyAssets("1.7.10"), PlatformProfile::Host(), 64, "http://mirror");
    if (!read || !plan.empty()) state.SkipWithError("the folder is not complete");
    benchmark::DoNotOptimize(plan);
  }
}
BENCHMARK(BM_PrepareVersionWithEverythingPresent)->Unit(benchmark::kMillisecond);

void BM_PlanWithEverythingPresent(benchmark::State& state) {
  CompleteGameFolder game;
  VersionDescription description;
  AssetIndex assets;
  ReadVersionDescription(game.Path(), "1.7.10", description);
  ReadAssetIndex(game.Path(), description.assets, assets);
  for (auto _ : state) {
    std::vector<DownloadItem> plan =
        PlanDownloads(game.Path(), description, assets, UsesLegacyAssets("1.7.10"), PlatformProfile::Host(), 64, "http://mirror");
    if (!plan.empty()) state.SkipWithError("the folder is not complete");
    benchmark::DoNotOptimize(plan);
  }
}
BENCHMARK(BM_PlanWithEverythingPresent)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
