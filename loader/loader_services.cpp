#include "loader/loader_services.h"

#include "settings/settings.h"

namespace kv {

LoaderServices LoaderServices::Configured(std::string settingsPath) {
  LoaderServices services;
  services.listVersions = [settingsPath](LoaderKind kind, const std::string& gameVersion) {
    return FetchLoaderVersions(kind, gameVersion, DownloadSource::Configured(ReadSettings(settingsPath).downloadSource));
  };
  services.install = [settingsPath](LoaderInstallRequest request, InstallSink& sink) {
    const CSettings settings = ReadSettings(settingsPath);
    // Without a Java of the player's choice the installation picks one that fits the game
    // version.
    if (request.javaPath.empty()) request.javaPath = settings.ChosenJavaPath();
    return InstallLoader(request, DownloadSource::Configured(settings.downloadSource), sink);
  };
  return services;
}

}  // namespace kv
