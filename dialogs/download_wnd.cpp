#include "dialogs/download_wnd.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "dialogs/window_messages.h"
#include "install/native_extraction.h"
#include "net/size_text.h"
#include "uilib/progress.h"
#include "uilib/ui_cast.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kDownloadWindowStyle = 0x96C80000;

void SetLabel(CControlUI* label, const QString& text) {
  if (label) label->SetText(text);
}

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

CDownLoadWnd::CDownLoadWnd(std::vector<DownloadItem> plan, DownloadOptions options)
    : engine_(std::move(plan), *this, options, UnpackDownloadedArchive, CheckDownloadedFile) {}

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
  total_ = paintManager_.FindControl(QStringLiteral("LB_Total"));
  cancelButton_ = paintManager_.FindControl(QStringLiteral("Btn_Cancel"));
  if (CControlUI* bar = paintManager_.FindControl(QStringLiteral("DownLoad_process"))) {
    progress_ = ui_cast<CProgressUI>(bar);
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
    case WMU_DL_FILE_INDEX:
      SetLabel(fileIndex_, QStringLiteral("(%1/%2)").arg(static_cast<int>(wParam)).arg(static_cast<int>(lParam)));
      return 0;
    case WMU_DL_PROGRESS:
      if (progress_) {
        // The range first, so that the value is not clamped to the previous file's total.
        progress_->SetMinValue(0);
        progress_->SetMaxValue(static_cast<int>(lParam));
        progress_->SetValue(static_cast<int>(wParam));
      }
      SetLabel(total_, QStringLiteral("已下载 %1 / %2")
                           .arg(QString::fromStdString(SizeText(static_cast<std::int64_t>(wParam) * 1024)),
                                QString::fromStdString(SizeText(static_cast<std::int64_t>(lParam) * 1024))));
      return 0;
    case WMU_DL_SPEED:
      if (!retrying_) SetLabel(speed_, QString::fromStdString(SpeedText(static_cast<std::int64_t>(wParam))));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

void CDownLoadWnd::ShowFileInfo(const std::string& name, std::int64_t size) {
  SetLabel(fileName_, QStringLiteral("下载文件:") + QString::fromStdString(name));
  if (fileName_) fileName_->SetToolTip(QString::fromStdString(name));
  SetLabel(fileSize_, QString::fromStdString(FileSizeText(size)));
  // The retried file's next attempt has begun: the speed label shows speeds again.
  if (retrying_ && name == retryingName_) {
    retrying_ = false;
    SetLabel(speed_, QString::fromStdString(SpeedText(0)));
    if (speed_) speed_->SetToolTip(QString());
  }
}

void CDownLoadWnd::ShowRetrying(const std::string& name, int failures, const std::string& reason) {
  retrying_ = true;
  retryingName_ = name;
  const QString text = RetryingText(failures, reason);
  SetLabel(speed_, text);
  if (speed_) speed_->SetToolTip(text);
}

// The counter and the progress are pairs of integers and travel as messages; the texts travel
// in tasks. Both share the window's queue, so each engine thread's reports keep their order.
void CDownLoadWnd::OnFileIndex(int done, int count) {
  PostMessage(WMU_DL_FILE_INDEX, static_cast<WPARAM>(done), count);
}

void CDownLoadWnd::OnFileInfo(const std::string& name, std::int64_t size) {
  PostTask([this, name, size] { ShowFileInfo(name, size); });
}

void CDownLoadWnd::OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) {
  PostMessage(WMU_DL_PROGRESS, static_cast<WPARAM>(ClampToInt(receivedKiB)), ClampToInt(totalKiB));
}

void CDownLoadWnd::OnSpeed(std::int64_t bytesLastSecond) {
  PostMessage(WMU_DL_SPEED, static_cast<WPARAM>(std::max<std::int64_t>(0, bytesLastSecond)), 0);
}

void CDownLoadWnd::OnRetrying(const std::string& name, int failures, std::chrono::milliseconds,
                              const std::string& reason) {
  PostTask([this, name, failures, reason] { ShowRetrying(name, failures, reason); });
}

void CDownLoadWnd::OnFinished(const DownloadOutcome& outcome) {
  finished_.store(true);
  // Queued behind every report of the run, so the labels are up to date when it closes.
  Close(static_cast<int>(outcome.result));
}

}  // namespace kv
