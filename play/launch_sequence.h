#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "auth/account_transport.h"
#include "auth/authlib_agent.h"
#include "install/cached_metadata.h"
#include "install/metadata_refresh.h"
#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "net/download_item.h"
#include "platform/java_source.h"
#include "platform/platform_profile.h"
#include "platform/java_choice.h"
#include "play/launch_sink.h"

namespace kv {

// The network side of a launch; the launch sequence takes it as a parameter so that it runs
// the same against the real services, local test servers or stand-ins.
struct LaunchServices {
  std::function<void(const std::string& event)> sendStatsEvent;
  AccountTransport account;
  // The verified agent jar that an authlib-injector server's players need, for the launcher
  // folder of the settings file `settingsPath`.
  std::function<AgentJarResult(const std::string& settingsPath)> provideAgent;
  MetadataChecks metadata;
  // Where Java runtimes are looked for.
  const JavaRuntimeSource* java = &HostJavaSource();
  // The checksum a loader's repository publishes beside a library (PlanOptions).
  std::function<std::string(const std::vector<std::string>& fileUrls)> publishedChecksum;

  // The configured download sources, account service and statistics address.
  static LaunchServices Network();
};

struct LaunchRequest {
  std::string instanceName;
  std::string instanceVersion;
  bool prepareOnly = false;  // stop before starting the game (and report its command)
  // Whether the game's output goes to the log; unset: as the IsShowCmd setting says.
  std::optional<bool> showOutput;
};

enum class LaunchStatus {
  AlreadyRunning,        // another launch of this process has not ended
  NoInstance,            // nothing selected: ends silently
  SignInFailed,
  AgentUnavailable,      // the account server's agent could not be fetched or verified
  VersionUnreadable,
  AssetIndexUnreadable,
  JavaMissing,           // no Java fits the version; the Java download was offered
  DownloadsCancelled,    // ends silently; partial files stay for the next attempt
  Cancelled,             // the player stopped it before the downloads or the game: ends silently
  InstanceFolderRefused, // the instance's name cannot be a folder inside "Instance"
  GameFolderRefused,     // the game folder's path cannot stand on the class path
  Prepared,              // prepareOnly: everything in place, the game not started
  StartFailed,
  GameEnded,
};

struct LaunchResult {
  LaunchStatus status = LaunchStatus::NoInstance;
  std::vector<std::string> command;  // the game's argument vector, once built
  std::optional<int> exitStatus;     // GameEnded
};

// From the start button to the end of the game: sign-in for a genuine account (with the
// agent of an authlib-injector server made ready), the version description and asset index
// read (as the game folder holds them when every file is in place, and checked behind the
// game; otherwise brought up to date first), missing files fetched, the command built, the
// instance folder prepared and the game run, whose start is noted as the instance's last game.
// Reports through the sink, saying each step before it; every path finishes the loading
// indicator before it shows anything, and the player may stop it between the steps. Keeps the
// launch data of the last run (description, asset index, plan), as the launcher window does.
class LaunchSequence {
 public:
  LaunchSequence(std::string settingsPath, LaunchServices services,
                 const PlatformProfile& profile = PlatformProfile::Host());

  // Runs on the caller's thread. A second launch while one runs anywhere in the process is
  // refused with AlreadyRunning.
  LaunchResult Run(const LaunchRequest& request, LaunchSink& sink);

  static bool IsRunning() { return running_.load(); }
  // Between the game's start and its end.
  bool GameRunning() const { return gameRunning_.load(); }

  const VersionDescription& Description() const { return description_; }
  const AssetIndex& Assets() const { return assets_; }
  const std::vector<DownloadItem>& Plan() const { return plan_; }
  const JavaChoice& Java() const { return java_; }

  // Returns when the check of the documents that a launch from the game folder left running
  // behind the game has ended. A check under way when the sequence goes is abandoned.
  void WaitForDocumentCheck() { documentCheck_.Wait(); }

 private:
  LaunchResult RunSteps(const LaunchRequest& request, LaunchSink& sink);
  // The plan for the description and index in hand (the client jar made from another version's
  // first); a loader's repository is asked for missing checksums only when `askForChecksums`.
  std::vector<DownloadItem> MissingFiles(const std::string& gamePath, const DownloadSource& source,
                                         const std::string& versionId, bool askForChecksums);

  static std::atomic<bool> running_;
  std::atomic<bool> gameRunning_{false};
  std::string settingsPath_;
  LaunchServices services_;
  const PlatformProfile& profile_;
  VersionDescription description_;
  AssetIndex assets_;
  std::vector<DownloadItem> plan_;
  JavaChoice java_;
  // Last, so that it goes first: its thread uses the services.
  BackgroundMetadataCheck documentCheck_;
};

}  // namespace kv
