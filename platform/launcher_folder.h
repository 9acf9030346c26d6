#pragma once

#include <string>

namespace kv {

// The folder of the running executable, with a trailing separator. Companion programs (the
// package tool, the updater) are found here.
std::string GetExecutableFolder();

// Where the launcher keeps everything (settings file, default game folder, instances), with a
// trailing separator, always absolute: KORVANE_HOME when set (relative to the current folder), else the executable's folder when it is
// writable (a portable install), else $XDG_DATA_HOME/korvane/ (~/.local/share/korvane/),
// created on first use.
std::string GetLauncherFolder();

// The settings file in the launcher folder.
std::string SettingsFilePath();

// Where the launcher keeps the Java runtimes it downloads, one folder per runtime: the
// launcher folder's "runtime/", with a trailing separator.
std::string LauncherRuntimesFolder(const std::string& launcherFolder);

}  // namespace kv
