#include "dialogs/download_wnd.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

#include "dialogs/window_messages.h"
#include "install/native_extraction.h"
#include "net/size_text.h"
#include "uilib/progress.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kDownloadWindowStyle = 0x96C80000;

struct FileCounter {
  int position;
  int count;
};

struct FileProgress {
  std::int64_t receivedKiB;
  std::int64_t totalKiB;
};

struct FileInfo {
  std::string name;
  std::int64_t size;
};

struct RetryInfo {
  int failures;
  std::string reason;
};

// Queues a message whose lParam is a heap payload; the window owns it once it is queued.
template <typename Payload>
void PostOwned(CWindowWnd& window, UINT msg, std::unique_ptr<Payload> payload) {
  if (window.PostMessage(msg, 0, reinterpret_cast<LPARAM>(payload.get()))) payload.release();
}

template <typename Payload>
std::unique_ptr<Payload> TakeOwned(LPARAM lParam) {
  return std::unique_ptr<Payload>(reinterpret_cast<Payload*>(lParam));
}

void SetLabel(CControlUI* label, const QString& text) {
  if (label) label->SetText(text);
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

CDownLoadWnd::CDownLoadWnd(std::vector<DownloadItem> plan, DownloadOptions options)
    : engine_(std::move(plan), *this, options, UnpackDownloadedArchive) {}

// The engine (a member) stops and joins its threads before the window itself goes.
CDownLoadWnd::~CDownLoadWnd() = default;

QString CDownLoadWnd::RetryingText(int failures, const std::string& reason) {
  return QStringLiteral("重试中…第%1次失败: %2").arg(failures).arg(QString::fromStdString(reason));
}

DownloadOutcome CDownLoadWnd::Run(HWND owner) {
  // Created hidden and shown by the modal run once it is centred.
  if (!Create(owner, QStringLiteral("下载文件"), kDownloadWindowStyle & ~WS_VISIBLE, WS_EX_WINDOWEDGE)) {
    return {DownloadResult::Failed, {}, "cannot open the download window"};
  }
  CenterWindow();
  ShowModal();
  DestroyWindow();
  if (!started_) return {DownloadResult::Cancelled, {}, {}};
  // Ended by the program quitting: the engine is told to stop like a cancel.
  if (!finished_.load()) engine_.Cancel();
  return engine_.Wait();
}

void CDownLoadWnd::Cancel() {
  engine_.Cancel();
  if (cancelButton_) cancelButton_->SetEnabled(false);
}

void CDownLoadWnd::InitControls() {
  fileName_ = paintManager_.FindControl(QStringLiteral("LB_FileName"));
  fileSize_ = paintManager_.FindControl(QStringLiteral("LB_FileSize"));
  speed_ = paintManager_.FindControl(QStringLiteral("LB_DownLoadSpeed"));
  fileIndex_ = paintManager_.FindControl(QStringLiteral("LB_FileIndex"));
  cancelButton_ = paintManager_.FindControl(QStringLiteral("Btn_Cancel"));
  if (CControlUI* bar = paintManager_.FindControl(QStringLiteral("DownLoad_process"))) {
    progress_ = static_cast<CProgressUI*>(bar->GetInterface(QStringLiteral("Progress")));
  }
}

void CDownLoadWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    if (!started_) {
      started_ = true;
      engine_.Start();
    }
  } else if (msg.sType == kNotifyClick && msg.pSender && msg.pSender == cancelButton_) {
    Cancel();
  }
}

LRESULT CDownLoadWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Only the engine ends the window; any other close (the system's close command, say) is a
  // cancel, and the window goes when the engine has stopped.
  if (msg == WM_CLOSE && started_ && !finished_.load()) {
    Cancel();
    return 0;
  }
  return CDialogWindow::HandleMessage(msg, wParam, lParam);
}

LRESULT CDownLoadWnd::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (msg) {
    case WMU_DL_FILE_INDEX: {
      auto counter = TakeOwned<FileCounter>(lParam);
      SetLabel(fileIndex_, QStringLiteral("(%1/%2)").arg(counter->position).arg(counter->count));
      return 0;
    }
    case WMU_DL_FILE_INFO: {
      auto info = TakeOwned<FileInfo>(lParam);
      SetLabel(fileName_, QStringLiteral("下载文件:") + QString::fromStdString(info->name));
      if (fileName_) fileName_->SetToolTip(QString::fromStdString(info->name));
      SetLabel(fileSize_, QString::fromStdString(FileSizeText(info->size)));
      // A new attempt has started: the speed label shows speeds again.
      if (retrying_) {
        retrying_ = false;
        SetLabel(speed_, QString::fromStdString(SpeedText(0)));
        if (speed_) speed_->SetToolTip(QString());
      }
      return 0;
    }
    case WMU_DL_PROGRESS: {
      auto progress = TakeOwned<FileProgress>(lParam);
      if (progress_) {
        // The range first, so that the value is not clamped to the previous file's total.
        progress_->SetMinValue(0);
        progress_->SetMaxValue(ClampToInt(progress->totalKiB));
        progress_->SetValue(ClampToInt(progress->receivedKiB));
      }
      return 0;
    }
    case WMU_DL_SPEED:
      if (!retrying_) SetLabel(speed_, QString::fromStdString(SpeedText(static_cast<std::int64_t>(wParam))));
      return 0;
    case WMU_DL_RETRYING: {
      auto retry = TakeOwned<RetryInfo>(lParam);
      retrying_ = true;
      const QString text = RetryingText(retry->failures, retry->reason);
      SetLabel(speed_, text);
      if (speed_) speed_->SetToolTip(text);
      return 0;
    }
    default:
      handled = false;
      return 0;
  }
}

void CDownLoadWnd::OnFileIndex(int position, int count) {
  PostOwned(*this, WMU_DL_FILE_INDEX, std::make_unique<FileCounter>(FileCounter{position, count}));
}

void CDownLoadWnd::OnFileInfo(const std::string& name, std::int64_t size) {
  PostOwned(*this, WMU_DL_FILE_INFO, std::make_unique<FileInfo>(FileInfo{name, size}));
}

void CDownLoadWnd::OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) {
  PostOwned(*this, WMU_DL_PROGRESS, std::make_unique<FileProgress>(FileProgress{receivedKiB, totalKiB}));
}

void CDownLoadWnd::OnSpeed(std::int64_t bytesLastSecond) {
  PostMessage(WMU_DL_SPEED, static_cast<WPARAM>(std::max<std::int64_t>(0, bytesLastSecond)), 0);
}

void CDownLoadWnd::OnRetrying(const std::string&, int failures, std::chrono::milliseconds, const std::string& reason) {
  PostOwned(*this, WMU_DL_RETRYING, std::make_unique<RetryInfo>(RetryInfo{failures, reason}));
}

void CDownLoadWnd::OnFinished(const DownloadOutcome& outcome) {
  finished_.store(true);
  // Queued behind every report of the run, so the labels are up to date when it closes.
  Close(static_cast<int>(outcome.result));
}

}  // namespace kv
