#pragma once

#include <string>

#include "crash/crash_action.h"

// What the crash notice's button does, in one place. The instance's own Java and memory
// settings and the runtime download open the settings dialog, where the launcher keeps Java and
// memory today; they are pointed at their own dialogs here once those exist.
namespace kv {

class CFrameWnd;

// The action the window offers for a crash of an instance of `versionId`: the mod page serves
// Forge versions only, and the mods folder stands in for it elsewhere.
CrashAction OfferedCrashAction(CrashAction action, const std::string& versionId);

// Runs on the GUI thread, after the notice has closed. `gameFolder` is the crashed game's.
void RunCrashAction(CFrameWnd& frame, CrashAction action, const std::string& gameFolder);

}  // namespace kv
