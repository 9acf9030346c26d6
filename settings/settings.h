#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/java_source.h"
#include "settings/download_source_kind.h"
#include "settings/game_settings.h"

namespace kv {

// The launcher's settings, typed as they are read from the settings file ([KvCfg]). A
// short-lived value: every user builds one, loads it, reads what it needs and drops it. A save
// writes only the values that changed since the load, so the lines of values it did not
// change keep their bytes and what another process wrote meanwhile stays.
class CSettings {
 public:
  // Default: the settings file of the launcher folder.
  CSettings();
  explicit CSettings(std::string settingsPath);

  // Reads every value from the file, with the defaults for what is missing.
  void ReadFile();
  // ReadFile, then finds a Java runtime in `java` when no JavaPath is set (in memory only:
  // nothing is written).
  void Load(const JavaRuntimeSource& java = HostJavaSource());
  // Writes every value that differs from what was loaded or last saved; false when the file
  // could not be written.
  bool Save();
  // The account alone, as Load and Save have it: the name, the password, IsGenuine, AuthServer
  // and MsaClientId are read; all but IsGenuine are written.
  void LoadAccount();
  bool SaveAccount();

  const std::string& SettingsPath() const { return path_; }
  // The Java the player chose; empty when none is, also when Load found one.
  std::string ChosenJavaPath() const { return javaPathDiscovered ? std::string() : game.javaPath.value_or(""); }

  std::string userName;
  std::string password;
  bool isGenuine = false;
  std::string gamePath;
  // Java, memory and launch parameters. A memory size that is empty (or no number) in the
  // file has no value; the window size is never set here.
  GameSettings game;
  bool isShowCmd = false;
  // Whether the log window stays open when the game ends normally (it always stays after a
  // crash); the file holds it only once it has been set.
  bool isKeepLog = false;
  // Whether JavaPath is the runtime that Load found because the file names none.
  bool javaPathDiscovered = false;
  // Where the game's files come from; nothing (the key is absent, or names no source) means
  // the official source.
  std::optional<SourceKind> downloadSource;
  // How many files the downloads fetch at once, as the player wrote it (the download engine
  // keeps it within its bounds); nothing when the key is missing or is not a whole number.
  std::optional<int> downloadThreads;
  // The account server's address; empty for the built-in service; "microsoft" for a
  // Microsoft account (IsMicrosoftAccountChoice).
  std::string authServer;
  // The application id the Microsoft sign-in uses (MsaClientId); empty for the build's own.
  std::string msaClientId;

 private:
  // The file's text of each key, as the settings are now.
  std::map<std::string, std::optional<std::string>> Texts(bool everything) const;
  bool Write(bool everything);

  std::string path_;
  // The texts that the last load found or the last save wrote, by key; none for a missing key.
  std::map<std::string, std::optional<std::string>> loaded_;
};

// The AuthServer value that chooses a Microsoft account instead of an account server.
inline constexpr const char* kMicrosoftAuthServer = "microsoft";
// Whether the AuthServer setting chooses a Microsoft account (in any letter case).
bool IsMicrosoftAccountChoice(const std::string& authServer);
// The settings as the file states them, without looking for Java.
CSettings ReadSettings(const std::string& settingsPath);

// The default game folder beside the settings file: its folder followed by ".minecraft/".
std::string DefaultGameFolder(const std::string& settingsPath);

}  // namespace kv
