#pragma once

#include <string>

#include "install/download_source.h"
#include "meta/version_description.h"
#include "platform/java_source.h"
#include "platform/java_choice.h"
#include "play/launch_sink.h"
#include "settings/settings.h"

// Providing the Java a launch needs: the player's own when it runs, one the machine has, or the
// publisher's runtime for the version, downloaded through the sink's download window.
namespace kv {

struct JavaNeed {
  int major = 0;               // what the version names (its javaVersion), 0 for none
  std::string component;       // the publisher's runtime for the version
  std::string configuredPath;  // the Java the player chose; empty when the launcher chooses
  std::string settingsPath;    // where the player's choice is kept
  std::string launcherFolder;  // whose runtime folder the publisher's runtimes go into
  const DownloadSource* source = nullptr;
  const JavaRuntimeSource* java = nullptr;
};

// What a launch of `description` needs with the player's `settings` (their file's folder is the
// launcher folder), runtimes looked for in `java`.
JavaNeed JavaNeedFor(const VersionDescription& description, const CSettings& settings, const DownloadSource& source,
                     const JavaRuntimeSource& java);

enum class JavaProvided {
  Ready,      // the choice's path is the Java to start
  Missing,    // none fits, and none was downloaded (declined, or the publisher's cannot be had)
  Unusable,   // the player's Java does not run, and the player kept it
  Cancelled,  // the runtime's download was cancelled
  Failed,     // the runtime could not be installed; the sink has said why
};

struct ProvidedJava {
  JavaProvided outcome = JavaProvided::Missing;
  JavaChoice choice;
};

// The player's Java when it exists and runs (and fits, or says no version), else the Java the
// machine has that fits. Where none fits, the publisher's runtime of `need.component`: the sink
// is asked, and the runtime is downloaded and installed; where the publisher's index cannot be
// reached or offers none, the sink offers the updater's download instead. A player's Java that
// does not exist or cannot run is named with the Java that fits (found or downloadable), and
// given up for the launcher's choice only when the sink agrees.
ProvidedJava ProvideJava(const JavaNeed& need, LaunchSink& sink);

}  // namespace kv
