#pragma once

#include <QString>

namespace kv::ui {
class CButtonUI;
class CContainerUI;
class CControlUI;
class COptionUI;
}

// The column of instance tiles on the game page: one option per instance, named after it and
// showing its name under the logo, in one group so that one is selected at a time; and the
// add tile, always the last item.
namespace kv {

inline constexpr const char* kAddTileName = "AddInstanceBtn";
inline constexpr const char* kInstanceTileGroup = "InstanceList";

ui::COptionUI* MakeInstanceTile(const QString& instanceName);
ui::CButtonUI* MakeAddTile();

// Appends a tile for the instance.
void AppendInstanceTile(ui::CContainerUI& tiles, const QString& instanceName);
// The add tile of the column; null when there is none.
ui::CControlUI* FindAddTile(const ui::CContainerUI& tiles);
// Removes the add tile, if any, and appends a new one, so that it is the last item.
void AppendAddTile(ui::CContainerUI& tiles);

}  // namespace kv
