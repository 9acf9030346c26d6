#pragma once

#include "uilib/ui_types.h"

namespace kv::ui {
class CContainerUI;
class CPaintManagerUI;
}  // namespace kv::ui

// The keys of the tile column on the game page. The arrows move the focus from tile to tile
// (left and right by one, up and down by a row) and select the instance of the tile they reach;
// Enter on an instance's tile, or on the selected tile while nothing has the focus, starts it.
// The add tile takes its Enter itself, as any button does.
namespace kv {

enum class TileKeyResult {
  kNotForTiles,  // the key or the focus is elsewhere
  kMoved,        // the focus moved (or stayed at the end of the column)
  kStart,        // start the selected instance
};

TileKeyResult HandleTileKey(ui::CContainerUI& tiles, ui::CPaintManagerUI& manager, ui::WPARAM key);

}  // namespace kv
