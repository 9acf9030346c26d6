// Importing a pack of 200 files (1 to 60 KB, 6 MB together) from korvane-mirror on loopback
// with 50 ms before every answer (a far host), the loader's installation aside (the pack
// needs none):
//   BM_CliImport        korvane-cli import, reading the pack, fetching and checking every file
//                       (SHA-512 and size), putting the instance in place
//   BM_CurlParallel16   curl --parallel --parallel-max 16 fetching the same files (GET only)
#include <benchmark/benchmark.h>
#include <json/json.h>

#include <random>

#include "tests/net/mirror_process.h"
#include "tests/net/zip_maker.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/digest.h"

namespace kv {
namespace {

constexpr int kFiles = 200;
constexpr int kDelayMilliseconds = 50;
constexpr const char* kHost = "cdn.example";

// The served files, the pack that names them and the mirror that serves them.
class ServedPack {
 public:
  ServedPack() {
    std::mt19937 generator(25);
    Json::Value index;
    index["formatVersion"] = 1;
    index["game"] = "minecraft";
    index["name"] = "bench";
    index["versionId"] = "1";
    index["dependencies"]["minecraft"] = "1.21.1";
    for (int i = 0; i < kFiles; ++i) {
      std::string bytes(1000 + generator() % 59000, '\0');
      for (char& c : bytes) c = static_cast<char>(generator());
      const std::string path = "mods/file" + std::to_string(i) + ".jar";
      test::WriteFile(root_ / (std::string(kHost) + "/data/" + path), bytes);
      paths_.push_back("/" + std::string(kHost) + "/data/" + path);
      Json::Value entry;
      entry["path"] = path;
      entry["hashes"]["sha1"] = HexDigestOf(DigestKind::Sha1, bytes);
      entry["hashes"]["sha512"] = HexDigestOf(DigestKind::Sha512, bytes);
      entry["fileSize"] = static_cast<Json::Int64>(bytes.size());
      entry["downloads"].append("https://" + std::string(kHost) + "/data/" + path);
      index["files"].append(entry);
    }
    test::MakeZip(pack_ / "bench.mrpack", {{"modrinth.index.json", Json::FastWriter().write(index)}});
  }

  std::string PackPath() const { return pack_ / "bench.mrpack"; }
  const std::vector<std::string>& Paths() const { return paths_; }
  const std::string& Base() const { return mirror_.BaseUrl(); }

 private:
  test::TempFolder root_;
  test::TempFolder pack_;
  std::vector<std::string> paths_;
  test::MirrorProcess mirror_{root_.Path(), {"--delay", std::to_string(kDelayMilliseconds)}};
};

ServedPack& Pack() {
  static ServedPack pack;
  return pack;
}

void BM_CliImport(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto home = std::make_unique<test::TempFolder>();
    const std::vector<std::string> environment{"KORVANE_HOME=" + home->Path(), "KORVANE_OFFICIAL_ROOT=" + Pack().Base()};
    state.ResumeTiming();
    if (test::RunCommand(KORVANE_CLI, {"import", Pack().PackPath()}, environment).status != 0) {
      state.SkipWithError("the import failed");
    }
    state.PauseTiming();
    home.reset();
    state.ResumeTiming();
  }
  state.counters["files"] = kFiles;
}

void BM_CurlParallel16(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto into = std::make_unique<test::TempFolder>();
    std::string config;
    for (const std::string& path : Pack().Paths()) {
      config += "url = \"" + Pack().Base() + path + "\"\noutput = \"" + into->Path() + path.substr(1) + "\"\n";
    }
    test::WriteFile(into->Path() + "curl.config", config);
    state.ResumeTiming();
    const test::CommandResult curl = test::RunCommand(
        "/usr/bin/curl", {"--silent", "--fail", "--create-dirs", "--parallel", "--parallel-max", "16", "--config",
                 into->Path() + "curl.config"});
    if (curl.status != 0) state.SkipWithError("curl failed");
    state.PauseTiming();
    into.reset();
    state.ResumeTiming();
  }
  state.counters["files"] = kFiles;
}

BENCHMARK(BM_CliImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CurlParallel16)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace kv
