// Fetching a whole game version from korvane-mirror on loopback, as it is served without added
// latency and with 50 ms before every answer (a far mirror): 1,035 files, 56 MB (1,000 asset
// objects of 1 to 60 KB and four of 1 MB, 34 libraries up to 600 KB, a 10 MB client jar).
//   BM_Engine/T/D          the download engine with T transfers at once, D ms per request
//   BM_CurlParallel16/D    curl --parallel --parallel-max 16 fetching the same file list (GET only)
//   BM_CliPrepare/D        korvane-cli prepare of an instance of that version, its description and
//                          asset index in place (their two checks are part of the run); its peak
//                          memory is the counter peak_MiB
// and one 50 MB file, the engine against curl.
//
// Everything is written into a memory file system (/dev/shm) when there is one: creating
// thousands of files on a disk that has just deleted thousands costs more than the transfers
// and grows from run to run, which would measure the file system instead.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "net/download_engine.h"
#include "net/network_library.h"
#include "tests/net/mirror_process.h"

extern char** environ;

namespace kv {
namespace {

namespace fs = std::filesystem;

const NetworkLibrary kNetwork;

constexpr const char* kVersion = "full-1.0";
constexpr const char* kInstance = "bench";
constexpr std::size_t kLargeFileBytes = 50u * 1024 * 1024;

class NoProgress : public DownloadSink {
 public:
  void OnFileIndex(int, int) override {}
  void OnFileInfo(const std::string&, std::int64_t) override {}
  void OnProgress(std::int64_t, std::int64_t) override {}
  void OnSpeed(std::int64_t) override {}
  void OnRetrying(const std::string&, int, std::chrono::milliseconds, const std::string&) override {}
  void OnFinished(const DownloadOutcome&) override {}
};

fs::path ScratchParent() {
  return fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// A fresh folder, removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (ScratchParent() / "korvane-bench-XXXXXX").string();
    path_ = std::string(::mkdtemp(pattern.data())) + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

void WriteRandom(const fs::path& path, std::size_t size, std::mt19937& generator) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  std::vector<char> block(64 * 1024);
  for (std::size_t left = size; left > 0;) {
    std::size_t now = std::min(left, block.size());
    for (std::size_t i = 0; i < now; ++i) block[i] = static_cast<char>(generator());
    out.write(block.data(), static_cast<std::streamsize>(now));
    left -= now;
  }
}

struct ServedFile {
  std::string path;   // below the mirror's base, "/objects/ab/ab..."
  std::int64_t size;  // known to the plan (asset objects), else -1
};

// The version's files on disk, its description and index, and one mirror for each latency.
class FullVersion {
 public:
  FullVersion() {
    std::mt19937 generator(7);
    std::string libraries;
    for (int i = 0; i < 34; ++i) {
      const std::string artifact = "lib" + std::to_string(i);
      const std::string path = "/libs/com/example/" + artifact + "/1.0/" + artifact + "-1.0.jar";
      Serve(path, 20000 + generator() % 580000, -1, generator);
      libraries += std::string(i == 0 ? "" : ",") + "{\"name\":\"com.example:" + artifact + ":1.0\"}";
    }
    Serve(std::string("/versions/") + kVersion + "/" + kVersion + ".jar", 10000000, -1, generator);
    std::string objects;
    for (int i = 0; i < 1000; ++i) {
      char hash[41];
      std::snprintf(hash, sizeof hash, "%02x%038d", i % 256, i);
      const std::size_t size = i % 250 == 0 ? 1000000 : 1000 + generator() % 59000;
      Serve(std::string("/objects/") + std::string(hash, 2) + "/" + hash, size, static_cast<std::int64_t>(size),
            generator);
      objects += std::string(i == 0 ? "" : ",") + "\"sounds/" + std::to_string(i) + ".ogg\":{\"hash\":\"" + hash +
                 "\",\"size\":" + std::to_string(size) + "}";
    }
    std::ofstream(root_.Path() + "versions/" + kVersion + "/" + kVersion + ".json")
        << "{\"id\":\"" << kVersion << "\",\"assets\":\"full\",\"mainClass\":\"Main\",\"libraries\":[" << libraries
        << "]}";
    fs::create_directories(root_.Path() + "indexes");
    std::ofstream(root_.Path() + "indexes/full.json") << "{\"objects\":{" << objects << "}}";
    WriteRandom(root_.Path() + "large/client.jar", kLargeFileBytes, generator);
  }

  const std::vector<ServedFile>& Files() const { return files_; }
  std::int64_t Bytes() const { return bytes_; }

  // The mirror that waits `delay` ms before every answer, started at its first use.
  const test::MirrorProcess& Mirror(int delay) {
    std::unique_ptr<test::MirrorProcess>& mirror = mirrors_[delay];
    if (!mirror) {
      std::vector<std::string> options;
      if (delay > 0) options = {"--delay", std::to_string(delay)};
      mirror = std::make_unique<test::MirrorProcess>(root_.Path(), options);
    }
    return *mirror;
  }

 private:
  void Serve(const std::string& path, std::size_t size, std::int64_t plannedSize, std::mt19937& generator) {
    WriteRandom(root_.Path() + path.substr(1), size, generator);
    files_.push_back({path, plannedSize});
    bytes_ += static_cast<std::int64_t>(size);
  }

  ScratchFolder root_;
  std::vector<ServedFile> files_;
  std::int64_t bytes_ = 0;
  std::map<int, std::unique_ptr<test::MirrorProcess>> mirrors_;
};

FullVersion& Version() {
  static FullVersion version;
  return version;
}

// Runs a program to its end; its peak memory in KiB goes to `peakKiB`.
bool RunProgram(std::vector<std::string> args, const std::vector<std::string>& extraEnvironment, long* peakKiB) {
  std::vector<std::string> environment(extraEnvironment);
  for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  if (peakKiB != nullptr) *peakKiB = usage.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// curl fetching `paths` from the mirror into `into`, N at once.
bool RunCurl(const std::vector<std::string>& paths, const std::string& base, const std::string& into, int parallel) {
  const std::string config = into + "curl.config";
  {
    std::ofstream out(config);
    for (const std::string& path : paths) out << "url = \"" << base << path << "\"\noutput = \"" << into << path << "\"\n";
  }
  std::vector<std::string> args{"curl", "--silent", "--fail", "--create-dirs", "--config", config};
  if (parallel > 1) args.insert(args.end(), {"--parallel", "--parallel-max", std::to_string(parallel)});
  return RunProgram(args, {}, nullptr);
}

std::vector<std::string> PathsOf(const std::vector<ServedFile>& files) {
  std::vector<std::string> paths;
  for (const ServedFile& file : files) paths.push_back(file.path);
  return paths;
}

void Report(benchmark::State& state) {
  state.counters["files"] = static_cast<double>(Version().Files().size());
  state.counters["MB"] = static_cast<double>(Version().Bytes()) / 1e6;
}

// Times `fetch` into a fresh folder, once for each iteration; making and removing the folder
// are not timed.
template <typename Fetch>
void MeasureFetch(benchmark::State& state, Fetch fetch) {
  for (auto _ : state) {
    state.PauseTiming();
    auto into = std::make_unique<ScratchFolder>();
    state.ResumeTiming();
    if (!fetch(into->Path())) state.SkipWithError("the transfer failed");
    state.PauseTiming();
    into.reset();
    state.ResumeTiming();
  }
}

bool RunEngine(std::vector<DownloadItem> plan, int transfers) {
  DownloadOptions options;
  options.transfers = transfers;
  NoProgress sink;
  return DownloadEngine(std::move(plan), sink, options).Run().result == DownloadResult::Completed;
}

void BM_Engine(benchmark::State& state) {
  const int transfers = static_cast<int>(state.range(0));
  const std::string base = Version().Mirror(static_cast<int>(state.range(1))).BaseUrl();
  MeasureFetch(state, [&](const std::string& into) {
    std::vector<DownloadItem> plan;
    for (const ServedFile& file : Version().Files()) {
      plan.push_back({.name = file.path, .path = into + file.path.substr(1), .urls = {base + file.path}, .size = file.size});
    }
    return RunEngine(std::move(plan), transfers);
  });
  Report(state);
}

void BM_CurlParallel16(benchmark::State& state) {
  const std::string base = Version().Mirror(static_cast<int>(state.range(0))).BaseUrl();
  const std::vector<std::string> paths = PathsOf(Version().Files());
  MeasureFetch(state, [&](const std::string& into) { return RunCurl(paths, base, into, 16); });
  Report(state);
}

void BM_CliPrepare(benchmark::State& state) {
  const std::string base = Version().Mirror(static_cast<int>(state.range(0))).BaseUrl();
  ScratchFolder home;
  const std::vector<std::string> environment{"KORVANE_HOME=" + home.Path(), "KORVANE_MIRROR=" + base};
  const std::string game = home.Path() + ".minecraft/";
  if (!RunProgram({KORVANE_CLI, "add", kInstance, kVersion}, environment, nullptr) ||
      !RunProgram({KORVANE_CLI, "prepare", kInstance}, environment, nullptr)) {
    state.SkipWithError("the instance could not be prepared");
    return;
  }
  long peakKiB = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* folder : {"libraries", "assets/objects"}) fs::remove_all(game + folder);
    fs::remove(game + "versions/" + kVersion + "/" + kVersion + ".jar");
    state.ResumeTiming();
    if (!RunProgram({KORVANE_CLI, "prepare", kInstance}, environment, &peakKiB)) state.SkipWithError("prepare failed");
  }
  Report(state);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024;
}

void BM_EngineLargeFile(benchmark::State& state) {
  const std::string base = Version().Mirror(0).BaseUrl();
  MeasureFetch(state, [&](const std::string& into) {
    return RunEngine({{.name = "client.jar", .path = into + "client.jar", .urls = {base + "/large/client.jar"}}},
                     kDefaultTransfers);
  });
}

void BM_CurlLargeFile(benchmark::State& state) {
  const std::string base = Version().Mirror(0).BaseUrl();
  MeasureFetch(state, [&](const std::string& into) { return RunCurl({"/large/client.jar"}, base, into, 1); });
}

// Without latency: a few runs each.
BENCHMARK(BM_Engine)->ArgNames({"transfers", "delay"})->Args({1, 0})->Args({4, 0})->Args({16, 0})->Args({64, 0})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CurlParallel16)->ArgName("delay")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CliPrepare)->ArgName("delay")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
// 50 ms per request: one file at a time takes about a minute, so fewer runs where they are slow.
BENCHMARK(BM_Engine)->ArgNames({"transfers", "delay"})->Args({1, 50})->Args({4, 50})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Engine)->ArgNames({"transfers", "delay"})->Args({16, 50})->Args({64, 50})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurlParallel16)->ArgName("delay")->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CliPrepare)->ArgName("delay")->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurlLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_EngineLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace kv
