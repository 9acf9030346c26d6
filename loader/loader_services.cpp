#include "loader/loader_services.h"

#include "settings/settings.h"

namespace kv {

LoaderServices LoaderServices::Configured(std::string settingsPath) {
  LoaderServices services;
  services.listVersions = [settingsPath](LoaderKind kind, const std::string& gameVersion) {
    return FetchLoaderVersions(kind, gameVersion, DownloadSource::Configured(LoadDownloadSource(settingsPath)));
  };
  services.install = [settingsPath](const LoaderInstallRequest& request, InstallSink& sink) {
    return InstallLoader(request, DownloadSource::Configured(LoadDownloadSource(settingsPath)), sink);
  };
  return services;
}

}  // namespace kv
