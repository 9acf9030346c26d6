// `korvane-cli mods NAME` on a catalogue of N mods served by korvane-mirror on loopback: the
// whole command as a player runs it, that is qrx init (the index fetched and checked), list,
// matchlist, and the launcher reading and printing the offered mods. Half of the entries are
// a second version of a mod listed before, so matching groups the versions of one id. The
// catalogue has no icons: what is measured is the catalogue's size, not a thousand downloads.
//   BM_CliMods/N          the catalogue as it was at the command before (opening the mod tab
//                         again): qrx finds it unchanged and reads it no more
//   BM_CliModsChanged/N   a catalogue republished before every command: qrx reads it whole
// N = 10,000 to 100,000 entries, fitted to a straight line through zero (the RMS says how well
// it fits). The counter cpu_s is the processor time of korvane-cli and of the qrx runs it
// waited for, which a busy machine inflates less than the elapsed time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "settings/instance_commands.h"
#include "tests/net/mirror_process.h"
#include "tests/support/run_command.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInstance = "bench";

fs::path ScratchParent() { return fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path(); }

// An index of `entries` Forge mods for 1.20.1: ids mod-0 ... with two versions each; the
// edition shows in the first mod's description.
std::string CatalogueIndex(int entries, int edition) {
  std::string index = "{\"format\": 1, \"mods\": [\n";
  for (int i = 0; i < entries; ++i) {
    const std::string id = "mod-" + std::to_string(i / 2);
    const std::string version = i % 2 == 0 ? "2.0" : "1.0";
    const std::string jar = id + "-" + version + ".jar";
    index += std::string(i == 0 ? "" : ",\n") + "{\"id\": \"" + id + "\", \"name\": \"模组 " + std::to_string(i / 2) +
             "\", \"version\": \"" + version + "\", \"description\": \"" + (i == 0 ? std::to_string(edition) : "") +
             "\", \"authors\": [\"作者\"], \"loader\": \"forge\", " +
             "\"minecraft\": {\"range\": \"[1.20,1.21)\"}, \"files\": [{\"path\": \"jars/" + jar + "\", \"name\": \"" +
             jar + "\", \"md5\": \"0123456789abcdef0123456789abcdef\", \"size\": 1000}]}";
  }
  return index + "\n]}\n";
}

// A launcher folder with one Forge instance and a served catalogue of N entries.
class CatalogueSetup {
 public:
  explicit CatalogueSetup(int entries) : entries_(entries) {
    std::string pattern = (ScratchParent() / "korvane-mods-bench-XXXXXX").string();
    root_ = std::string(::mkdtemp(pattern.data())) + "/";
    fs::create_directories(root_ + "www/allmod");
    Publish(0);
    fs::create_directories(root_ + "home/.minecraft");
    added_ = AddInstance(root_ + "home/KvCfg.ini", root_ + "home/.minecraft/", kInstance, "1.20.1-Forge47.2.0").status ==
             InstanceCommandStatus::Done;
    mirror_ = std::make_unique<test::MirrorProcess>(root_ + "www");
  }
  ~CatalogueSetup() {
    mirror_.reset();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  CatalogueSetup(const CatalogueSetup&) = delete;
  CatalogueSetup& operator=(const CatalogueSetup&) = delete;

  bool Ready() const { return added_ && mirror_->Started(); }
  void Publish(int edition) const {
    std::ofstream(root_ + "www/allmod/index.json", std::ios::binary) << CatalogueIndex(entries_, edition);
  }
  std::vector<std::string> Environment() const {
    return {"KORVANE_HOME=" + root_ + "home/", "KORVANE_CATALOGUE=" + mirror_->BaseUrl() + "/allmod/"};
  }

 private:
  int entries_;
  std::string root_;
  bool added_ = false;
  std::unique_ptr<test::MirrorProcess> mirror_;
};

// The processor time of the children this process has waited for, in seconds.
double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool RunMods(const CatalogueSetup& setup) {
  return test::RunCommand(KORVANE_CLI, {"mods", kInstance}, setup.Environment()).status == 0;
}

void MeasureMods(benchmark::State& state, bool republish) {
  const int entries = static_cast<int>(state.range(0));
  CatalogueSetup setup(entries);
  // The first command reads the catalogue whatever follows.
  if (!setup.Ready() || !RunMods(setup)) {
    state.SkipWithError("the launcher folder, the mirror or the first command failed");
    return;
  }
  const double cpuBefore = ChildrenCpuSeconds();
  int edition = 0;
  for (auto _ : state) {
    if (republish) {
      state.PauseTiming();
      setup.Publish(++edition);
      state.ResumeTiming();
    }
    if (!RunMods(setup)) state.SkipWithError("korvane-cli mods failed");
  }
  state.SetComplexityN(entries);
  state.counters["entries"] = entries;
  state.counters["cpu_s"] = benchmark::Counter(ChildrenCpuSeconds() - cpuBefore, benchmark::Counter::kAvgIterations);
}

void BM_CliMods(benchmark::State& state) { MeasureMods(state, false); }
void BM_CliModsChanged(benchmark::State& state) { MeasureMods(state, true); }

void Sizes(benchmark::internal::Benchmark* sizes) {
  sizes->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Complexity(benchmark::oN);
}

BENCHMARK(BM_CliMods)->Apply(Sizes);
BENCHMARK(BM_CliModsChanged)->Apply(Sizes);

}  // namespace
}  // namespace kv
