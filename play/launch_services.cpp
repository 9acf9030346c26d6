#include <chrono>

#include "install/download_planning.h"
#include "install/metadata_refresh.h"
#include "net/endpoints.h"
#include "net/transfers.h"
#include "play/launch_sequence.h"
#include "settings/settings.h"
#include "util/files.h"

namespace kv {

LaunchServices LaunchServices::Network() {
  LaunchServices services;
  services.sendStatsEvent = [](const std::string& event) { SendStatsEvent(event); };
  services.account = AccountTransport::Network();
  services.provideAgent = [](const std::string& settingsPath) {
    // The agent is kept beside the settings file, in the launcher folder.
    std::string folder;
    std::string name;
    SplitPath(settingsPath, folder, name);
    const bool chinaMirrorFirst =
        DownloadSource::Configured(ReadSettings(settingsPath).downloadSource).Kind() == SourceKind::ChinaMirror;
    return ProvideAgentJar(folder, AgentDistributionRoots(chinaMirrorFirst), std::chrono::system_clock::now());
  };
  services.metadata = MetadataChecks::Network();
  services.publishedChecksum = FetchPublishedChecksum;
  return services;
}

}  // namespace kv
