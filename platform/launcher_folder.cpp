#include "platform/launcher_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/files.h"

namespace kv {
namespace {

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsWritableFolder(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string GetExecutableFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSeparator(std::filesystem::current_path(error).string());
  return WithTrailingSeparator(exe.parent_path().string());
}

std::string GetLauncherFolder() {
  if (const char* home = std::getenv("KORVANE_HOME"); home != nullptr && *home != '\0') {
    // Every path built from the launcher folder reaches the game, which runs in its instance
    // folder: a relative folder would mean something else there.
    std::error_code error;
    std::string folder = WithTrailingSeparator(std::filesystem::absolute(home, error).lexically_normal().string());
    MakeFoldersForPath(folder);
    return folder;
  }
  std::string exeFolder = GetExecutableFolder();
  if (IsWritableFolder(exeFolder)) return exeFolder;
  std::string data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    data = WithTrailingSeparator(xdg);
  } else if (const char* user = std::getenv("HOME"); user != nullptr && *user != '\0') {
    data = WithTrailingSeparator(user) + ".local/share/";
  } else {
    return exeFolder;
  }
  std::string folder = data + "korvane/";
  MakeFoldersForPath(folder);
  return folder;
}

std::string SettingsFilePath() { return GetLauncherFolder() + "KvCfg.ini"; }

std::string LauncherRuntimesFolder(const std::string& launcherFolder) { return launcherFolder + "runtime/"; }

}  // namespace kv
