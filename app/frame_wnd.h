#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/frame_services.h"
#include "app/startup_check.h"
#include "play/launch_sequence.h"
#include "uilib/window_impl_base.h"

namespace kv::ui {
class CContainerUI;
class COptionUI;
class CTabLayoutUI;
}

// The launcher window: the title bar with its buttons, the player's name and account state,
// the column of instance tiles and the start button on the game page, and the mod page. It
// owns the loading indicator and the log window, starts launches on a worker thread and
// receives the messages that workers post.
namespace kv {

class CLoadingWnd;
class CLogWnd;
class InstanceCommands;
class InstancePanel;
class ModPage;

class CFrameWnd : public ui::WindowImplBase {
 public:
  explicit CFrameWnd(FrameServices services = FrameServices::Default());
  // Waits for a launch that is still running and for the start-up check.
  ~CFrameWnd() override;

  // The instance of the selected tile; both empty while none is selected.
  const std::string& SelectedInstanceName() const { return selectedName_; }
  const std::string& SelectedInstanceVersion() const { return selectedVersion_; }
  // The launch data of the last launch (description, asset index, download plan).
  const LaunchSequence& LastLaunch() const { return launch_; }
  bool IsLaunching() const { return launching_.load(); }
  bool IsCheckingForUpdate() const { return startupCheck_.Running(); }

  const FrameServices& Services() const { return services_; }
  CLogWnd* LogWindow() const { return logWnd_.get(); }
  ModPage* Mods() const { return modPage_.get(); }
  CLoadingWnd* LoadingWindow() const { return loadingWnd_.get(); }
  ui::CContainerUI* InstanceTiles() const { return tiles_; }

  // The tile column: a tile for one more instance, and the add tile moved back to the end.
  void AppendInstanceTile(const std::string& name, const std::string& version);
  void AppendAddTile();
  // The selected instance as the frame keeps it, and the game page's card shows it (the tiles
  // are not touched).
  void SetSelection(const std::string& name, const std::string& version);
  // The card again, after what it shows may have changed (a game played, the game folder).
  void ShowSelectedInstance();
  InstancePanel* InstanceCard() const { return instancePanel_.get(); }
  void ClearSelection() { SetSelection({}, {}); }
  bool GamePageShown() const;
  // The player's name, the online or offline icon and, for a genuine account, the name of its
  // account server, from the settings file.
  void ShowAccount();

  // The Java check and then a launch of the selected instance, as the start button does.
  void StartGame();
  // The mod page, as its tab shows it.
  void ShowModPage();

  void Notify(ui::TNotifyUI& msg) override;
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KorvaneFrame"); }
  QString GetLayoutFile() const override { return layoutFile_; }
  void OnWindowReady() override;
  // Escape closes dialogs, but the launcher itself only ends through its close button; the
  // arrows and Enter work the tile column.
  bool ResponseDefaultKeyEvent(ui::WPARAM key) override;
  ui::LRESULT OnSysCommand(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;
  // A modpack file (.mrpack) dropped on the window is imported as a new instance.
  // A link of an account-server site ("authlib-injector:yggdrasil-server:...") dropped on the
  // window makes its server the player's AuthServer.
  bool AcceptsDroppedText(const QString& text) const override;
  void OnTextDropped(const QString& text) override;

 private:
  void FindControls();
  void OnWindowInit();
  void FillInstanceTiles();
  // Everything the tile column raises: tiles are told apart by where they are, never by their
  // names, which are the instances'.
  void NotifyFromTileColumn(ui::TNotifyUI& msg);
  void SelectInstance(ui::CControlUI* tile);
  void SelectPage(int page);
  bool ModTabShown();
  void StartLaunch();
  void ShowGameRunning();
  // Offers the newer launcher the start-up check found.
  void OfferUpdate();
  // Starts the updater with `commandLine` and ends the program, whether or not it started.
  void HandOverToUpdater(const std::string& commandLine);
  // Shows Btn_Max or Btn_Restore to match the window's state.
  void SyncMaxRestoreButtons();
  void NoteFirstPaint();

  FrameServices services_;
  const QString layoutFile_ = QStringLiteral("xmls\\Main_dlg.xml");

  ui::CControlUI* closeButton_ = nullptr;
  ui::CControlUI* maxButton_ = nullptr;
  ui::CControlUI* restoreButton_ = nullptr;
  ui::CControlUI* minButton_ = nullptr;
  ui::CControlUI* loginStatus_ = nullptr;
  ui::CControlUI* startButton_ = nullptr;
  ui::CControlUI* userName_ = nullptr;
  ui::CControlUI* settingsButton_ = nullptr;
  ui::COptionUI* gameOption_ = nullptr;
  ui::COptionUI* modOption_ = nullptr;
  ui::CTabLayoutUI* pages_ = nullptr;
  ui::CControlUI* serverName_ = nullptr;
  ui::CContainerUI* tiles_ = nullptr;

  std::string selectedVersion_;
  std::string selectedName_;

  std::unique_ptr<CLogWnd> logWnd_;
  std::unique_ptr<CLoadingWnd> loadingWnd_;
  // After the indicator, which its workers use to the end.
  std::unique_ptr<ModPage> modPage_;
  std::unique_ptr<InstanceCommands> instanceCommands_;
  std::unique_ptr<InstancePanel> instancePanel_;

  LaunchSequence launch_;
  std::atomic<bool> launching_{false};
  std::atomic<bool> launchCancelled_{false};  // the loading indicator's cancel button
  std::thread launchThread_;
  bool painted_ = false;

  std::mutex offerMutex_;
  std::string offeredVersion_;
  // Last, so that it stops before anything its thread reports to goes away.
  StartupCheck startupCheck_;
};

}  // namespace kv
