// From pressing start to the game process running, for an offline instance whose files are
// all in place: the settings read, the largest shipped version description and asset index
// read, the plan made (every file exists), the command built, the instance folder prepared
// and the process started (here /bin/true, so the run also includes its short life). The
// network refreshes are stood in for by "up to date" answers.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "platform/profile_store.h"
#include "play/launch_sequence.h"
#include "util/files.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) {
  MakeFoldersForPath(path);
  std::ofstream(path, std::ios::binary) << "x";
}

std::string Fixture(const std::string& name) { return std::string(KORVANE_FIXTURES) + "/versions/" + name; }

class QuietSink : public LaunchSink {
 public:
  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind) override { fprintf(stderr, "%s\n", text.c_str()); }
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
  for (const AssetObject& object : index.objects) Touch(AssetObjectPath(game, object.hash));
  for (const LibraryEntry& library : description.libraries) {
    if (IsLibraryUsed(library, PlatformProfile::Host())) {
      Touch(LibraryLocalPath(game, library, PlatformProfile::Host(), NativeBitness()));
    }
  }
  Touch(VersionJarPath(game, id));
  std::string settings = home + "KvCfg.ini";
  profile::WriteString(settings, "KvCfg", "JavaPath", "/bin/true");
  ::setenv("KORVANE_HOME", home.c_str(), 1);
  return home;
}

void BM_LaunchToGameStart(benchmark::State& state) {
  std::string home = PrepareLauncherFolder();
  LaunchServices upToDate;
  upToDate.sendStatsEvent = [](const std::string&) {};
  upToDate.postAuthenticate = [](const std::string&, std::string&) { return false; };
  upToDate.metadata.both = [](const std::string&, const std::string&, const std::string&) {};
  upToDate.metadata.assetIndex = [](const std::string&, const std::string&) {};
  QuietSink sink;
  for (auto _ : state) {
    LaunchSequence sequence(home + "KvCfg.ini", upToDate);
    LaunchResult result = sequence.Run({"bench", "1.12.2", false, std::nullopt}, sink);
    if (result.status != LaunchStatus::GameEnded) state.SkipWithError("the launch did not reach the game");
  }
}
BENCHMARK(BM_LaunchToGameStart)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
