#pragma once

#include <optional>
#include <string_view>

// What a crash notice offers the player to do about the cause it names. The table of causes
// names actions by id; the launcher window turns each into a button that opens the right
// place, korvane-cli only names them.
namespace kv {

enum class CrashAction {
  None,
  InstanceJavaSettings,    // the instance's Java runtime and JVM arguments
  DownloadRuntime,         // fetch the Java runtime the game needs
  InstanceMemorySettings,  // the instance's memory
  ModPage,                 // the mod page of the launcher window
  ModsFolder,              // the instance's mods folder
};

// The action of an id in the table ("" is None); nothing for an id this launcher does not know.
std::optional<CrashAction> CrashActionFromId(std::string_view id);

// The button's text; empty for None.
std::string_view CrashActionLabel(CrashAction action);

}  // namespace kv
