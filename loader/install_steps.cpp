#include "loader/install_steps.h"

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/download_planning.h"
#include "install/metadata_refresh.h"
#include "platform/platform_profile.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

// The engine's progress as a step of the installation.
class EngineStep : public DownloadSink {
 public:
  EngineStep(InstallSink& sink, InstallStep step) : sink_(sink), step_(step) {}
  void OnFileIndex(int done, int count) override {
    if (step_ == InstallStep::Libraries) sink_.OnStep(step_, done, count);
  }
  void OnFileInfo(const std::string&, std::int64_t) override {}
  void OnProgress(std::int64_t, std::int64_t) override {}
  void OnSpeed(std::int64_t) override {}
  void OnRetrying(const std::string&, int, std::chrono::milliseconds, const std::string&) override {}
  void OnFinished(const DownloadOutcome&) override {}

 private:
  InstallSink& sink_;
  InstallStep step_;
};

}  // namespace

Status ProvideGameDescription(const std::string& gamePath, const std::string& gameVersion, const DownloadSource& source,
                              InstallSink& sink) {
  sink.OnStep(InstallStep::GameDescription, 0, 0);
  VersionDescription description;
  if (CheckVersionDescription(source, gamePath, gameVersion) == RefreshOutcome::Failed ||
      !ReadVersionDescription(gamePath, gameVersion, description)) {
    return Fail(FailureKind::NotFound, msg::LoaderGameDescriptionMissing(gameVersion));
  }
  return {};
}

Status FetchLibraries(const std::string& gamePath, const VersionDescription& description, const DownloadSource& source,
                      const DownloadOptions& options, InstallSink& sink) {
  const std::vector<DownloadItem> plan = PlanLibraryDownloads(gamePath, description, source,
                                                              {.profile = PlatformProfile::Host(),
                                                               .bitness = NativeBitness(),
                                                               .osVersion = HostOsVersion(),
                                                               .publishedChecksum = FetchPublishedChecksum});
  return FetchPlanned(plan, InstallStep::Libraries, options, sink);
}

Status FetchPlanned(std::vector<DownloadItem> plan, InstallStep step, const DownloadOptions& options, InstallSink& sink) {
  if (plan.empty()) return {};
  EngineStep engineStep(sink, step);
  const DownloadOutcome outcome = DownloadEngine(std::move(plan), engineStep, options).Run();
  if (outcome.result == DownloadResult::Completed) return {};
  return Fail(FailureKind::Other, msg::DownloadFailed(outcome.failedName, outcome.reason));
}

bool IsInstallableDescription(const VersionDescription& description, const std::string& gameVersion) {
  if (!IsSafeVersionId(description.id) || description.id == gameVersion || description.inheritsFrom != gameVersion) {
    return false;
  }
  for (const LibraryEntry& library : description.libraries) {
    if (!IsSafeLibrary(library)) return false;
  }
  return true;
}

Status PlaceDescription(const std::string& gamePath, const std::string& id, std::string_view bytes) {
  const std::string path = VersionJsonPath(gamePath, id);
  MakeFoldersForPath(path);
  if (!WriteFileAtomically(path, bytes)) return Fail(FailureKind::Io, msg::LoaderDescriptionNotWritten(path));
  return {};
}

}  // namespace kv
