#pragma once

#include <string>

#include "platform/java_source.h"
#include "play/launch_sequence.h"

// What the launcher window works with: the settings file, the network services of a launch,
// where Java runtimes are looked for, where the updater lives and where the published
// launcher version is read. The program uses the defaults; tests point them elsewhere.
namespace kv {

struct FrameServices {
  std::string settingsPath;
  LaunchServices launch;
  const JavaRuntimeSource* java = nullptr;
  std::string updaterFolder;   // with a trailing separator
  std::string versionFileUrl;  // empty: no update check at start-up
  bool sendOpenEvent = true;   // the "open" statistics event at start-up

  // The launcher folder's settings, the configured services, the host's Java runtimes, the
  // updater beside the executable.
  static FrameServices Default();
};

// The address of the published launcher version on the maker's download server.
std::string VersionFileUrl();

}  // namespace kv
