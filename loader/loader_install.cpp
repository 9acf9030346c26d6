#include "loader/loader_install.h"

#include "loader/profile_install.h"
#include "util/messages.h"

namespace kv {

bool CanInstallLoader(LoaderKind kind) { return kind == LoaderKind::Fabric || kind == LoaderKind::Quilt; }

Result<std::string> InstallLoader(const LoaderInstallRequest& request, const DownloadSource& source, InstallSink& sink) {
  if (!CanInstallLoader(request.kind)) {
    return Fail(FailureKind::Unsupported, msg::LoaderInstallNotAvailable(std::string(LoaderDisplayName(request.kind))));
  }
  return InstallFromProfile(request, source, sink);
}

}  // namespace kv
