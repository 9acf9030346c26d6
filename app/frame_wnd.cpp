#include "app/frame_wnd.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <memory>

#include "app/gui_launch_sink.h"
#include "app/instance_tiles.h"
#include "app/mod_page.h"
#include "app/startup_clock.h"
#include "auth/server_link.h"
#include "auth/sign_in.h"
#include "dialogs/loading_wnd.h"
#include "dialogs/log_wnd.h"
#include "dialogs/message_dialog.h"
#include "dialogs/window_messages.h"
#include "net/update_check.h"
#include "platform/diagnostic_log.h"
#include "platform/java_discovery.h"
#include "platform/platform_profile.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "uilib/button.h"
#include "uilib/container.h"
#include "uilib/layouts.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {

using namespace ui;

namespace {

const QString kPromptCaption = QStringLiteral("提示");

template <typename T>
T* As(CControlUI* control, const char* interfaceName) {
  return control ? static_cast<T*>(control->GetInterface(QString::fromLatin1(interfaceName))) : nullptr;
}

}  // namespace

CFrameWnd::CFrameWnd(FrameServices services)
    : services_(std::move(services)), launch_(services_.settingsPath, services_.launch) {}

CFrameWnd::~CFrameWnd() {
  // A launch that is still running reports to this window and may wait for the GUI thread
  // (a dialog, the window shown again), so the GUI thread goes on handling events until the
  // launch has ended, asleep in the event dispatcher between them; the launch's thread wakes
  // it as its last step. (A nested event loop would not do: after the program's quit every
  // new loop returns at once.)
  while (launching_.load()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  if (launchThread_.joinable()) launchThread_.join();
}

bool CFrameWnd::ResponseDefaultKeyEvent(ui::WPARAM) { return false; }

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
  if (!loadingWnd_) {
    loadingWnd_ = std::make_unique<CLoadingWnd>();
    if (!loadingWnd_->CreateFor(GetHWND())) loadingWnd_.reset();
  }
  if (!logWnd_) {
    logWnd_ = std::make_unique<CLogWnd>();
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
  serverName_ = find("LB_ServerName");
  tiles_ = As<CContainerUI>(find("TileLayout_GameList"), "Container");
}

void CFrameWnd::OnWindowInit() {
  ShowAccount();
  FillInstanceTiles();
}

void CFrameWnd::ShowAccount() {
  CSettings settings(services_.settingsPath);
  settings.Load(*services_.java);
  if (userName_) userName_->SetText(QString::fromStdString(settings.userName));
  // Only the exact text "true" marks a genuine account.
  const bool online = settings.isGenuine == "true";
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
  for (const InstanceEntry& entry : instances.Entries()) AppendInstanceTile(entry.name);
  AppendAddTile();
  // More than the add tile: the first instance is selected, which selects it in the frame.
  if (tiles_->GetCount() > 1) {
    if (auto* first = As<COptionUI>(tiles_->GetItemAt(0), "Option")) first->Selected(true);
  }
}

void CFrameWnd::AppendInstanceTile(const std::string& name) {
  if (tiles_) kv::AppendInstanceTile(*tiles_, QString::fromStdString(name));
}

void CFrameWnd::AppendAddTile() {
  if (tiles_) kv::AppendAddTile(*tiles_);
}

void CFrameWnd::SelectInstance(CControlUI* tile) {
  CInstanceList instances(services_.settingsPath, false);
  const std::string name = tile->GetName().toStdString();
  selectedVersion_ = instances.GetVersion(name);
  selectedName_ = name;
}

void CFrameWnd::SelectPage(int page) {
  if (auto* pages = As<CTabLayoutUI>(paintManager_.FindControl(QStringLiteral("Tab_Switch")), "TabLayout")) {
    pages->SelectItem(page);
  }
}

bool CFrameWnd::ModTabShown() {
  auto* option = As<COptionUI>(paintManager_.FindControl(QStringLiteral("Option_Mod")), "Option");
  return option && option->IsSelected();
}

void CFrameWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    OnWindowInit();
    return;
  }
  if (!msg.pSender) return;
  if (modPage_ && modPage_->Notify(msg)) return;
  if (msg.sType == kNotifyClick) {
    CControlUI* sender = msg.pSender;
    if (sender == closeButton_) PostQuitMessage(0);
    else if (sender == minButton_) SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (sender == maxButton_) SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (sender == restoreButton_) SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    else if (sender == startButton_) StartGame();
  } else if (msg.sType == kNotifySelectChanged) {
    const QString& name = msg.pSender->GetName();
    if (name == u"Option_Game") {
      SelectPage(0);
    } else if (name == u"Option_Mod") {
      SelectPage(1);
      if (modPage_) modPage_->Open();
    } else if (tiles_ && msg.pSender->GetParent() == tiles_) {
      SelectInstance(msg.pSender);
      if (modPage_ && ModTabShown()) modPage_->Open();
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
  if (OfferJavaDownload()) return;
  StartLaunch();
}

void CFrameWnd::ShowGameRunning() {
  ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kGameRunning), MessageKind::Warning, kPromptCaption, kMessageOk);
}

bool CFrameWnd::OfferJavaDownload() {
  std::string path;
  std::string version;
  if (FindDefaultJava(*services_.java, path, version)) return false;
  // A runtime the player chose in the settings counts too, wherever it is installed.
  CSettings settings(services_.settingsPath);
  settings.Load(*services_.java);
  if (!settings.javaPath.empty() && PathExists(settings.javaPath)) return false;
  if (ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kJavaDownload), MessageKind::Question, kPromptCaption,
                        kMessageOkCancel) == IDOK) {
    HandOverToUpdater(kDownloadJavaCommandLine);
  }
  return true;
}

void CFrameWnd::StartLaunch() {
  if (!loadingWnd_) return;
  // The previous launch has ended (the flag says so); its thread is about to return.
  if (launchThread_.joinable()) launchThread_.join();
  LaunchRequest request;
  request.instanceName = selectedName_;
  request.instanceVersion = selectedVersion_;
  launching_.store(true);
  loadingWnd_->Begin();
  launchThread_ = std::thread([this, request] {
    GuiLaunchSink sink(*this, *loadingWnd_, logWnd_.get());
    launch_.Run(request, sink);
    // A sign-in may have changed the account's server.
    PostTask([this] { ShowAccount(); });
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

bool CFrameWnd::AcceptsDroppedText(const QString& text) const {
  return AccountServerFromLink(text.toStdString()).has_value();
}

void CFrameWnd::OnTextDropped(const QString& text) {
  std::optional<std::string> address = AccountServerFromLink(text.toStdString());
  if (!address) return;
  // Answered after the drop has ended, so that the page the link came from is not kept waiting.
  PostTask([this, address = std::move(*address)] {
    if (!SaveAuthServer(services_.settingsPath, address)) {
      ShowMessageDialog(GetHWND(), QString::fromUtf8(msg::kSettingsNotWritten), MessageKind::Error, kPromptCaption,
                        kMessageOk);
      return;
    }
    ShowAccount();
    ShowMessageDialog(GetHWND(), QString::fromStdString(msg::AccountServerSet(address)), MessageKind::Information,
                      kPromptCaption, kMessageOk);
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
      if (logWnd_) logWnd_->ShowWindow(wParam != 0, true);
      break;
    case WMU_UPDATE_FOUND:
      OfferUpdate();
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace kv
