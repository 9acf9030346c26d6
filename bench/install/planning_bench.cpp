// Preparing a version whose files are all present: reading the description and the asset
// index and planning, which finds nothing to fetch. The plan's cost is one status query per
// file. Two versions: 1.7.10 in the mirror layout (686 objects, existence only) and 1.19.4 from
// the official source with the index "1.19" (3390 objects, sizes compared). Then --verify,
// which hashes every file whose checksum is known.
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

void Write(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

struct BenchVersion {
  const char* id;
  const char* description;  // below the fixtures' versions folder
  const char* index;
  const char* indexId;
  SourceKind source;
};

constexpr BenchVersion kLegacy{"1.7.10", "version-1.7.10.json", "assets-1.7.10.json", "1.7.10", SourceKind::Mirror};
constexpr BenchVersion kModern{"1.19.4", "modern/1.19.4.json", "modern/assets-1.19.json", "3", SourceKind::Official};

DownloadSource SourceOf(const BenchVersion& version) {
  return DownloadSource(version.source, "", "http://china.mirror", "http://mirror");
}

PlanOptions Options(bool verify = false) {
  return {.profile = PlatformProfile::Host(), .bitness = 64, .osVersion = "6.1", .verify = verify};
}

// A game folder holding a version's description, its asset index and every file they name,
// each file as long as described. The planned checksums are not the files': --verify then
// hashes every one of them and plans them all again.
class CompleteGameFolder {
 public:
  explicit CompleteGameFolder(const BenchVersion& version) : version_(version) {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-bench-XXXXXX").string();
    path_ = std::string(::mkdtemp(pattern.data())) + "/";
    Write(VersionJsonPath(path_, version.id), Fixture(version.description));
    Write(AssetIndexPath(path_, version.indexId), Fixture(version.index));
    VersionDescription description;
    AssetIndex assets;
    ReadVersionDescription(path_, version.id, description);
    ReadAssetIndex(path_, version.indexId, assets);
    for (const DownloadItem& item : PlanDownloads(path_, description, assets, SourceOf(version), Options())) {
      Write(item.path, std::string(static_cast<std::size_t>(item.size >= 0 ? item.size : 1), 'x'));
      bytes_ += item.size >= 0 ? item.size : 1;
    }
  }
  ~CompleteGameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::int64_t Bytes() const { return bytes_; }

  bool Read(VersionDescription& description, AssetIndex& assets) const {
    return ReadVersionDescription(path_, version_.id, description) && ReadAssetIndex(path_, description.assets, assets);
  }

 private:
  const BenchVersion& version_;
  std::string path_;
  std::int64_t bytes_ = 0;
};

void PrepareWithEverythingPresent(benchmark::State& state, const BenchVersion& version) {
  CompleteGameFolder game(version);
  for (auto _ : state) {
    VersionDescription description;
    AssetIndex assets;
    const bool read = game.Read(description, assets);
    std::vector<DownloadItem> plan = PlanDownloads(game.Path(), description, assets, SourceOf(version), Options());
    if (!read || !plan.empty()) state.SkipWithError("the folder is not complete");
    benchmark::DoNotOptimize(plan);
  }
}

void PlanWithEverythingPresent(benchmark::State& state, const BenchVersion& version) {
  CompleteGameFolder game(version);
  VersionDescription description;
  AssetIndex assets;
  game.Read(description, assets);
  state.counters["objects"] = static_cast<double>(assets.objects.size());
  for (auto _ : state) {
    std::vector<DownloadItem> plan = PlanDownloads(game.Path(), description, assets, SourceOf(version), Options());
    if (!plan.empty()) state.SkipWithError("the folder is not complete");
    benchmark::DoNotOptimize(plan);
  }
}

void BM_PrepareLegacyVersionWithEverythingPresent(benchmark::State& state) { PrepareWithEverythingPresent(state, kLegacy); }
BENCHMARK(BM_PrepareLegacyVersionWithEverythingPresent)->Unit(benchmark::kMillisecond);

void BM_PlanLegacyVersionWithEverythingPresent(benchmark::State& state) { PlanWithEverythingPresent(state, kLegacy); }
BENCHMARK(BM_PlanLegacyVersionWithEverythingPresent)->Unit(benchmark::kMillisecond);

void BM_PrepareModernVersionWithEverythingPresent(benchmark::State& state) { PrepareWithEverythingPresent(state, kModern); }
BENCHMARK(BM_PrepareModernVersionWithEverythingPresent)->Unit(benchmark::kMillisecond);

void BM_PlanModernVersionWithEverythingPresent(benchmark::State& state) { PlanWithEverythingPresent(state, kModern); }
BENCHMARK(BM_PlanModernVersionWithEverythingPresent)->Unit(benchmark::kMillisecond);

// Every present file hashed (the files are in the page cache after the first round): the
// figure is the hashing speed in bytes a second.
void BM_VerifyModernVersion(benchmark::State& state) {
  CompleteGameFolder game(kModern);
  VersionDescription description;
  AssetIndex assets;
  game.Read(description, assets);
  for (auto _ : state) {
    std::vector<DownloadItem> plan =
        PlanDownloads(game.Path(), description, assets, SourceOf(kModern), Options(/*verify=*/true));
    if (plan.empty()) state.SkipWithError("nothing was hashed");
    benchmark::DoNotOptimize(plan);
  }
  state.SetBytesProcessed(state.iterations() * game.Bytes());
}
BENCHMARK(BM_VerifyModernVersion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace kv
