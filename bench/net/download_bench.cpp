// The download engine against curl, both fetching from korvane-mirror on loopback: 2,000
// small files, then one 50 MB file. curl runs as one process with every URL, so it asks for
// each file once over one kept-alive connection; the engine also asks for each file's size.
//
// Both write into a memory file system (/dev/shm) when there is one: creating thousands of
// files on a disk file system that has just deleted thousands costs more than the transfers
// and grows from run to run, which would measure the file system instead.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

constexpr int kSmallFiles = 2000;
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

void WriteRandom(const fs::path& path, std::size_t size, unsigned seed) {
  fs::create_directories(path.parent_path());
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  std::ofstream(path, std::ios::binary) << bytes;
}

// The served files and the running mirror, made once for every benchmark.
struct Mirror {
  Mirror() {
    WriteRandom(root.Path() + "large/client.jar", kLargeFileBytes, 1);
    for (int i = 0; i < kSmallFiles; ++i) {
      char hash[41];
      std::snprintf(hash, sizeof hash, "%02x%038d", i % 256, i);
      WriteRandom(root.Path() + "objects/" + std::string(hash, 2) + "/" + hash, 500 + (i * 37) % 4000,
                  static_cast<unsigned>(i));
      smallPaths.push_back(std::string("/objects/") + std::string(hash, 2) + "/" + hash);
    }
    server = std::make_unique<test::MirrorProcess>(root.Path());
  }

  test::TempFolder root;
  std::vector<std::string> smallPaths;
  std::unique_ptr<test::MirrorProcess> server;
};

Mirror& SharedMirror() {
  static Mirror mirror;
  return mirror;
}

std::vector<DownloadItem> Plan(const std::vector<std::string>& paths, const std::string& into) {
  std::vector<DownloadItem> plan;
  for (const std::string& path : paths) {
    plan.push_back({.name = path, .path = into + path, .urls = {SharedMirror().server->BaseUrl() + path}});
  }
  return plan;
}

// One curl process fetching every path, one after the other, over one connection.
bool RunCurl(const std::vector<std::string>& paths, const std::string& into) {
  std::string config = into + "curl.config";
  {
    std::ofstream out(config);
    for (const std::string& path : paths) {
      out << "url = \"" << SharedMirror().server->BaseUrl() << path << "\"\n";
      out << "output = \"" << into << path << "\"\n";
    }
  }
  std::vector<std::string> args{"curl", "--silent", "--fail", "--create-dirs", "--config", config};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A fresh folder for one run's downloads, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    fs::path parent = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (parent / "korvane-bench-XXXXXX").string();
    path_ = std::string(::mkdtemp(pattern.data())) + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

template <typename Fetch>
void Measure(benchmark::State& state, const std::vector<std::string>& paths, Fetch fetch) {
  for (auto _ : state) {
    state.PauseTiming();
    auto into = std::make_unique<ScratchFolder>();
    state.ResumeTiming();
    if (!fetch(paths, into->Path())) state.SkipWithError("the transfer failed");
    state.PauseTiming();
    into.reset();
    state.ResumeTiming();
  }
}

bool RunEngine(const std::vector<std::string>& paths, const std::string& into) {
  NoProgress sink;
  return DownloadEngine(Plan(paths, into), sink).Run().result == DownloadResult::Completed;
}

void BM_EngineSmallFiles(benchmark::State& state) { Measure(state, SharedMirror().smallPaths, RunEngine); }
void BM_CurlSmallFiles(benchmark::State& state) { Measure(state, SharedMirror().smallPaths, RunCurl); }
void BM_EngineLargeFile(benchmark::State& state) { Measure(state, {"/large/client.jar"}, RunEngine); }
void BM_CurlLargeFile(benchmark::State& state) { Measure(state, {"/large/client.jar"}, RunCurl); }

BENCHMARK(BM_CurlSmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_EngineSmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CurlLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_EngineLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace
}  // namespace kv
