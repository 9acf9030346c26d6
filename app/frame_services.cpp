#include "app/frame_services.h"

#include <QDesktopServices>
#include <QUrl>

#include "game/game_layout.h"
#include "install/metadata_refresh.h"
#include "net/endpoints.h"
#include "platform/launcher_folder.h"
#include "settings/settings.h"

namespace kv {

FrameServices FrameServices::Default() {
  FrameServices services;
  services.settingsPath = SettingsFilePath();
  services.launch = LaunchServices::Network();
  services.java = &HostJavaSource();
  services.updaterFolder = GetExecutableFolder();
  services.packageToolFolder = GetExecutableFolder();
  services.openUrl = [](const std::string& address) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
  };
  services.openFolder = [](const std::string& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
  };
  services.versionFileUrl = VersionFileUrl();
  services.refreshVersionList = [settingsPath = services.settingsPath](const std::string& gamePath) {
    return RefreshVersionManifest(DownloadSource::Configured(LoadDownloadSource(settingsPath)),
                                  VersionListPath(gamePath))
        .ok();
  };
  services.loaders = LoaderServices::Configured(services.settingsPath);
  services.pickers = std::make_shared<QtFilePickers>();
  return services;
}

std::string VersionFileUrl() { return UpdateServerBase() + "/launcher/version.txt"; }

}  // namespace kv
