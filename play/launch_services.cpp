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
  services.fetchVersionDescription = [](const std::string& gamePath, const std::string& versionId) {
    return FetchVersionDescription(gamePath, versionId);
  };
  services.fetchAssetIndex = [](const std::string& gamePath, const std::string& indexId) {
    return FetchAssetIndex(gamePath, indexId);
  };
  return services;
}

}  // namespace kv
