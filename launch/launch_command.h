#pragma once

#include <optional>
#include <string>
#include <vector>

#include "meta/version_description.h"
#include "platform/platform_profile.h"

// The command that starts the game.
namespace kv {

struct LaunchInputs {
  std::string javaPath;
  std::string playerName;
  std::string gamePath;
  std::string instanceName;
  std::string playerId;         // empty offline
  std::string accessToken;      // empty offline
  std::string userProperties;   // always empty
  std::string userType;         // "legacy" offline
  std::string xuid;             // a Microsoft account's Xbox user id; empty otherwise
  std::string clientId;         // the Microsoft sign-in's application id; empty otherwise
  // JVM arguments that go ahead of every other one, as they stand: the account server's agent.
  std::vector<std::string> leadingJvmArguments;
  // Where the game finds its assets: the legacy tree or the object store (see UsesLegacyAssets),
  // decided once for a launch, for its downloads and its command alike.
  bool legacyAssets = false;
  // The system's version, which rules may ask for (os.version).
  std::string osVersion;
  // The launcher as the game is told it (${launcher_name}, ${launcher_version}).
  std::string launcherName = "Korvane";
  std::string launcherVersion;
  // The log configuration in the game folder (LogConfigPath): its argument is added when set.
  std::string logConfigPath;
  // From the settings: with automatic memory off, each heap size (MB) that is given becomes
  // its option; launchParameters are extra Java arguments, split into words like a shell does.
  bool autoMemory = true;
  std::optional<int> memoryMin;
  std::optional<int> memoryMax;
  std::string launchParameters;
  // The game window's size in pixels; with either given, the launch's custom resolution is on
  // and the other is the game's own default (854 by 480).
  std::optional<int> windowWidth;
  std::optional<int> windowHeight;
};

struct LaunchCommand {
  // One line. Windows: the whole command in one pair of double quotes, for Cmd.exe /C; pieces
  // with a blank are put in double quotes. Linux: the same line without the outer quotes,
  // for showing to the player.
  std::string text;
  // The same pieces as separate arguments, nothing quoted, to execute without a shell: java,
  // the leading JVM arguments (an account server's agent), memory options, the extra Java
  // arguments, the Java arguments of the description (without any: -Djava.library.path=...,
  // -cp and the class path), the log configuration's argument,
  // the main class, then the game arguments. The argument template is split on blanks before
  // the placeholders are filled, so a value with blanks stays one argument.
  std::vector<std::string> arguments;
  // Where the game loads its native libraries from (java.library.path, ${natives_directory}):
  // the folders that native libraries are unpacked into, or the version's own natives folder
  // when none is (VersionNativesFolder). The launch makes them before the game starts.
  std::vector<std::string> nativesFolders;
};

// Builds the command for the libraries the profile uses (their rules evaluated as
// HonoursLibraryRules says). The placeholders: ${auth_player_name}, ${version_name},
// ${game_directory}, ${assets_root} or ${game_assets}, ${assets_index_name}, ${auth_uuid},
// ${auth_access_token}, ${user_properties}, ${user_type} ("{}" for an empty value), and
// ${version_type}, ${clientid}, ${auth_xuid} (empty but for a Microsoft account), ${natives_directory},
// ${launcher_name}, ${launcher_version}, ${classpath}, ${classpath_separator},
// ${library_directory}, ${resolution_width}, ${resolution_height} (the window size, empty
// without one). In the older template only the first occurrence of each is filled; in the
// argument lists of today's form every occurrence is, and only the entries whose rules allow
// them on this system count (of the launch features only the custom resolution is ever on,
// when a window size is given: no demo, no quick play). Values
// already filled in are never searched for placeholders again; unknown placeholders stay.
//
// No command when the version id or the coordinate of a used library is unsafe to build a
// path from (IsSafeVersionId, IsSafeLibrary) or would put the profile's class-path
// separator into a library path, or when the game folder itself holds that separator (it
// would split every library path on the class path); `refused` then names the offending text.
struct LaunchCommandResult {
  enum class Refusal { None, UnsafeName, GameFolderSplitsClassPath };
  std::optional<LaunchCommand> command;
  std::string refused;
  Refusal refusal = Refusal::None;
};
LaunchCommandResult BuildLaunchCommand(const VersionDescription& description, const LaunchInputs& inputs,
                                       const PlatformProfile& profile, int bitness);

}  // namespace kv
