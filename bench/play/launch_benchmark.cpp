// From pressing start to the game process running, for an offline instance whose files are
// all in place: the settings read, the largest shipped version description and asset index
// read, the plan made (every file exists), the command built, the instance folder prepared and
// the process started (here /bin/true, so the run also includes its short life). The two
// documents are checked behind the launch; one launch sequence serves every launch, as the
// launcher window keeps one, so a check still under way is not started again.
//   BM_LaunchToGameStart     the two metadata checks stood in for by "up to date" answers
//   BM_CachedLaunchMirror50ms   the checks asked of korvane-mirror with 50 ms before every answer
//   BM_CachedLaunchAndExitMirror50ms  the same with a launch sequence for each launch, as
//                               korvane-cli has: the check under way is abandoned at its end
//   BM_CachedLaunchDroppingPort the checks sent to a port that drops connection attempts (a
//                               listening socket whose queue is full)
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "net/network_library.h"
#include "platform/profile_store.h"
#include "play/launch_sequence.h"
#include "tests/net/loopback_listener.h"
#include "tests/net/mirror_process.h"
#include "util/files.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

const NetworkLibrary kNetwork;

// A stand-in for a planned file, of the size the plan expects.
void PutInPlace(const DownloadItem& item) {
  MakeFoldersForPath(item.path);
  const auto size = static_cast<std::size_t>(std::max<std::int64_t>(item.size, 1));
  std::ofstream(item.path, std::ios::binary) << std::string(size, 'x');
}

std::string Fixture(const std::string& name) { return std::string(KORVANE_FIXTURES) + "/versions/" + name; }

class QuietSink : public LaunchSink {
 public:
  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind) override { fprintf(stderr, "%s\n", text.c_str()); }
  void OfferJavaDownload(const std::string& text) override { fprintf(stderr, "%s\n", text.c_str()); }
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override {
    fprintf(stderr, "unexpected downloads: %zu, first %s\n", plan.size(), plan.front().path.c_str());
    return DownloadResult::Cancelled;
  }
  void ShowLauncher(bool) override {}
  bool HasLogWindow() const override { return false; }
  void ShowLog(bool) override {}
  void ClearLog() override {}
  void AppendLog(const std::string&) override {}
};

// A launcher folder with version 1.12.2 and the 1.7.10 asset index (686 objects) in place.
std::string PrepareLauncherFolder() {
  std::string home = (fs::temp_directory_path() / "korvane-launch-bench/").string();
  fs::remove_all(home);
  std::string game = home + ".minecraft/";
  const std::string id = "1.12.2";
  MakeFoldersForPath(VersionJsonPath(game, id));
  fs::copy_file(Fixture("version-1.12.2.json"), VersionJsonPath(game, id));
  VersionDescription description;
  ParseVersionDescription(*ReadWholeFile(VersionJsonPath(game, id)), description);
  MakeFoldersForPath(AssetIndexPath(game, description.assets));
  fs::copy_file(Fixture("assets-1.7.10.json"), AssetIndexPath(game, description.assets));
  AssetIndex index;
  ReadAssetIndex(game, description.assets, index);
  // Every file that a launch from either source would plan.
  for (const char* source : {"mirror", "official"}) {
    for (const DownloadItem& item : PlanDownloads(game, description, index, DownloadSource::Configured(source),
                                                  {.profile = PlatformProfile::Host(),
                                                   .bitness = NativeBitness(),
                                                   .osVersion = HostOsVersion()})) {
      PutInPlace(item);
    }
  }
  std::string settings = home + "KvCfg.ini";
  profile::WriteString(settings, "KvCfg", "JavaPath", "/bin/true");
  ::setenv("KORVANE_HOME", home.c_str(), 1);
  return home;
}

void BM_LaunchToGameStart(benchmark::State& state) {
  std::string home = PrepareLauncherFolder();
  LaunchServices upToDate;
  upToDate.sendStatsEvent = [](const std::string&) {};
  upToDate.metadata.both = [](const DownloadSource&, const std::string&, const std::string&, const VersionDescription*) {};
  upToDate.metadata.assetIndex = [](const DownloadSource&, const std::string&, const VersionDescription&) {};
  QuietSink sink;
  LaunchSequence sequence(home + "KvCfg.ini", upToDate);
  for (auto _ : state) {
    LaunchResult result = sequence.Run({"bench", "1.12.2", false, std::nullopt}, sink);
    if (result.status != LaunchStatus::GameEnded) state.SkipWithError("the launch did not reach the game");
  }
}
BENCHMARK(BM_LaunchToGameStart)->Unit(benchmark::kMillisecond);

// The description and index of the prepared folder, served as they are: both checks find them
// up to date.
class SameDocumentsMirror {
 public:
  explicit SameDocumentsMirror(const std::string& home) {
    const std::string game = home + ".minecraft/";
    VersionDescription description;
    ParseVersionDescription(*ReadWholeFile(VersionJsonPath(game, "1.12.2")), description);
    fs::create_directories(root_ + "versions/1.12.2");
    fs::create_directories(root_ + "indexes");
    fs::copy_file(VersionJsonPath(game, "1.12.2"), root_ + "versions/1.12.2/1.12.2.json");
    fs::copy_file(AssetIndexPath(game, description.assets), root_ + "indexes/" + description.assets + ".json");
    mirror_ = std::make_unique<test::MirrorProcess>(root_, std::vector<std::string>{"--delay", "50"});
  }
  ~SameDocumentsMirror() {
    mirror_.reset();
    fs::remove_all(root_);
  }
  std::string BaseUrl() const { return mirror_->BaseUrl(); }

 private:
  std::string root_ = (fs::temp_directory_path() / "korvane-launch-bench-mirror/").string();
  std::unique_ptr<test::MirrorProcess> mirror_;
};

// A loopback port whose connection attempts go unanswered, as with a mirror behind a network
// that drops packets: it listens with the shortest queue, and the queue is kept full.
class DroppingPort {
 public:
  DroppingPort() {
    for (int& filler : fillers_) filler = listener_.ConnectWithoutWaiting();
  }
  ~DroppingPort() {
    for (int filler : fillers_) ::close(filler);
  }
  std::string BaseUrl() const { return listener_.BaseUrl(); }

 private:
  test::LoopbackListener listener_{0};
  int fillers_[3] = {-1, -1, -1};
};

// Launches against the configured mirror at `base`, its network services real: with one launch
// sequence for every launch, as the launcher window keeps one, or with one for each launch, as
// korvane-cli has (the check still under way is abandoned when the sequence goes, at the
// program's end).
void MeasureCachedLaunch(benchmark::State& state, const std::string& home, const std::string& base,
                         bool sequencePerLaunch) {
  ::setenv("KORVANE_SOURCE", "mirror", 1);
  ::setenv("KORVANE_MIRROR", base.c_str(), 1);
  QuietSink sink;
  std::optional<LaunchSequence> kept;
  if (!sequencePerLaunch) kept.emplace(home + "KvCfg.ini", LaunchServices::Network());
  for (auto _ : state) {
    std::optional<LaunchSequence> own;
    LaunchSequence& sequence = kept ? *kept : own.emplace(home + "KvCfg.ini", LaunchServices::Network());
    LaunchResult result = sequence.Run({"bench", "1.12.2", false, std::nullopt}, sink);
    if (result.status != LaunchStatus::GameEnded) state.SkipWithError("the launch did not reach the game");
  }
  kept.reset();
  ::unsetenv("KORVANE_MIRROR");
  ::unsetenv("KORVANE_SOURCE");
}

void BM_CachedLaunchMirror50ms(benchmark::State& state) {
  std::string home = PrepareLauncherFolder();
  SameDocumentsMirror mirror(home);
  MeasureCachedLaunch(state, home, mirror.BaseUrl(), false);
}
BENCHMARK(BM_CachedLaunchMirror50ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_CachedLaunchAndExitMirror50ms(benchmark::State& state) {
  std::string home = PrepareLauncherFolder();
  SameDocumentsMirror mirror(home);
  MeasureCachedLaunch(state, home, mirror.BaseUrl(), true);
}
BENCHMARK(BM_CachedLaunchAndExitMirror50ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_CachedLaunchDroppingPort(benchmark::State& state) {
  std::string home = PrepareLauncherFolder();
  DroppingPort dropping;
  MeasureCachedLaunch(state, home, dropping.BaseUrl(), false);
}
BENCHMARK(BM_CachedLaunchDroppingPort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace kv
