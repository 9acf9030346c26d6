#pragma once

#include <string>

// The gear of the launcher window: the settings dialog, and the player's name and account
// state shown again after a save; and the settings of one instance.
namespace kv {

class CFrameWnd;

void OpenSettings(CFrameWnd& frame);
// The settings dialog of the instance `instanceName`.
void OpenInstanceSettings(CFrameWnd& frame, const std::string& instanceName);

}  // namespace kv
