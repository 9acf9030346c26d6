#include "app/instance_commands_ui.h"

#include <QFontMetrics>
#include <algorithm>
#include <optional>
#include <thread>

#include "app/frame_wnd.h"
#include "app/instance_tiles.h"
#include "app/settings_ui.h"
#include "dialogs/add_instance_wnd.h"
#include "dialogs/download_wnd.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/menu_wnd.h"
#include "dialogs/message_dialog.h"
#include "dialogs/rename_ins_wnd.h"
#include "install/download_source.h"
#include "modpack/pack_import.h"
#include "platform/diagnostic_log.h"
#include "settings/instance_commands.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "uilib/container.h"
#include "uilib/gui_thread.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

// The loader of the instance the menu acts on, as its first line (a line, not a command), as
// wide as its text needs.
void ShowLoaderFirst(CMenuUI& items, const QString& loader) {
  auto* line = new CMenuElementUI;
  line->SetName(QStringLiteral("Menu_Instance_Loader"));
  const QString text = QString::fromUtf8(msg::kTileLoaderLabel) + loader;
  line->SetText(text);
  line->SetEnabled(false);
  if (const CPaintManagerUI* manager = items.GetManager()) {
    const UiRect& padding = items.GetListInfo()->textPadding;
    const int width = padding.left + QFontMetrics(manager->GetDefaultFont()).horizontalAdvance(text) + padding.right + 12;
    line->SetFixedWidth(std::max(line->GetFixedWidth(), width));
  }
  auto* separator = new CMenuElementUI;
  separator->SetAttribute(QStringLiteral("type"), QStringLiteral("line"));
  items.AddAt(line, 0);
  items.AddAt(separator, 1);
}

// A loader's installation for a modpack: its steps go to the launcher's log.
class LoggedInstallSink : public InstallSink {
 public:
  void OnStep(InstallStep step, int done, int total) override {
    if (done == 0 || done == total) LogLine(LogLevel::Info, "Modpack import: " + InstallStepText(step, done, total));
  }
  void OnOutput(const std::string& line) override { LogLine(LogLevel::Info, line); }
};

}  // namespace

InstanceCommands::InstanceCommands(CFrameWnd& frame) : frame_(frame) {}

void InstanceCommands::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick && IsAddTile(msg.pSender)) {
    Add();
  } else if (msg.sType == kNotifyMenu) {
    ShowMenu(msg);
  } else if (msg.sType == kNotifyTileDoubleClick && AsInstanceTile(msg.pSender)) {
    // After the mouse's own handling is over: the launch runs its own event loop.
    frame_.PostTask([frame = &frame_] { frame->StartGame(); });
  }
}

bool InstanceCommands::RunMenuCommand(const QString& item) {
  if (item == u"Menu_Instance_Add") Add();
  else if (item == u"Menu_Instance_Del") DeleteSelected();
  else if (item == u"Menu_Instance_Rename") RenameSelected();
  else if (item == u"Menu_Instance_Settings") SettingsOfSelected();
  else if (item == u"Menu_Instance_Import") ChooseAndImportPack();
  else return false;
  return true;
}

void InstanceCommands::ShowMenu(const TNotifyUI& msg) {
  if (!frame_.GamePageShown()) return;
  if (CInstanceTileUI* tile = AsInstanceTile(msg.pSender)) {
    tile->SetAttribute(QStringLiteral("selected"), QStringLiteral("true"));
  } else if (msg.pSender != frame_.InstanceTiles()) {
    return;
  }
  CPaintManagerUI& manager = frame_.GetPaintManager();
  const QString loader = LoaderOfSelectedInstance();
  auto* menu = new CMenuWnd();  // frees itself when it closes
  menu->Init(nullptr, QStringLiteral("xmls\\Instance_Menu.xml"), &manager, manager.ClientToScreen(msg.ptMouse),
             [loader](CMenuUI& items) {
               if (!loader.isEmpty()) ShowLoaderFirst(items, loader);
             });
}

QString InstanceCommands::LoaderOfSelectedInstance() const {
  const CInstanceTileUI* tile = SelectedTile();
  if (!tile) return {};
  const std::string& settingsPath = frame_.Services().settingsPath;
  return InstanceLoaderText(ReadSettings(settingsPath).gamePath, CInstanceList(settingsPath, false).GetVersion(tile->GetName().toStdString()));
}

CInstanceTileUI* InstanceCommands::SelectedTile() const {
  CContainerUI* tiles = frame_.InstanceTiles();
  for (int i = 0; tiles && i < tiles->GetCount(); ++i) {
    CInstanceTileUI* tile = AsInstanceTile(tiles->GetItemAt(i));
    if (tile && tile->IsSelected()) return tile;
  }
  return nullptr;
}

bool InstanceCommands::RefusedWhileLaunching() {
  if (!frame_.IsLaunching()) return false;
  Tell(msg::kInstanceBusy);
  return true;
}

void InstanceCommands::Tell(const std::string& text) {
  ShowMessageDialog(frame_.GetHWND(), QString::fromStdString(text), MessageKind::Warning, kPromptCaption, kMessageOk);
}

void InstanceCommands::Add() {
  const FrameServices& services = frame_.Services();
  CAddInstanceWnd dialog(services.settingsPath, services.refreshVersionList, services.loaders);
  if (!dialog.CreateFor(frame_.GetHWND()) || dialog.ShowModal() != IDOK) return;
  // The new tile goes at the end, the add tile stays last.
  frame_.AppendInstanceTile(dialog.ResultName(), dialog.ResultVersion());
  frame_.AppendAddTile();
  SelectAddedTile();
}

void InstanceCommands::SelectAddedTile() {
  CContainerUI* tiles = frame_.InstanceTiles();
  if (!tiles || tiles->GetCount() < 2) return;
  CInstanceTileUI* added = AsInstanceTile(tiles->GetItemAt(tiles->GetCount() - 2));
  if (!added) return;
  // The player added it to play it: it becomes the selection, scrolled into view.
  added->Selected(true);
  frame_.GetPaintManager().UpdateLayout();
  tiles->SetScrollPos(QSize(tiles->GetScrollPos().width(), tiles->GetScrollRange().height()));
}

void InstanceCommands::DeleteSelected() {
  CInstanceTileUI* tile = SelectedTile();
  if (!tile || RefusedWhileLaunching()) return;
  const std::string name = tile->GetName().toStdString();
  const std::string& settingsPath = frame_.Services().settingsPath;
  const std::string gamePath = ReadSettings(settingsPath).gamePath;
  const std::string question = msg::DeleteInstanceQuestion(name, ShownInstanceFolder(gamePath, name));
  if (ShowMessageDialog(frame_.GetHWND(), QString::fromStdString(question), MessageKind::Warning, kPromptCaption,
                        kMessageOkCancel) != IDOK) {
    return;
  }
  const InstanceCommandResult result = DeleteInstance(settingsPath, gamePath, name);
  if (result.status != InstanceCommandStatus::Done) {
    Tell(DescribeInstanceCommandResult(result));
    return;
  }
  // No other tile takes the selection.
  frame_.InstanceTiles()->Remove(tile);
  frame_.ClearSelection();
  if (PathExists(InstanceFolder(gamePath, name))) Tell(msg::kInstanceFolderKept);
}

void InstanceCommands::SettingsOfSelected() {
  if (const CInstanceTileUI* tile = SelectedTile()) OpenInstanceSettings(frame_, tile->GetName().toStdString());
}

void InstanceCommands::RenameSelected() {
  CInstanceTileUI* tile = SelectedTile();
  if (!tile || RefusedWhileLaunching()) return;
  const std::string& settingsPath = frame_.Services().settingsPath;
  CRenameInsWnd dialog(settingsPath);
  if (!dialog.CreateFor(frame_.GetHWND())) return;
  dialog.SetCurrentName(tile->GetName().toStdString());
  if (dialog.ShowModal() != IDOK) return;
  const std::string& name = dialog.NewName();
  const std::string version = CInstanceList(settingsPath, false).GetVersion(name);
  ShowInstanceOnTile(*tile, QString::fromStdString(name), QString::fromStdString(version),
                     InstanceLoaderText(ReadSettings(settingsPath).gamePath, version));
  frame_.SetSelection(name, version);
}

void InstanceCommands::ChooseAndImportPack() {
  const FrameServices& services = frame_.Services();
  std::string path;
  if (services.pickers && services.pickers->BrowseForPack(frame_.GetHWND(), path)) ImportPack(path);
}

void InstanceCommands::ImportPack(const std::string& packPath) {
  if (RefusedWhileLaunching()) return;
  const FrameServices& services = frame_.Services();
  const std::string& settingsPath = services.settingsPath;
  const CSettings settings = ReadSettings(settingsPath);
  PackImportRequest request{packPath, "", settingsPath, settings.gamePath};
  request.downloads.transfers = settings.downloadThreads.value_or(kDefaultTransfers);
  const DownloadSource source = DownloadSource::Configured(settings.downloadSource).ForPublishedFiles();
  const HWND owner = frame_.GetHWND();
  PackImportServices import;
  import.installLoader = [&services](const LoaderInstallRequest& loader) {
    LoggedInstallSink sink;
    return services.loaders.install(loader, sink);
  };
  import.addresses = [&source](const std::string& url) { return source.Addresses(url); };
  import.fetch = [owner, options = request.downloads](const std::vector<DownloadItem>& plan) {
    return RunOnGuiThread([&] {
      CDownLoadWnd window(plan, options);
      return window.Run(owner);
    });
  };
  std::optional<Result<PackImportSummary>> imported;
  CLoadingWnd loading;
  if (loading.CreateFor(owner)) {
    // The pack is read and the loader installed on the worker; the window goes on painting.
    loading.Begin();
    std::thread worker([&] {
      imported.emplace(kv::ImportPack(request, import));
      loading.Finish();
    });
    loading.Wait();
    worker.join();
  } else {
    imported.emplace(kv::ImportPack(request, import));
  }
  if (!*imported) {
    if ((*imported).kind() != FailureKind::Cancelled) Tell((*imported).message());
    return;
  }
  const PackImportSummary& summary = **imported;
  frame_.AppendInstanceTile(summary.instanceName, summary.version);
  frame_.AppendAddTile();
  ShowMessageDialog(owner,
                    QString::fromStdString(msg::PackImported(summary.instanceName, summary.version) +
                                           msg::PackFilesLeftOutOrOptional(summary.optionalIncluded, summary.unsupportedSkipped)),
                    MessageKind::Information, kPromptCaption, kMessageOk);
}

}  // namespace kv
