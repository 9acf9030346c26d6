#pragma once

#include <atomic>
#include <functional>

#include "net/download_sink.h"
#include "play/launch_sink.h"

namespace kv::ui {
class CWindowWnd;
}

// How a launch started from the launcher window shows itself: the loading indicator says each
// step and is finished, messages and the download window run on the GUI thread while the
// launch waits, and the game's run hides and shows the window and feeds the log window through
// posted messages. Every call comes from the launch's thread.
namespace kv {

class CLoadingWnd;
class CLogWnd;

class GuiLaunchSink : public LaunchSink {
 public:
  // What the player chose to do about a crash, and the crashed game's folder; called on the
  // launch's thread.
  using CrashActionChosen = std::function<void(CrashAction action, const std::string& gameFolder)>;

  // `log` may be null: the launch then sends no output anywhere. `cancelled` is set by the
  // indicator's cancel button.
  GuiLaunchSink(ui::CWindowWnd& frame, CLoadingWnd& loading, CLogWnd* log, const std::atomic<bool>& cancelled,
                CrashActionChosen onCrashAction = {});

  void FinishLoading() override;
  void ShowStage(const std::string& text) override;
  bool CancelRequested() const override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  // The crash notice, with the crash's action as a button when there is one to offer.
  void ShowGameCrash(const GameCrash& crash) override;
  // Asks; when the player agrees, the frame hands over to the Java download (WMU_DOWNLOAD_JAVA).
  void OfferJavaDownload(const std::string& text) override;
  bool ConfirmRuntimeDownload(int major, const std::string& component) override;
  bool ConfirmJavaReplacement(const std::string& text) override;
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override;
  std::optional<std::size_t> ChooseProfile(const std::vector<std::string>& names) override;
  void ShowLauncher(bool visible) override;
  bool HasLogWindow() const override;
  void ShowLog(bool visible) override;
  void ClearLog() override;
  void AppendLog(const std::string& text) override;

 private:
  ui::CWindowWnd& frame_;
  CLoadingWnd& loading_;
  CLogWnd* log_;
  const std::atomic<bool>& cancelled_;
  CrashActionChosen onCrashAction_;
};

}  // namespace kv
