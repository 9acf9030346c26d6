#include "app/frame_services.h"

#include "net/endpoints.h"
#include "platform/launcher_folder.h"

namespace kv {

FrameServices FrameServices::Default() {
  FrameServices services;
  services.settingsPath = SettingsFilePath();
  services.launch = LaunchServices::Network();
  services.java = &HostJavaSource();
  services.updaterFolder = GetExecutableFolder();
  services.versionFileUrl = VersionFileUrl();
  return services;
}

std::string VersionFileUrl() { return UpdateServerBase() + "/launcher/version.txt"; }

}  // namespace kv
