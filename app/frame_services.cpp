#include "app/frame_services.h"

#include <QDesktopServices>
#include <QUrl>

#include "net/endpoints.h"
#include "platform/launcher_folder.h"

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
  services.versionFileUrl = VersionFileUrl();
  return services;
}

std::string VersionFileUrl() { return UpdateServerBase() + "/launcher/version.txt"; }

}  // namespace kv
