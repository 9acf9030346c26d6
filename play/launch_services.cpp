#include "install/download_planning.h"
#include "install/metadata_refresh.h"
#include "net/transfers.h"
#include "play/launch_sequence.h"

namespace kv {

LaunchServices LaunchServices::Network() {
  LaunchServices services;
  services.sendStatsEvent = [](const std::string& event) { SendStatsEvent(event); };
  services.postAuthenticate = [](const std::string& request, std::string& reply) {
    long status = 0;
    return PostAuthenticate(reply, request, status);
  };
  services.metadata = MetadataChecks::Network();
  services.publishedChecksum = FetchPublishedChecksum;
  return services;
}

}  // namespace kv
