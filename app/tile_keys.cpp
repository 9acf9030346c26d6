#include "app/tile_keys.h"

#include <algorithm>

#include "app/instance_tiles.h"
#include "uilib/container.h"
#include "uilib/keyboard_focus.h"
#include "uilib/paint_manager.h"

namespace kv {

using namespace ui;

namespace {

CInstanceTileUI* SelectedTile(const CContainerUI& tiles) {
  for (int i = 0; i < tiles.GetCount(); ++i) {
    CInstanceTileUI* tile = AsInstanceTile(tiles.GetItemAt(i));
    if (tile && tile->IsSelected()) return tile;
  }
  return nullptr;
}

// How many tiles stand in a row, as the column is laid out now.
int TilesPerRow(const CContainerUI& tiles) {
  if (tiles.GetCount() == 0) return 1;
  const int top = tiles.GetItemAt(0)->GetPos().top;
  int count = 0;
  while (count < tiles.GetCount() && tiles.GetItemAt(count)->GetPos().top == top) ++count;
  return std::max(1, count);
}

// How far an arrow key moves through the column; 0 for any other key.
int StepOf(WPARAM key, const CContainerUI& tiles) {
  switch (key) {
    case VK_LEFT: return -1;
    case VK_RIGHT: return 1;
    case VK_UP: return -TilesPerRow(tiles);
    case VK_DOWN: return TilesPerRow(tiles);
    default: return 0;
  }
}

void MoveTo(CControlUI& tile, CPaintManagerUI& manager) {
  ScrollIntoView(tile);
  manager.SetFocus(&tile);
  manager.ShowFocusMark(true);
  if (CInstanceTileUI* instance = AsInstanceTile(&tile)) instance->Selected(true);
}

}  // namespace

TileKeyResult HandleTileKey(CContainerUI& tiles, CPaintManagerUI& manager, WPARAM key) {
  CControlUI* focus = manager.GetFocus();
  if (focus && focus->GetParent() != &tiles) return TileKeyResult::kNotForTiles;
  // Nothing focused: the keys start from the selected tile.
  CControlUI* from = focus ? focus : SelectedTile(tiles);
  if (key == VK_RETURN) {
    CInstanceTileUI* tile = AsInstanceTile(from);
    if (!tile) return TileKeyResult::kNotForTiles;
    tile->Selected(true);
    return TileKeyResult::kStart;
  }
  const int step = StepOf(key, tiles);
  if (step == 0) return TileKeyResult::kNotForTiles;
  const int index = from ? tiles.GetItemIndex(from) : -1;
  const int target = index < 0 ? 0 : index + step;
  if (target >= 0 && target < tiles.GetCount()) {
    CControlUI* next = tiles.GetItemAt(target);
    if (next->IsVisible() && next->IsEnabled()) MoveTo(*next, manager);
  }
  return TileKeyResult::kMoved;
}

}  // namespace kv
