#include "play/launch_sequence.h"

#include <chrono>
#include <filesystem>

#include "auth/microsoft_services.h"
#include "auth/microsoft_sign_in.h"
#include "auth/sign_in.h"
#include "auth/stored_credentials.h"
#include "game/game_files.h"
#include "game/game_layout.h"
#include "install/cached_metadata.h"
#include "install/download_planning.h"
#include "install/legacy_assets.h"
#include "install/metadata_refresh.h"
#include "launch/launch_command.h"
#include "platform/diagnostic_log.h"
#include "play/game_crash.h"
#include "play/java_provision.h"
#include "play/launch_inputs.h"
#include "play/version_messages.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/instance_settings.h"
#include "settings/settings.h"
#include "util/files.h"
#include "util/messages.h"

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
  // However the steps end, a thrown exception included, the next launch may run.
  struct RunningFlag {
    ~RunningFlag() { running_.store(false); }
  } clearedOnExit;
  return RunSteps(request, sink);
}

LaunchStatus LaunchSequence::ProvideLaunchJava(const CSettings& settings, const DownloadSource& source, LaunchSink& sink) {
  const ProvidedJava provided = ProvideJava(JavaNeedFor(description_, settings, source, *services_.java), sink);
  java_ = provided.choice;
  switch (provided.outcome) {
    case JavaProvided::Ready:
      return LaunchStatus::Prepared;
    case JavaProvided::Missing:
      return LaunchStatus::JavaMissing;
    case JavaProvided::Unusable:
      return LaunchStatus::JavaUnusable;
    case JavaProvided::Cancelled:
      return LaunchStatus::DownloadsCancelled;
    case JavaProvided::Failed:
      return LaunchStatus::JavaDownloadFailed;
  }
  return LaunchStatus::JavaMissing;
}

LaunchResult LaunchSequence::RunSteps(const LaunchRequest& request, LaunchSink& sink) {
  auto stop = [&sink](LaunchStatus status, const std::string& message = {}, MessageKind kind = MessageKind::Error) {
    sink.FinishLoading();
    if (!message.empty()) sink.ShowMessage(message, kind);
    return LaunchResult{status, {}, std::nullopt};
  };

  if (request.instanceVersion.empty()) return stop(LaunchStatus::NoInstance);
  services_.sendStatsEvent("LaunchGame");

  CSettings settings(settingsPath_);
  settings.Load(*services_.java);
  ApplyInstanceSettings(settings, request.instanceName);
  const bool genuine = settings.isGenuine;
  const bool withMicrosoft = genuine && IsMicrosoftAccountChoice(settings.authServer);
  const std::string clientId = microsoft::ClientId(settings.msaClientId);
  std::vector<std::string> agentArguments;
  MicrosoftAccount microsoftAccount;
  if (withMicrosoft) {
    Result<MicrosoftAccount> account = MicrosoftAccountForLaunch(MicrosoftAccountPath(settingsPath_), clientId,
                                                                 services_.account, std::chrono::system_clock::now());
    if (!account) {
      return stop(LaunchStatus::SignInFailed, msg::kSignInFailedPrefix + account.message(), MessageKind::Warning);
    }
    microsoftAccount = std::move(*account);
  } else if (genuine) {
    const auto chooseProfile = [&sink](const std::vector<GameProfile>& profiles) {
      std::vector<std::string> names;
      for (const GameProfile& profile : profiles) names.push_back(profile.name);
      sink.FinishLoading();
      return sink.ChooseProfile(names);
    };
    sink.ShowStage(msg::kStageSigningIn);
    const Result<SignedIn> signIn = SignInForLaunch(settings, services_.account, chooseProfile);
    if (!signIn) {
      return stop(LaunchStatus::SignInFailed, msg::kSignInFailedPrefix + signIn.message(), MessageKind::Warning);
    }
    // The game accepts an authlib-injector server's players only with its agent.
    if (signIn->server.kind == AccountServerKind::AuthlibInjector) {
      sink.ShowStage(msg::kStageFetchingAgent);
      const AgentJarResult agent = services_.provideAgent(settingsPath_);
      if (agent.path.empty()) return stop(LaunchStatus::AgentUnavailable, agent.error, MessageKind::Error);
      agentArguments = AgentJvmArguments(agent.path, signIn->server);
    }
  }

  if (sink.CancelRequested()) return stop(LaunchStatus::Cancelled);

  const DownloadSource source = DownloadSource::Configured(settings.downloadSource);
  sink.ShowStage(msg::StageCheckingVersion(request.instanceVersion));
  // A version whose files are all in place starts from what the game folder holds, and its
  // documents are checked behind the game: a newer one counts from the next launch on. A
  // version that lacks anything checks them first, since what it fetches depends on them.
  const bool cached =
      ReadMetadataOnDisk(settings.gamePath, request.instanceVersion, description_, assets_) == MetadataState::Ready &&
      MissingFiles(settings.gamePath, source, request.instanceVersion, false).empty();
  if (!cached) {
    // The check of an earlier launch would only repeat what this one does now.
    documentCheck_.Abandon();
    InheritanceResult chain;
    switch (RefreshAndReadMetadata(source, settings.gamePath, request.instanceVersion, services_.metadata,
                                   description_, assets_, chain)) {
      case MetadataState::DescriptionUnreadable:
        return stop(LaunchStatus::VersionUnreadable, VersionFailureMessage(chain), MessageKind::Error);
      case MetadataState::AssetIndexUnreadable:
        return stop(LaunchStatus::AssetIndexUnreadable, msg::kAssetIndexUnreadable, MessageKind::Error);
      case MetadataState::Ready:
        break;
    }
  }
  if (sink.CancelRequested()) return stop(LaunchStatus::Cancelled);

  // Without a Java that fits there is nothing to start: no file is fetched for it.
  if (const LaunchStatus refused = ProvideLaunchJava(settings, source, sink); refused != LaunchStatus::Prepared) {
    return {refused, {}, std::nullopt};
  }
  LogLine(LogLevel::Info, "Java " + java_.path + ": " + java_.reason);

  sink.ShowStage(msg::kStageCheckingFiles);
  plan_ = cached ? std::vector<DownloadItem>{} : MissingFiles(settings.gamePath, source, request.instanceVersion, true);
  if (sink.CancelRequested()) return stop(LaunchStatus::Cancelled);
  // The command tells the game where the plan put the assets.
  const bool legacyAssets = UsesLegacyAssetTree(source, request.instanceVersion, description_.assets, assets_);
  if (!plan_.empty()) {
    sink.FinishLoading();
    if (sink.RunDownloads(plan_) != DownloadResult::Completed) {
      return stop(LaunchStatus::DownloadsCancelled);
    }
  }

  StoredCredentials credentials;
  const bool withServer = genuine && !withMicrosoft;
  if (withServer) {
    InitStoredCredentials(credentials, settingsPath_);
    LoadStoredCredentials(credentials);
  }
  LaunchInputs inputs = MakeLaunchInputs(settings, withServer ? &credentials : nullptr, request.instanceName, profile_);
  if (withMicrosoft) UseMicrosoftAccount(inputs, microsoftAccount, clientId);
  inputs.javaPath = java_.path;
  inputs.legacyAssets = legacyAssets;
  inputs.logConfigPath = LogConfigInPlace(inputs.gamePath, description_);
  inputs.leadingJvmArguments = agentArguments;
  const LaunchCommandResult built = BuildLaunchCommand(description_, inputs, profile_, NativeBitness());
  if (built.refusal == LaunchCommandResult::Refusal::GameFolderSplitsClassPath) {
    return stop(LaunchStatus::GameFolderRefused, msg::GameFolderSplitsClassPath(settings.gamePath));
  }
  if (!built.command) {
    LogLine(LogLevel::Error, "Refused to build a path from \"" + built.refused + "\"");
    return stop(LaunchStatus::VersionUnreadable, msg::kVersionUnreadable, MessageKind::Error);
  }
  const LaunchCommand& command = *built.command;

  // The instance folder is the game's working folder. A name edited into the settings file by
  // hand must not put it (and the options file written there) anywhere else.
  std::string folder = InstanceFolder(settings.gamePath, request.instanceName);
  if (!IsStrictlyInside(folder, InstancesRoot(settings.gamePath))) {
    return stop(LaunchStatus::InstanceFolderRefused, msg::kInstanceFolderRefused, MessageKind::Error);
  }
  MakeFoldersForPath(folder);
  WriteDefaultOptions("zh_CN", folder + "options.txt");
  // The game unpacks natives into its natives folder, which must be there even when nothing
  // has been unpacked into it yet.
  for (const std::string& natives : command.nativesFolders) MakeFoldersForPath(natives + profile_.separator);
  // The published indexes of older versions leave the legacy tree to be made from the objects.
  if (legacyAssets && !source.UsesMirrorLayout()) BuildLegacyAssetTree(settings.gamePath, assets_, folder + "resources/");
  const bool showLog = request.showOutput.value_or(settings.isShowCmd);
  const bool keepLog = settings.isKeepLog;

  // Begun only now that the game is about to start, the check takes nothing from the launch's
  // own steps.
  if (cached) documentCheck_.Start(source, settings.gamePath, request.instanceVersion, description_, services_.metadata);
  sink.FinishLoading();
  LaunchResult result{LaunchStatus::Prepared, command.arguments, std::nullopt};
  if (request.prepareOnly) return result;
  gameRunning_.store(true);
  // What the game writes from here on (crash reports, fatal error logs) is this run's.
  const auto started = std::filesystem::file_time_type::clock::now();
  const auto startedAt = std::chrono::system_clock::now();
  const GameRun run = RunGameProcess(command.arguments, folder, showLog, sink, keepLog);
  gameRunning_.store(false);
  // A game that started counts as played, however it ended; a settings file that cannot be
  // written loses only this note.
  if (run.exitStatus) CInstanceList(settingsPath_, false).SetLastPlayed(request.instanceName, startedAt);
  result.exitStatus = run.exitStatus;
  result.status = run.exitStatus ? LaunchStatus::GameEnded : LaunchStatus::StartFailed;
  if (run.exitStatus.value_or(0) != 0) {
    sink.ShowGameCrash(DescribeGameCrash(run, folder, request.instanceVersion, started));
  }
  return result;
}

std::vector<DownloadItem> LaunchSequence::MissingFiles(const std::string& gamePath, const DownloadSource& source,
                                                      const std::string& versionId, bool askForChecksums) {
  ProvideClientJar(gamePath, description_);
  return PlanDownloads(gamePath, description_, assets_, source,
                       {.profile = profile_,
                        .bitness = NativeBitness(),
                        .osVersion = HostOsVersion(),
                        .legacyAssets = UsesLegacyAssetTree(source, versionId, description_.assets, assets_),
                        .publishedChecksum = askForChecksums ? services_.publishedChecksum : nullptr});
}

}  // namespace kv
