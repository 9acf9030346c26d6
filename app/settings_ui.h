#pragma once

// The gear of the launcher window: the settings dialog, and the player's name and account
// state shown again after a save.
namespace kv {

class CFrameWnd;

void OpenSettings(CFrameWnd& frame);

}  // namespace kv
