#include "loader/profile_install.h"

#include "game/library_paths.h"
#include "loader/install_steps.h"
#include "loader/meta_addresses.h"
#include "meta/version_description.h"
#include "net/transfers.h"
#include "util/messages.h"

namespace kv {
namespace {

// A profile lists a few libraries; a document far larger is not one.
constexpr std::size_t kProfileLimit = 1024 * 1024;

Result<std::string> FetchProfile(const LoaderInstallRequest& request, const DownloadSource& source) {
  const std::string loader = std::string(LoaderDisplayName(request.kind));
  std::optional<Failure> failure;
  bool unknown = false;
  for (const std::string& url : source.Addresses(MetaProfileUrl(request.kind, request.gameVersion, request.loaderVersion))) {
    Result<std::string> profile = FetchDocument(url, kProfileLimit);
    if (profile) return profile;
    // The meta answers a version it does not know with 400 or 404.
    unknown = unknown || profile.kind() == FailureKind::NotFound || profile.message() == "HTTP 400";
    if (!failure) failure = profile.failure();
  }
  if (unknown) {
    return Fail(FailureKind::NotFound, msg::LoaderVersionMissing(loader, request.loaderVersion, request.gameVersion));
  }
  return Fail(failure ? failure->kind : FailureKind::Unreachable,
              msg::LoaderDescriptionFailed(loader, failure ? failure->message : std::string()));
}

}  // namespace

Result<std::string> InstallFromProfile(const LoaderInstallRequest& request, const DownloadSource& source,
                                       InstallSink& sink) {
  const std::string loader = std::string(LoaderDisplayName(request.kind));
  if (!IsSafeVersionId(request.gameVersion) || request.loaderVersion.empty()) {
    return Fail(FailureKind::Invalid, msg::LoaderVersionMissing(loader, request.loaderVersion, request.gameVersion));
  }
  // The mirror layout has no place for a loader's files: they come from its publisher.
  const DownloadSource publishers = source.ForPublishedFiles();
  sink.OnStep(InstallStep::LoaderDescription, 0, 0);
  Result<std::string> bytes = FetchProfile(request, publishers);
  if (!bytes) return std::move(bytes).failure();
  VersionDescription profile;
  if (!ParseVersionDescription(*bytes, profile) || !IsInstallableDescription(profile, request.gameVersion)) {
    return Fail(FailureKind::Invalid, msg::LoaderDescriptionInvalid(loader, request.loaderVersion));
  }
  // The game's own description comes as a launch fetches it, from the source as configured.
  if (Status game = ProvideGameDescription(request.gamePath, request.gameVersion, source, sink); !game) {
    return std::move(game).failure();
  }
  if (Status libraries = FetchLibraries(request.gamePath, profile, publishers, request.downloads, sink); !libraries) {
    return std::move(libraries).failure();
  }
  if (Status placed = PlaceDescription(request.gamePath, profile.id, *bytes); !placed) return std::move(placed).failure();
  return profile.id;
}

}  // namespace kv
