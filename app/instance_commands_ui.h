#pragma once

#include <QString>
#include <string>

#include "uilib/notify.h"

// The launcher window's instance commands: the add tile, the instance menu (on a tile or on
// the empty column, on the game page only) with add, delete, rename, the instance's settings and
// importing a modpack, and a double click on a tile, which starts that instance. Registering,
// renaming and deleting are the domain's instance commands; the window shows their refusals and
// keeps the tiles in step. Deleting and renaming wait until a launch (and the game it runs) has
// ended.
namespace kv {

class CFrameWnd;
class CInstanceTileUI;

class InstanceCommands {
 public:
  explicit InstanceCommands(CFrameWnd& frame);

  // A notification from the tile column, other than a tile's selection.
  void Notify(ui::TNotifyUI& msg);
  // An item of the instance menu; false for items that are not instance commands.
  bool RunMenuCommand(const QString& item);

  void Add();
  void DeleteSelected();
  void RenameSelected();
  void SettingsOfSelected();
  // Asks for a modpack file and imports it.
  void ChooseAndImportPack();
  // Imports the modpack at `packPath` as a new instance on a worker thread, its files fetched
  // in the download window; the new tile goes at the end, and the player learns what was
  // included, left out or what failed.
  void ImportPack(const std::string& packPath);

 private:
  CInstanceTileUI* SelectedTile() const;
  // Selects the tile that the last add appended.
  void SelectAddedTile();
  // True, after telling the player, while a launch runs.
  bool RefusedWhileLaunching();
  void ShowMenu(const ui::TNotifyUI& msg);
  // InstanceLoaderText of the selected tile's instance.
  QString LoaderOfSelectedInstance() const;
  void Tell(const std::string& text);

  CFrameWnd& frame_;
};

}  // namespace kv
