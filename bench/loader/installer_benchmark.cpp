// Forge 1.20.1-47.2.0 installed again into a game folder that has every library, the game's
// client and mappings and the outputs of the processors that declare theirs: the installer
// fetched from korvane-mirror and checked, its profile and description read, the maven/
// entries unpacked, the libraries planned (all in place), the data resolved, the processors
// whose outputs are in place skipped, the description placed.
//   BM_CachedForgeLauncherShare  the other processors started as /bin/true: the launcher's own
//                                share, with five process starts of a program that does nothing
//   BM_CachedForgeWithProcessors the same with the real java running the processors' stand-ins
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "loader/installer_install.h"
#include "loader/loader_install.h"
#include "tests/loader/installer_publisher.h"
#include "tests/loader/loader_publisher.h"
#include "tests/net/mirror_process.h"
#include "tests/net/zip_maker.h"
#include "tests/support/fixtures.h"
#include "tests/support/java_tools.h"
#include "tests/support/temp_folder.h"

namespace kv {
namespace {

class QuietSink : public InstallSink {
 public:
  void OnStep(InstallStep, int, int) override {}
  void OnOutput(const std::string&) override {}
};

struct CachedForge {
  CachedForge() {
    setenv("KORVANE_FIXTURES", KORVANE_FIXTURES, 0);
    test::LoaderPublisher publisher(served.Path());
    publisher.ServeGameVersion("1.20.1", "client of 1.20.1");
    const test::ProcessorJars processors = test::CompileProcessorJars(classes.Path());
    test::ServeInstaller(publisher, InstallerUrl(LoaderKind::Forge, "1.20.1", "47.2.0"),
                         test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/install_profile.json")),
                         test::ParseJson(test::ReadFixture("loaders/forge/1.20.1-47.2.0/version.json")),
                         [](const std::string& coordinate) { return test::ZipBytes({{"coordinate.txt", coordinate}}); },
                         processors.working);
    mirror = std::make_unique<test::MirrorProcess>(served.Path());
    // The first installation fetches everything and runs every processor.
    if (!Install(test::JavaTool("java"))) mirror.reset();
  }

  Result<std::string> Install(const std::string& java) {
    QuietSink sink;
    LoaderInstallRequest request{home.Path() + ".minecraft", "1.20.1", LoaderKind::Forge, "47.2.0", {}, java};
    return InstallLoader(request, test::LoaderPublisher::Official(mirror->BaseUrl()), sink);
  }

  test::TempFolder served;
  test::TempFolder classes;
  test::TempFolder home;
  std::unique_ptr<test::MirrorProcess> mirror;
};

CachedForge& Cached() {
  static CachedForge cached;
  return cached;
}

void RunInstallations(benchmark::State& state, const std::string& java) {
  CachedForge& cached = Cached();
  if (!cached.mirror) {
    state.SkipWithError("the first installation failed");
    return;
  }
  for (auto _ : state) {
    const Result<std::string> installed = cached.Install(java);
    if (!installed) {
      state.SkipWithError(installed.message().c_str());
      return;
    }
  }
}

void BM_CachedForgeLauncherShare(benchmark::State& state) { RunInstallations(state, "/bin/true"); }
BENCHMARK(BM_CachedForgeLauncherShare)->Unit(benchmark::kMillisecond);

void BM_CachedForgeWithProcessors(benchmark::State& state) { RunInstallations(state, test::JavaTool("java")); }
BENCHMARK(BM_CachedForgeWithProcessors)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
