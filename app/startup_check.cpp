#include "app/startup_check.h"

#include "net/transfers.h"
#include "net/update_check.h"

namespace kv {

StartupCheck::~StartupCheck() {
  cancel_.store(true);
  Wait();
}

void StartupCheck::Start(bool sendOpenEvent, std::string versionFileUrl, NewerVersionHandler onNewer) {
  if (thread_.joinable()) return;
  running_.store(true);
  thread_ = std::thread([this, sendOpenEvent, url = std::move(versionFileUrl), onNewer = std::move(onNewer)] {
    if (sendOpenEvent) SendStatsEvent("open", &cancel_);
    if (!url.empty() && !cancel_.load()) {
      const TextFetcher fetch = [this](const std::string& address, std::string& body) {
        return FetchToBuffer(body, address, &cancel_);
      };
      std::optional<std::string> newer = FindNewerVersion(url, fetch);
      if (newer && !cancel_.load() && onNewer) onNewer(*newer);
    }
    running_.store(false);
  });
}

void StartupCheck::Wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace kv
