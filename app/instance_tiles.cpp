#include "app/instance_tiles.h"

#include "uilib/button.h"
#include "uilib/container.h"

namespace kv {

using namespace ui;

namespace {

constexpr int kTileSize = 100;
constexpr ARGB kTileTextColor = 0xFF4A3F1F;
const QString kTileHotImage = QStringLiteral("file='image\\ListItem_Hover.png' dest='5,5,95,95'");

}  // namespace

COptionUI* MakeInstanceTile(const QString& instanceName) {
  auto* tile = new COptionUI;
  tile->SetBkImage(QStringLiteral("file='image\\logo.png' dest='20,20,80,80'"));
  tile->SetHotImage(kTileHotImage);
  tile->SetAttribute(QStringLiteral("selectedimage"), QStringLiteral("file='image\\ListItem_Pushed.png' dest='2,2,98,98'"));
  // The skin's dark brown rather than pure black, which stands out hard on the warm column.
  tile->SetTextColor(kTileTextColor);
  // The name sits under the logo.
  tile->SetTextPadding(UiRect{10, 80, 10, 5});
  tile->SetFixedHeight(kTileSize);
  tile->SetFixedWidth(kTileSize);
  tile->SetGroup(QString::fromLatin1(kInstanceTileGroup));
  tile->SetAttribute(QStringLiteral("menu"), QStringLiteral("true"));
  tile->SetAttribute(QStringLiteral("endellipsis"), QStringLiteral("true"));
  tile->SetName(instanceName);
  tile->SetText(instanceName);
  tile->SetToolTip(instanceName);
  return tile;
}

CButtonUI* MakeAddTile() {
  auto* tile = new CButtonUI;
  tile->SetName(QString::fromLatin1(kAddTileName));
  tile->SetBkImage(QStringLiteral("file='image\\Btn_Add.png' dest='20,20,80,80'"));
  tile->SetHotImage(kTileHotImage);
  tile->SetFixedHeight(kTileSize);
  tile->SetFixedWidth(kTileSize);
  tile->SetToolTip(QStringLiteral("添加游戏实例"));
  return tile;
}

void AppendInstanceTile(CContainerUI& tiles, const QString& instanceName) {
  tiles.Add(MakeInstanceTile(instanceName));
}

CControlUI* FindAddTile(const CContainerUI& tiles) {
  // By name and kind: an instance may itself be called "AddInstanceBtn", and its tile stays.
  for (int i = 0; i < tiles.GetCount(); ++i) {
    CControlUI* item = tiles.GetItemAt(i);
    if (item->GetName() == QLatin1String(kAddTileName) && !item->GetInterface(QStringLiteral("Option"))) return item;
  }
  return nullptr;
}

void AppendAddTile(CContainerUI& tiles) {
  if (CControlUI* old = FindAddTile(tiles)) tiles.Remove(old);
  tiles.Add(MakeAddTile());
}

}  // namespace kv
