#include "app/instance_tiles.h"

#include "loader/installed_loader.h"
#include "uilib/container.h"
#include "uilib/ui_cast.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

constexpr int kTileSize = 100;
constexpr ARGB kTileTextColor = 0xFF4A3F1F;
const QString kTileHotImage = QStringLiteral("file='image\\ListItem_Hover.png' dest='5,5,95,95'");
const QString kTileInterface = QStringLiteral("InstanceTile");
const QString kAddTileInterface = QStringLiteral("AddInstanceTile");

// The add tile: a button that knows itself as such.
class CAddTileUI : public CButtonUI {
 public:
  void* GetInterface(const QString& name) override {
    return name == kAddTileInterface ? this : CButtonUI::GetInterface(name);
  }
};

}  // namespace

void* CInstanceTileUI::GetInterface(const QString& name) {
  return name == kTileInterface ? this : COptionUI::GetInterface(name);
}

void CInstanceTileUI::DoEvent(TEventUI& event) {
  COptionUI::DoEvent(event);
  if (event.type == UiEvent::DblClick && IsEnabled()) SendNotify(kNotifyTileDoubleClick);
}

CInstanceTileUI* MakeInstanceTile(const QString& instanceName, const QString& version, const QString& loader) {
  auto* tile = new CInstanceTileUI;
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
  ShowInstanceOnTile(*tile, instanceName, version, loader);
  return tile;
}

void ShowInstanceOnTile(CInstanceTileUI& tile, const QString& instanceName, const QString& version,
                        const QString& loader) {
  tile.SetName(instanceName);
  tile.SetText(instanceName);
  QString tip = instanceName + QChar(u'\n') + QString::fromUtf8(msg::kTileVersionLabel) +
                (version.isEmpty() ? QString::fromUtf8(msg::kTileNoVersion) : version);
  if (!loader.isEmpty()) tip += QChar(u'\n') + QString::fromUtf8(msg::kTileLoaderLabel) + loader;
  tile.SetToolTip(tip);
}

CButtonUI* MakeAddTile() {
  auto* tile = new CAddTileUI;
  tile->SetName(QString::fromLatin1(kAddTileName));
  tile->SetBkImage(QStringLiteral("file='image\\Btn_Add.png' dest='20,20,80,80'"));
  tile->SetHotImage(kTileHotImage);
  tile->SetFixedHeight(kTileSize);
  tile->SetFixedWidth(kTileSize);
  tile->SetToolTip(QStringLiteral("添加游戏实例"));
  return tile;
}

CInstanceTileUI* AsInstanceTile(CControlUI* control) {
  return ui_cast<CInstanceTileUI>(control);
}

bool IsAddTile(CControlUI* control) { return control && control->GetInterface(kAddTileInterface); }

void AppendInstanceTile(CContainerUI& tiles, const QString& instanceName, const QString& version,
                        const QString& loader) {
  tiles.Add(MakeInstanceTile(instanceName, version, loader));
}

CControlUI* FindAddTile(const CContainerUI& tiles) {
  for (int i = 0; i < tiles.GetCount(); ++i) {
    if (IsAddTile(tiles.GetItemAt(i))) return tiles.GetItemAt(i);
  }
  return nullptr;
}

void AppendAddTile(CContainerUI& tiles) {
  if (CControlUI* old = FindAddTile(tiles)) tiles.Remove(old);
  tiles.Add(MakeAddTile());
}

QString InstanceLoaderText(const std::string& gamePath, const std::string& version) {
  const std::optional<InstalledLoader> loader = LoaderOfVersion(gamePath, version);
  return loader ? QString::fromStdString(DescribeLoader(*loader)) : QString();
}

}  // namespace kv
