#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

// The start-up work that talks to the network: the "open" statistics event, then the check
// for a newer launcher. It runs on a thread of its own so that the window paints and answers
// at once, however slow or unreachable the servers are. Going away abandons the transfers and
// waits for the thread, which takes moments.
namespace kv {

class StartupCheck {
 public:
  // Called on the check's thread with the published version text when it is newer.
  using NewerVersionHandler = std::function<void(const std::string& publishedVersion)>;

  StartupCheck() = default;
  ~StartupCheck();
  StartupCheck(const StartupCheck&) = delete;
  StartupCheck& operator=(const StartupCheck&) = delete;

  // `versionFileUrl` empty: no update check.
  void Start(bool sendOpenEvent, std::string versionFileUrl, NewerVersionHandler onNewer);
  // Waits for the check to end.
  void Wait();
  bool Running() const { return running_.load(); }

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace kv
