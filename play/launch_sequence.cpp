#include "play/launch_sequence.h"

#include "auth/stored_credentials.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/download_planning.h"
#include "launch/launch_command.h"
#include "platform/diagnostic_log.h"
#include "play/launch_inputs.h"
#include "settings/instance_folders.h"
#include "settings/settings.h"
#include "util/files.h"

namespace kv {

std::atomic<bool> LaunchSequence::running_{false};

LaunchSequence::LaunchSequence(std::string settingsPath, LaunchServices services,
                               const PlatformProfile& profile)
    : settingsPath_(std::move(settingsPath)), services_(std::move(services)), profile_(profile) {}

LaunchResult LaunchSequence::Run(const LaunchRequest& request, LaunchSink& sink) {
  if (running_.exchange(true)) {
    sink.FinishLoading();
    return {LaunchStatus::AlreadyRunning, {}, std::nullopt};
  }
  LaunchResult result = RunSteps(request, sink);
  running_.store(false);
  return result;
}

LaunchResult LaunchSequence::RunSteps(const LaunchRequest& request, LaunchSink& sink) {
  auto stop = [&sink](LaunchStatus status, const std::string& message, int kind) {
    sink.FinishLoading();
    if (!message.empty()) sink.ShowMessage(message, kind);
    return LaunchResult{status, {}, std::nullopt};
  };

  if (request.instanceVersion.empty()) return stop(LaunchStatus::NoInstance, "", 0);
  services_.sendStatsEvent("LaunchGame");

  CSettings settings(settingsPath_);
  settings.Load();
  const bool genuine = settings.isGenuine == "true";
  if (genuine) {
    std::string error;
    if (!SignInWithSettings(&error, settingsPath_, services_.postAuthenticate)) {
      return stop(LaunchStatus::SignInFailed, kSignInFailedPrefix + error, kMessageWarning);
    }
  }

  // A failed refresh keeps the file on disk; only a file that then cannot be read stops us.
  services_.fetchVersionDescription(settings.gamePath, request.instanceVersion);
  if (!ReadVersionDescription(settings.gamePath, request.instanceVersion, description_)) {
    return stop(LaunchStatus::VersionUnreadable, kVersionUnreadableText, kMessageError);
  }

  assetsName_ = description_.assets;
  if (assetsName_.empty()) {
    assets_ = AssetIndex{};
  } else {
    services_.fetchAssetIndex(settings.gamePath, assetsName_);
    if (!ReadAssetIndex(settings.gamePath, assetsName_, assets_)) {
      return stop(LaunchStatus::AssetIndexUnreadable, kAssetIndexUnreadableText, kMessageError);
    }
  }

  plan_ = PlanDownloads(settings.gamePath, request.instanceVersion, description_, assets_, profile_,
                        NativeBitness());
  if (!plan_.empty()) {
    sink.FinishLoading();
    if (sink.RunDownloads(plan_) != 1) return stop(LaunchStatus::DownloadsCancelled, "", 0);
  }

  StoredCredentials credentials;
  if (genuine) {
    InitStoredCredentials(credentials, settingsPath_);
    LoadStoredCredentials(credentials);
  }
  LaunchInputs inputs = MakeLaunchInputs(settings, genuine ? &credentials : nullptr, request.instanceName);
  LaunchCommand command;
  std::string refused;
  if (!BuildLaunchCommand(description_, inputs, profile_, NativeBitness(), command, refused)) {
    LogLine(LogLevel::Error, "Refused to build a path from \"" + refused + "\"");
    return stop(LaunchStatus::VersionUnreadable, kVersionUnreadableText, kMessageError);
  }

  // The instance folder is the game's working folder. A name edited into the settings file by
  // hand must not put it (and the options file written there) anywhere else.
  std::string folder = InstanceFolder(settings.gamePath, request.instanceName);
  if (!IsStrictlyInside(folder, InstancesRoot(settings.gamePath))) {
    return stop(LaunchStatus::InstanceFolderRefused, kInstanceFolderRefusedText, kMessageError);
  }
  MakeFoldersForPath(folder);
  WriteDefaultOptions("zh_CN", folder + "options.txt");
  const bool showLog = request.showOutput.value_or(settings.isShowCmd == "true");

  sink.FinishLoading();
  LaunchResult result{LaunchStatus::Prepared, command.arguments, std::nullopt};
  if (request.prepareOnly) return result;
  result.exitStatus = RunGameProcess(command.arguments, folder, showLog, sink);
  result.status = result.exitStatus ? LaunchStatus::GameEnded : LaunchStatus::StartFailed;
  return result;
}

}  // namespace kv
