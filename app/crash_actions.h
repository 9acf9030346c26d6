#pragma once

#include <string>

#include "crash/crash_action.h"

// What the crash notice's button does, in one place. The instance's Java and memory open the
// crashed instance's own settings; the runtime download opens the launcher's settings, where
// the Java runtimes are chosen.
namespace kv {

class CFrameWnd;

// The action the window offers for a crash of an instance of `versionId`: the mod page serves
// Forge versions only, and the mods folder stands in for it elsewhere.
CrashAction OfferedCrashAction(CrashAction action, const std::string& versionId);

// Runs on the GUI thread, after the notice has closed, for the crashed game: its instance and
// its game folder.
void RunCrashAction(CFrameWnd& frame, CrashAction action, const std::string& instanceName, const std::string& gameFolder);

}  // namespace kv
