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
  // JVM arguments that go ahead of every other one, as they stand: the account server's agent.
  std::vector<std::string> leadingJvmArguments;
  // Where the game finds its assets: the legacy tree or the object store (see UsesLegacyAssets),
  // decided once for a launch, for its downloads and its command alike.
  bool legacyAssets = false;
  // From the settings: memory options are written only when isAutoMallocMemory is exactly
  // "false"; launchParameters are extra Java arguments, split into words like a shell does.
  std::string isAutoMallocMemory = "true";
  std::string jvmMemoryMin;
  std::string jvmMemoryMax;
  std::string launchParameters;
};

struct LaunchCommand {
  // One line. Windows: the whole command in one pair of double quotes, for Cmd.exe /C; pieces
  // with a blank are put in double quotes. Linux: the same line without the outer quotes,
  // for showing to the player.
  std::string text;
  // The same pieces as separate arguments, nothing quoted, to execute without a shell: java,
  // the leading JVM arguments, memory options, the extra Java arguments, -Djava.library.path=..., -cp, the class path,
  // the main class, then the game arguments. The argument template is split on blanks before
  // the placeholders are filled, so a value with blanks stays one argument.
  std::vector<std::string> arguments;
};

// Builds the command for the libraries the profile uses. Each placeholder of the template
// (${auth_player_name}, ${version_name}, ${game_directory}, ${assets_root} or
// ${game_assets}, ${assets_index_name}, ${auth_uuid}, ${auth_access_token},
// ${user_properties}, ${user_type}) has only its first occurrence filled, "{}" for an empty
// value; values already filled in are never searched for placeholders again.
//
// No command when the version id or the coordinate of a used library is unsafe to build a
// path from (IsSafeVersionId, IsSafeLibraryCoordinate) or would put the profile's class-path
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
