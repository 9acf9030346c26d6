#pragma once

#include <atomic>
#include <vector>

#include "dialogs/dialog_window.h"
#include "net/download_engine.h"

namespace kv::ui {
class CProgressUI;
}

// The download window: fetches a download plan with the download engine, several files at
// once, and shows the file whose answer began last (its name and size), how many files are in
// place of how many, the speed of all transfers together, a progress bar over the bytes of the
// whole run with the bytes in place of all, and a cancel button. The engine's threads only
// post to it (messages and tasks); the window closes itself when the engine has finished: 1
// when every file is in place, 2 when the player cancelled, 3 when a file kept failing.
namespace kv {

class CDownLoadWnd : public CDialogWindow, private DownloadSink {
 public:
  explicit CDownLoadWnd(std::vector<DownloadItem> plan, DownloadOptions options = {});
  ~CDownLoadWnd() override;

  // GUI thread: opens the window over `owner`, runs it until the downloads have ended and
  // returns how they ended. A run interrupted by the program quitting counts as cancelled.
  DownloadOutcome Run(ui::HWND owner);

  // Asks the engine to stop; the window stays until the engine has finished.
  void Cancel();

  void Notify(ui::TNotifyUI& msg) override;
  ui::LRESULT HandleMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam) override;

  // The speed label while a file waits for its next attempt.
  static QString RetryingText(int failures, const std::string& reason);

 protected:
  QString GetWindowClass() const override { return QStringLiteral("KvDownLoadWnd"); }
  QString GetLayoutFile() const override { return QStringLiteral("xmls\\DownLoad_dlg.xml"); }
  void InitControls() override;
  ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam, bool& handled) override;

 private:
  // DownloadSink, called on the engine's threads: each posts one message or task.
  void OnFileIndex(int done, int count) override;
  void OnFileInfo(const std::string& name, std::int64_t size) override;
  void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) override;
  void OnSpeed(std::int64_t bytesLastSecond) override;
  void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                  const std::string& reason) override;
  void OnFinished(const DownloadOutcome& outcome) override;

  // GUI thread: the labels of a new attempt at a file, and of a file waiting to be tried again.
  void ShowFileInfo(const std::string& name, std::int64_t size);
  void ShowRetrying(const std::string& name, int failures, const std::string& reason);

  ui::CControlUI* fileName_ = nullptr;
  ui::CControlUI* fileSize_ = nullptr;
  ui::CControlUI* speed_ = nullptr;
  ui::CControlUI* fileIndex_ = nullptr;
  ui::CControlUI* total_ = nullptr;
  ui::CProgressUI* progress_ = nullptr;
  ui::CControlUI* cancelButton_ = nullptr;

  bool started_ = false;
  bool retrying_ = false;  // the speed label shows a retry until that file's next answer begins
  std::string retryingName_;
  std::atomic<bool> finished_{false};
  DownloadEngine engine_;
};

}  // namespace kv
