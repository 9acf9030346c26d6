#include "loader/loader_services.h"

#include "settings/settings.h"

namespace kv {

LoaderServices LoaderServices::Configured(std::string settingsPath) {
  LoaderServices services;
  services.listVersions = [settingsPath](LoaderKind kind, const std::string& gameVersion) {
    return FetchLoaderVersions(kind, gameVersion, DownloadSource::Configured(LoadDownloadSource(settingsPath)));
  };
  services.install = [settingsPath](LoaderInstallRequest request, InstallSink& sink) {
    CSettings settings(settingsPath);
    settings.Load();
    // A runtime that Load found stands for no choice of the player's: the installation picks
    // one that fits the game version.
    if (request.javaPath.empty() && !settings.javaPathDiscovered) request.javaPath = settings.javaPath;
    return InstallLoader(request, DownloadSource::Configured(settings.downloadSource), sink);
  };
  return services;
}

}  // namespace kv
