#pragma once

#include <functional>
#include <memory>
#include <string>

#include "dialogs/add_instance_wnd.h"
#include "dialogs/file_pickers.h"

#include "loader/loader_services.h"
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
  std::string packageToolFolder;  // where qrx is, with a trailing separator
  // Opens a web address with the desktop's handler; false when nothing could open it.
  std::function<bool(const std::string& address)> openUrl;
  // Shows a folder in the desktop's file manager; false when nothing could show it.
  std::function<bool(const std::string& folder)> openFolder;
  std::string versionFileUrl;  // empty: no update check at start-up
  bool sendOpenEvent = true;   // the "open" statistics event at start-up
  VersionListRefresh refreshVersionList;  // the add-instance dialog's version list
  LoaderServices loaders;                 // the add-instance dialog's loaders
  std::shared_ptr<FilePickers> pickers;   // the settings dialog's program and folder pickers

  // The launcher folder's settings, the configured services, the host's Java runtimes, the
  // updater and the package tool beside the executable, the desktop's browser and file
  // manager, the mirror's version list, the loaders of the configured download source and Qt's
  // file dialogs.
  static FrameServices Default();
};

// The address of the published launcher version on the maker's download server.
std::string VersionFileUrl();

}  // namespace kv
