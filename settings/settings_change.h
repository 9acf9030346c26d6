#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "util/result.h"

// Changing the player's settings: the checks every value passes before the settings are
// saved, and the rules that apply when a value is chosen. The settings dialog and korvane-cli
// share them, so both refuse the same things with the same words.
namespace kv {

inline constexpr std::size_t kMaxUserNameLength = 50;
inline constexpr int kMaxWindowSize = 16384;

// Why the settings cannot be saved as they stand, for the player (naming the field); empty
// when they can. Among the reasons: text the settings file cannot keep, a heap size above the
// machine's memory (`machineMemoryMb`, PhysicalMemoryMb; not checked when unknown), and heap
// sizes the Java runtime would refuse to start with (with automatic memory off: a size
// missing, a maximum of 0, a minimum above the maximum).
std::string CheckSettings(const CSettings& settings, std::optional<int> machineMemoryMb);

// The same checks for game settings: `values` as they are in force, saved to `settingsPath`.
std::string CheckGameSettings(const GameSettings& values, const std::string& settingsPath,
                              std::optional<int> machineMemoryMb);

// The game folder inside a folder the player chose: `chosen` followed by ".minecraft" and a
// separator, with exactly one separator in between.
std::string GameFolderInside(std::string chosen, char separator);

// True when saving `newGamePath` over `oldGamePath` leaves the folders of the registered
// instances behind: they live beside the game folder ("../Instance/"), so another game folder
// shows other instance folders.
bool LeavesInstanceFoldersBehind(const std::string& settingsPath, const std::string& oldGamePath,
                                 const std::string& newGamePath);

// Creates the game folder with every missing folder above it; false when it does not exist
// afterwards.
bool CreateGameFolder(const std::string& gamePath);

// A player's password and account name belong to the account server they were given for:
// when the AuthServer setting names another server, they are not carried over to it, so that
// nothing given for one server is ever sent to another and the player signs in again there.

// Whether the AuthServer setting `next` names another server than `previous` (trailing
// slashes aside; empty names the built-in service).
bool IsOtherAccountServer(const std::string& previous, const std::string& next);

// The account values the player gave along with a new account server; those stay.
struct GivenWithServer {
  bool name = false;
  bool password = false;
};

// In `settings`, whose AuthServer setting was `previous`: when it names another server now,
// clears the password and, for a genuine account, the name, each unless `given` anew. True
// when it cleared anything: the account must sign in again before it can be used.
bool ForgetAccountOfPreviousServer(CSettings& settings, const std::string& previous, GivenWithServer given = {});

// Makes `address` the account server, as a link dropped on the launcher window does, with the
// account values cleared as above; the other settings are left alone. True when account values
// were cleared; Io when the file could not be written.
Result<bool> ChangeAuthServer(const std::string& settingsPath, const std::string& address);

// Leaves the choice of Java to the launcher from now on: JavaPath and JavaVer emptied in the
// file, every other value as it is. Io when the file could not be written.
Status ChooseJavaAutomatically(const std::string& settingsPath);

// Sets one value by the name the settings file gives it (any letter case): UserName, PWD,
// IsGenuine, JavaPath, GamePath, JVMMemoryMin, JVMMemoryMax, LaunchParameters,
// IsAutoMallocMemory, IsShowCmd, IsKeepLog, AuthServer, MsaClientId, DownloadSource (one of
// the source names, or empty for the default). Flags are "true" or "false", memory sizes whole
// numbers of MB (empty for none). A JavaPath must lead to a Java runtime (the program may be
// run to learn that) and brings its JavaVer along; an empty one leaves the choice to the
// launcher; a GamePath is made absolute and ends in a separator. Invalid, with the player's reason, for an unknown key or such a refusal.
Status SetSettingByKey(CSettings& settings, std::string_view key, const std::string& value);

// The same for the game settings' keys (JavaPath, IsAutoMallocMemory, JVMMemoryMin,
// JVMMemoryMax, LaunchParameters, and for an instance WindowWidth and WindowHeight: whole
// numbers of pixels, empty for none). NotFound for a key that is none of them.
Status SetGameSettingByKey(GameSettings& values, std::string_view key, const std::string& value, bool forInstance);

// Unsets one of the game settings' keys (JavaPath with its JavaVer), so that an instance's
// value follows the launcher's again. NotFound for a key that is none of them.
Status FollowLauncherSetting(GameSettings& values, std::string_view key);

}  // namespace kv
