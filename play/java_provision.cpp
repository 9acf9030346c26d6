#include "play/java_provision.h"

#include "install/java_runtime_install.h"
#include "platform/diagnostic_log.h"
#include "settings/settings_change.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

// The publisher's runtime of the needed component, when its index can be reached and offers it.
std::optional<PublishedRuntime> OfferedRuntime(const JavaNeed& need, LaunchSink& sink) {
  sink.ShowStage(msg::kStageLookingForRuntime);
  const std::string platform = HostRuntimePlatform();
  Result<std::vector<PublishedRuntime>> offered = FetchRuntimeIndex(*need.source, platform);
  if (!offered) {
    LogLine(LogLevel::Warning, "No Java runtime index: " + offered.message());
    return std::nullopt;
  }
  const PublishedRuntime* runtime = FindRuntime(*offered, need.component);
  if (runtime == nullptr) {
    LogLine(LogLevel::Warning, msg::RuntimeNotOffered(need.component, platform));
    return std::nullopt;
  }
  return *runtime;
}

// Installs `runtime` with the sink's downloads; on success `choice` names its java.
JavaProvided Install(const JavaNeed& need, const PublishedRuntime& runtime, JavaChoice& choice, LaunchSink& sink) {
  Result<RuntimeInstall> install = RuntimeInstall::Plan(*need.source, need.launcherFolder, runtime);
  if (!install) {
    sink.ShowMessage(install.message(), MessageKind::Error);
    return JavaProvided::Failed;
  }
  switch (sink.RunDownloads(install->Downloads())) {
    case DownloadResult::Completed:
      break;
    case DownloadResult::Cancelled:
      return JavaProvided::Cancelled;
    case DownloadResult::Failed:
      return JavaProvided::Failed;  // the sink has shown which file failed
  }
  Result<std::string> java = install->Complete();
  if (!java) {
    sink.ShowMessage(java.message(), MessageKind::Error);
    return JavaProvided::Failed;
  }
  choice.path = *java;
  choice.reason = msg::JavaFromRuntime(JavaMajorVersion(runtime.versionName), choice.requiredMajor);
  return JavaProvided::Ready;
}

// The player's Java does not run: named, with what fits instead, and replaced only when the
// player agrees.
ProvidedJava ReplaceUnusableJava(const JavaNeed& need, const std::string& problem, LaunchSink& sink) {
  ProvidedJava provided{JavaProvided::Unusable, ChooseJava(need.major, "", *need.java)};
  JavaChoice& choice = provided.choice;
  std::string text = msg::JavaUnusable(need.configuredPath, problem) + "\n";
  std::optional<PublishedRuntime> runtime;
  if (!choice.path.empty()) {
    text += msg::FittingJavaFound(choice.requiredMajor, JavaMajorVersion(need.java->VersionOf(choice.path)), choice.path);
  } else if ((runtime = OfferedRuntime(need, sink))) {
    text += msg::FittingJavaDownloadable(choice.requiredMajor);
  } else {
    sink.FinishLoading();
    sink.OfferJavaDownload(text + choice.reason);
    return provided;
  }
  sink.FinishLoading();
  if (!sink.ConfirmJavaReplacement(text)) return provided;
  if (Status saved = ChooseJavaAutomatically(need.settingsPath); !saved) {
    LogLine(LogLevel::Warning, "Could not leave the choice of Java to the launcher: " + saved.message());
  }
  provided.outcome = runtime ? Install(need, *runtime, choice, sink) : JavaProvided::Ready;
  return provided;
}

}  // namespace

JavaNeed JavaNeedFor(const VersionDescription& description, const CSettings& settings, const DownloadSource& source,
                     const JavaRuntimeSource& java) {
  std::string launcherFolder;
  std::string settingsName;
  SplitPath(settings.SettingsPath(), launcherFolder, settingsName);
  return {.major = description.javaMajorVersion,
          .component = RuntimeComponentFor(description),
          .configuredPath = settings.ChosenJavaPath(),
          .settingsPath = settings.SettingsPath(),
          .launcherFolder = launcherFolder,
          .source = &source,
          .java = &java};
}

ProvidedJava ProvideJava(const JavaNeed& need, LaunchSink& sink) {
  if (!need.configuredPath.empty()) {
    // Started once with -version when no release file speaks for it: a program that cannot
    // start would otherwise end the launch without a word.
    Result<JavaRuntime> configured = InspectJavaProgram(need.configuredPath);
    if (!configured) return ReplaceUnusableJava(need, configured.message(), sink);
  }
  ProvidedJava provided{JavaProvided::Ready, ChooseJava(need.major, need.configuredPath, *need.java)};
  JavaChoice& choice = provided.choice;
  if (!choice.path.empty()) return provided;

  provided.outcome = JavaProvided::Missing;
  const std::optional<PublishedRuntime> runtime = OfferedRuntime(need, sink);
  sink.FinishLoading();
  if (!runtime) {
    // Nothing at all on the machine reads as it always has.
    const bool noJavaAtAll = need.configuredPath.empty() && need.java->Runtimes().empty();
    sink.OfferJavaDownload(noJavaAtAll ? msg::kJavaNotFound : choice.reason);
    return provided;
  }
  if (!sink.ConfirmRuntimeDownload(choice.requiredMajor, runtime->component)) return provided;
  provided.outcome = Install(need, *runtime, choice, sink);
  return provided;
}

}  // namespace kv
