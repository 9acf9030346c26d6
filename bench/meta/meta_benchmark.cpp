#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "meta/version_manifest.h"

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(KORVANE_FIXTURES) + "/versions/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The largest shipped asset index: 686 objects.
void ParseAssetIndex(benchmark::State& state) {
  const std::string text = Fixture("assets-1.7.10.json");
  kv::AssetIndex index;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kv::ParseAssetIndex(text, index));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["objects"] = static_cast<double>(index.objects.size());
}
BENCHMARK(ParseAssetIndex);

void ParseVersionDescription(benchmark::State& state) {
  const std::string text = Fixture("version-1.12.2.json");
  kv::VersionDescription description;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kv::ParseVersionDescription(text, description));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseVersionDescription);

void ParseVersionManifest(benchmark::State& state) {
  const std::string text = Fixture("version_manifest.json");
  kv::VersionManifest manifest;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kv::ParseVersionManifest(text, manifest));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseVersionManifest);

}  // namespace
