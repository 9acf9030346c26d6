#pragma once

#include <optional>
#include <string>

#include "platform/java_source.h"

namespace kv {

// The player's settings as the text that stands in the settings file. A short-lived value:
// every user builds one, loads it, reads what it needs and drops it; only the settings
// dialog saves. Flags are the texts "true" and "false", compared exactly.
class CSettings {
 public:
  // Default: the settings file of the launcher folder.
  CSettings();
  explicit CSettings(std::string settingsPath);

  // Fills every value from the file, with the defaults for what is missing; finds a Java
  // runtime in `java` when no JavaPath is set (in memory only: nothing is written).
  void Load(const JavaRuntimeSource& java = HostJavaSource());
  // Writes every value; false when the file could not be written.
  bool Save() const;
  // The account alone, as Load and Save have it: the name, the password, IsGenuine and
  // AuthServer are read; the name, the password and AuthServer are written.
  void LoadAccount();
  bool SaveAccount() const;

  const std::string& SettingsPath() const { return path_; }

  std::string userName;
  std::string password;
  std::string isGenuine;
  std::string javaPath;
  std::string gamePath;
  std::string jvmMemoryMin;
  std::string jvmMemoryMax;
  std::string launchParameters;
  std::string javaVer;
  std::string isAutoMallocMemory;
  std::string isShowCmd;
  // Whether the log window stays open when the game ends normally (it always stays after a
  // crash); the file holds it only once it has been set.
  std::string isKeepLog = "false";
  // Whether JavaPath is the runtime that Load found because the file names none.
  bool javaPathDiscovered = false;
  // Where the game's files come from: "official", "bmclapi" or "mirror"; empty (the key is
  // absent) means "official".
  std::string downloadSource;
  // The account server's address; empty for the built-in service.
  std::string authServer;

 private:
  std::string Read(const char* key, const char* fallback) const;
  // Every value, or the account's alone.
  bool Write(bool everything) const;

  std::string path_;
};

// The default game folder beside the settings file: its folder followed by ".minecraft/".
std::string DefaultGameFolder(const std::string& settingsPath);

// How many files the downloads fetch at once (`DownloadThreads`), as the player wrote it; the
// download engine keeps it within its bounds. Nothing when the key is missing or is not a
// whole number, which leaves the engine's default.
std::optional<int> ReadDownloadThreads(const std::string& settingsPath);

// The game folder alone, as Load gives it (without looking for Java).
std::string LoadGamePath(const std::string& settingsPath);

// The DownloadSource setting alone, as Load gives it.
std::string LoadDownloadSource(const std::string& settingsPath);

}  // namespace kv
