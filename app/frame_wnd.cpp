#include "app/frame_wnd.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QUrl>
#include <memory>

#include "app/crash_actions.h"
#include "app/gui_launch_sink.h"
#include "app/instance_commands_ui.h"
#include "app/instance_panel.h"
#include "app/instance_tiles.h"
#include "app/mod_page.h"
#include "app/settings_ui.h"
#include "app/startup_clock.h"
#include "app/tile_keys.h"
#include "auth/server_link.h"
#include "auth/sign_in.h"
#include "auth/stored_credentials.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/log_wnd.h"
#include "dialogs/menu_wnd.h"
#include "dialogs/message_dialog.h"
#include "dialogs/window_messages.h"
#include "net/update_check.h"
#include "platform/diagnostic_log.h"
#include "platform/platform_profile.h"
#include "settings/instance_list.h"
#include "settings/selected_instance.h"
#include "settings/settings_change.h"
#include "settings/settings.h"
#include "uilib/button.h"
#include "uilib/container.h"
#include "uilib/layouts.h"
#include "uilib/ui_cast.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

// The window's Java source serves its launches too: the runtime a launch chooses is one the
// window's Java check knows.
FrameServices WithTheWindowsJava(FrameServices services) {
  if (services.java != nullptr) services.launch.java = services.java;
  return services;
}

}  // namespace

CFrameWnd::CFrameWnd(FrameServices services)
    : services_(WithTheWindowsJava(std::move(services))), launch_(services_.settingsPath, services_.launch) {}

CFrameWnd::~CFrameWnd() {
  // A launch that is still running reports to this window and may wait for the GUI thread
  // (a dialog, the window shown again), so the GUI thread goes on handling events until the
  // launch has ended, asleep in the event dispatcher between them; the launch's thread wakes
  // it as its last step. (A nested event loop would not do: after the program's quit every
  // new loop returns at once.)
  while (launching_.load()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  if (launchThread_.joinable()) launchThread_.join();
}

bool CFrameWnd::ResponseDefaultKeyEvent(ui::WPARAM key) {
  if (!tiles_ || !GamePageShown()) return false;
  const TileKeyResult result = HandleTileKey(*tiles_, paintManager_, key);
  // After the key's own handling is over: the launch runs its own event loop.
  if (result == TileKeyResult::kStart) PostTask([this] { StartGame(); });
  return result != TileKeyResult::kNotForTiles;
}

void CFrameWnd::OnWindowReady() {
  CenterWindow();
  // The statistics event and the update check talk to servers that may be slow or away; they
  // run beside the window, which paints and answers meanwhile. A newer version is offered on
  // the GUI thread when the answer comes.
  startupCheck_.Start(services_.sendOpenEvent, services_.versionFileUrl, [this](const std::string& version) {
    {
      std::lock_guard lock(offerMutex_);
      offeredVersion_ = version;
    }
    PostMessage(WMU_UPDATE_FOUND, 0, 0);
  });
  FindControls();
  if (!modPage_) modPage_ = std::make_unique<ModPage>(*this);
  modPage_->FindControls(paintManager_);
  if (!instanceCommands_) instanceCommands_ = std::make_unique<InstanceCommands>(*this);
  if (!instancePanel_) instancePanel_ = std::make_unique<InstancePanel>(*this);
  instancePanel_->FindControls(paintManager_);
  if (!loadingWnd_) {
    loadingWnd_ = std::make_unique<CLoadingWnd>();
    if (!loadingWnd_->CreateFor(GetHWND())) loadingWnd_.reset();
  }
  if (!logWnd_) {
    logWnd_ = std::make_unique<CLogWnd>(services_.pickers.get());
    if (!logWnd_->CreateHidden()) logWnd_.reset();
  }
  SetIcon(QStringLiteral("image\\logo.png"));
}

void CFrameWnd::FindControls() {
  const auto find = [this](const char* name) { return paintManager_.FindControl(QString::fromLatin1(name)); };
  closeButton_ = find("Btn_Close");
  maxButton_ = find("Btn_Max");
  restoreButton_ = find("Btn_Restore");
  minButton_ = find("Btn_Min");
  loginStatus_ = find("Btn_Login_Status");
  startButton_ = find("Btn_StartGame");
  userName_ = find("LB_UserName");
  settingsButton_ = find("Btn_Set");
  gameOption_ = ui_cast<COptionUI>(find("Option_Game"));
  modOption_ = ui_cast<COptionUI>(find("Option_Mod"));
  pages_ = ui_cast<CTabLayoutUI>(find("Tab_Switch"));
  serverName_ = find("LB_ServerName");
  // Looked up before any tile exists: a tile may carry any of these names.
  tiles_ = ui_cast<CContainerUI>(find("TileLayout_GameList"));
}

void CFrameWnd::OnWindowInit() {
  ShowAccount();
  FillInstanceTiles();
  ShowSelectedInstance();
}

void CFrameWnd::ShowAccount() {
  CSettings settings(services_.settingsPath);
  settings.Load(*services_.java);
  if (userName_) userName_->SetText(QString::fromStdString(settings.userName));
  const bool online = settings.isGenuine;
  if (serverName_) {
    const QString server = online ? QString::fromStdString(SignedInServerName(settings)) : QString();
    serverName_->SetText(server);
    serverName_->SetToolTip(server);
  }
  if (!loginStatus_) return;
  loginStatus_->SetBkImage(online ? QStringLiteral("image\\Menu_Online.png") : QStringLiteral("image\\Menu_Offline.png"));
  loginStatus_->SetToolTip(online ? QStringLiteral("在线状态") : QStringLiteral("离线状态"));
}

void CFrameWnd::FillInstanceTiles() {
  CInstanceList instances(services_.settingsPath, false);
  if (!tiles_) return;
  for (const InstanceEntry& entry : instances.Entries()) AppendInstanceTile(entry.name, entry.version);
  AppendAddTile();
  // The instance selected at the last run, else the first; selecting it selects it in the frame.
  const QString remembered = QString::fromStdString(LoadSelectedInstance(services_.settingsPath));
  CInstanceTileUI* chosen = nullptr;
  for (int i = 0; i < tiles_->GetCount(); ++i) {
    CInstanceTileUI* tile = AsInstanceTile(tiles_->GetItemAt(i));
    if (!tile) continue;
    if (tile->GetName() == remembered) {
      chosen = tile;
      break;
    }
    if (!chosen) chosen = tile;
  }
  if (chosen) chosen->Selected(true);
}

void CFrameWnd::AppendInstanceTile(const std::string& name, const std::string& version) {
  if (!tiles_) return;
  kv::AppendInstanceTile(*tiles_, QString::fromStdString(name), QString::fromStdString(version),
                         InstanceLoaderText(ReadSettings(services_.settingsPath).gamePath, version));
}

void CFrameWnd::SetSelection(const std::string& name, const std::string& version) {
  selectedName_ = name;
  selectedVersion_ = version;
  ShowSelectedInstance();
}

void CFrameWnd::ShowSelectedInstance() {
  if (instancePanel_) instancePanel_->Show();
}

void CFrameWnd::AppendAddTile() {
  if (tiles_) kv::AppendAddTile(*tiles_);
}

void CFrameWnd::SelectInstance(CControlUI* tile) {
  CInstanceList instances(services_.settingsPath, false);
  const std::string name = tile->GetName().toStdString();
  SetSelection(name, instances.GetVersion(name));
  // Selected again at the next start; a settings file that cannot be written only loses that.
  SaveSelectedInstance(services_.settingsPath, name);
}

void CFrameWnd::SelectPage(int page) {
  if (pages_) pages_->SelectItem(page);
}

bool CFrameWnd::ModTabShown() { return modOption_ && modOption_->IsSelected(); }

void CFrameWnd::ShowModPage() {
  if (modOption_) modOption_->Selected(true);
}

bool CFrameWnd::GamePageShown() const { return gameOption_ && gameOption_->IsSelected(); }

void CFrameWnd::NotifyFromTileColumn(TNotifyUI& msg) {
  if (msg.sType == kNotifySelectChanged && AsInstanceTile(msg.pSender)) {
    SelectInstance(msg.pSender);
    if (modPage_ && ModTabShown()) modPage_->Open();
  } else if (instanceCommands_) {
    instanceCommands_->Notify(msg);
  }
}

void CFrameWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    OnWindowInit();
    return;
  }
  if (!msg.pSender) return;
  if (tiles_ && (msg.pSender == tiles_ || msg.pSender->GetParent() == tiles_)) {
    NotifyFromTileColumn(msg);
    return;
  }
  if (modPage_ && modPage_->Notify(msg)) return;
  if (instancePanel_ && instancePanel_->Notify(msg)) return;
  CControlUI* sender = msg.pSender;
  if (msg.sType == kNotifyClick) {
    if (sender == closeButton_) PostQuitMessage(0);
    else if (sender == minButton_) SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (sender == maxButton_) SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (sender == restoreButton_) SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    else if (sender == settingsButton_ || sender == userName_) OpenSettings(*this);
    else if (sender == startButton_) StartGame();
  } else if (msg.sType == kNotifySelectChanged) {
    if (sender == gameOption_) {
      SelectPage(0);
    } else if (sender == modOption_) {
      SelectPage(1);
      if (modPage_) modPage_->Open();
    }
  }
}

void CFrameWnd::StartGame() {
  // The start button can be reached for a moment while a launch runs (between the loading
  // indicator and the download window, say); one launch at a time. While the game plays, the
  // player who finds the launcher learns why nothing starts.
  if (launching_.load()) {
    if (launch_.GameRunning()) ShowGameRunning();
    return;
  }
  if (selectedName_.empty()) {
    ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kNoInstanceSelected), MessageKind::Information, kPromptCaption,
                      kMessageOk);
    return;
  }
  StartLaunch();
}

void CFrameWnd::ShowGameRunning() {
  ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kGameRunning), MessageKind::Warning, kPromptCaption, kMessageOk);
}

void CFrameWnd::StartLaunch() {
  if (!loadingWnd_) return;
  // The previous launch has ended (the flag says so); its thread is about to return.
  if (launchThread_.joinable()) launchThread_.join();
  LaunchRequest request;
  request.instanceName = selectedName_;
  request.instanceVersion = selectedVersion_;
  launching_.store(true);
  launchCancelled_.store(false);
  loadingWnd_->Begin(QString::fromUtf8(msg::kStagePreparing), [this] { launchCancelled_.store(true); });
  launchThread_ = std::thread([this, request] {
    GuiLaunchSink sink(*this, *loadingWnd_, logWnd_.get(), launchCancelled_,
                       [this, name = request.instanceName](CrashAction action, const std::string& folder) {
                         PostTask([this, action, name, folder] { RunCrashAction(*this, action, name, folder); });
                       });
    launch_.Run(request, sink);
    // A sign-in may have changed the account's server; a game played is the instance's last.
    PostTask([this] {
      ShowAccount();
      ShowSelectedInstance();
    });
    launching_.store(false);
    // An event for the GUI thread: the destructor may be waiting in the event dispatcher.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
  });
  loadingWnd_->Wait();
}

void CFrameWnd::OfferUpdate() {
  std::string version;
  {
    std::lock_guard lock(offerMutex_);
    version.swap(offeredVersion_);
  }
  if (version.empty()) return;
  // Never in the middle of a launch: the offer comes again at the next start.
  if (launching_.load()) {
    LogLine(LogLevel::Info, "A newer launcher is published; not offered during a launch");
    return;
  }
  if (ShowMessageDialog(GetHWND(), QString::fromStdString(msg::UpdateOffer(version)), MessageKind::Question,
                        QString::fromUtf8(msg::kUpdateOfferTitle), kMessageOkCancel) != IDOK) {
    return;
  }
  HandOverToUpdater(UpdateCommandLine(version));
}

void CFrameWnd::HandOverToUpdater(const std::string& commandLine) {
  if (!StartUpdater(services_.updaterFolder, PlatformProfile::Host().executableSuffix, commandLine)) {
    // Nothing would replace the launcher: it stays, so that the player can go on playing.
    ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kUpdaterFailed), MessageKind::Warning, kPromptCaption, kMessageOk);
    return;
  }
  PostQuitMessage(0);
}

void CFrameWnd::SyncMaxRestoreButtons() {
  const bool maximized = IsMaximized();
  if (maxButton_) maxButton_->SetVisible(!maximized);
  if (restoreButton_) restoreButton_->SetVisible(maximized);
}

LRESULT CFrameWnd::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    handled = true;
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  const LRESULT result = WindowImplBase::OnSysCommand(msg, wParam, lParam, handled);
  SyncMaxRestoreButtons();
  return result;
}

LRESULT CFrameWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = WindowImplBase::HandleMessage(msg, wParam, lParam);
  if (msg == WM_SIZE && wParam != SIZE_MINIMIZED) SyncMaxRestoreButtons();
  if (msg == WM_PAINT && !painted_) NoteFirstPaint();
  return result;
}

void CFrameWnd::NoteFirstPaint() {
  painted_ = true;
  LogLine(LogLevel::Info, "The launcher window was first painted " + std::to_string(SinceProgramStart().count()) +
                              " ms after the program started");
}

// The local file a dropped text names when it is a modpack ("file:///…/pack.mrpack").
static std::optional<std::string> DroppedPack(const QString& text) {
  const QUrl url(text.trimmed());
  if (!url.isLocalFile() || !url.toLocalFile().endsWith(QStringLiteral(".mrpack"), Qt::CaseInsensitive)) return std::nullopt;
  return url.toLocalFile().toStdString();
}

bool CFrameWnd::AcceptsDroppedText(const QString& text) const {
  return AccountServerFromLink(text.toStdString()).has_value() || DroppedPack(text).has_value();
}

void CFrameWnd::OnTextDropped(const QString& text) {
  if (std::optional<std::string> pack = DroppedPack(text)) {
    // After the drop has ended: the file manager is not kept waiting for the whole import.
    PostTask([this, path = std::move(*pack)] {
      if (instanceCommands_) instanceCommands_->ImportPack(path);
    });
    return;
  }
  std::optional<std::string> address = AccountServerFromLink(text.toStdString());
  if (!address) return;
  // Answered after the drop has ended, so that the page the link came from is not kept waiting.
  PostTask([this, address = std::move(*address)] {
    const Result<bool> cleared = ChangeAuthServer(services_.settingsPath, address);
    if (!cleared || !ForgetSignInOfOtherServers(services_.settingsPath, address)) {
      ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kSettingsNotWritten), MessageKind::Error, kPromptCaption,
                        kMessageOk);
      return;
    }
    ShowAccount();
    std::string told = msg::AccountServerSet(address);
    if (*cleared) told += std::string("\n") + msg::kAccountClearedForNewServer;
    ShowMessageDialog(GetHWND(), QString::fromStdString(told), MessageKind::Information, kPromptCaption, kMessageOk);
  });
}

LRESULT CFrameWnd::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  // Every message also goes on to the library's own handling.
  handled = false;
  if (modPage_ && modPage_->HandleMessage(msg, wParam, lParam)) return 0;
  switch (msg) {
    case WMU_SHOW:
      ShowWindow(wParam != 0, true);
      break;
    case WMU_SHOW_LOG:
      if (!logWnd_) break;
      if (wParam != 0) logWnd_->ShowBeside(GetHWND());
      else logWnd_->ShowWindow(false, true);
      break;
    case WMU_UPDATE_FOUND:
      OfferUpdate();
      break;
    case WMU_DOWNLOAD_JAVA:
      HandOverToUpdater(kDownloadJavaCommandLine);
      break;
    case WMU_MENU_COMMAND:
      if (instanceCommands_) instanceCommands_->RunMenuCommand(ui::MenuCommandItem(wParam));
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace kv
