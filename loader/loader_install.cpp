#include "loader/loader_install.h"

#include "loader/installer_install.h"
#include "loader/profile_install.h"

namespace kv {

Result<std::string> InstallLoader(const LoaderInstallRequest& request, const DownloadSource& source, InstallSink& sink) {
  if (request.kind == LoaderKind::Forge || request.kind == LoaderKind::NeoForge) {
    return InstallFromInstaller(request, source, sink);
  }
  return InstallFromProfile(request, source, sink);
}

}  // namespace kv
