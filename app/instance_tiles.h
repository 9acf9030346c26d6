#pragma once

#include <QString>
#include <string>

#include "uilib/button.h"

namespace kv::ui {
class CContainerUI;
class CControlUI;
}

// The column of instance tiles on the game page: one option per instance, named after it and
// showing its name under the logo (the version in its tooltip), in one group so that one is
// selected at a time; and the add tile, always the last item.
//
// A tile carries the instance's name as its control name, and an instance may be called like
// any control of the window ("Btn_StartGame", "AddInstanceBtn"), so tiles are told from other
// controls by what they are (AsInstanceTile, IsAddTile), never by name.
namespace kv {

inline constexpr const char* kAddTileName = "AddInstanceBtn";
inline constexpr const char* kInstanceTileGroup = "InstanceList";
// Raised by a tile on a double click.
inline const QString kNotifyTileDoubleClick = QStringLiteral("tiledbclick");

class CInstanceTileUI : public ui::COptionUI {
 public:
  void* GetInterface(const QString& name) override;
  void DoEvent(ui::TEventUI& event) override;
};

// The tile for an instance; `loader` names the loader its version is made with ("Fabric
// 0.16.9", see InstanceLoaderText), empty for none.
CInstanceTileUI* MakeInstanceTile(const QString& instanceName, const QString& version, const QString& loader = {});
// Gives a tile another instance name (after a rename): name, text and tooltip.
void ShowInstanceOnTile(CInstanceTileUI& tile, const QString& instanceName, const QString& version,
                        const QString& loader = {});
ui::CButtonUI* MakeAddTile();

// The tile `control` is, or null.
CInstanceTileUI* AsInstanceTile(ui::CControlUI* control);
bool IsAddTile(ui::CControlUI* control);

// Appends a tile for the instance.
void AppendInstanceTile(ui::CContainerUI& tiles, const QString& instanceName, const QString& version,
                        const QString& loader = {});

// The loader that the description of `version` in the game folder names, as a tile and the
// instance menu show it ("Fabric 0.16.9"); empty for a version without one.
QString InstanceLoaderText(const std::string& gamePath, const std::string& version);
// The add tile of the column; null when there is none.
ui::CControlUI* FindAddTile(const ui::CContainerUI& tiles);
// Removes the add tile, if any, and appends a new one, so that it is the last item.
void AppendAddTile(ui::CContainerUI& tiles);

}  // namespace kv
