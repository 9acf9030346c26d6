#include "dialogs/log_wnd.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>

#include "dialogs/file_pickers.h"
#include "dialogs/message_dialog.h"
#include "dialogs/window_messages.h"
#include "uilib/rich_edit.h"
#include "uilib/ui_cast.h"
#include "uilib/window_placement.h"
#include "util/files.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kLogWindowStyle = 0x80420000;  // popup, not visible
// Narrow enough to stand beside the launcher on a 1366-pixel screen, wide enough for a line.
constexpr QSize kNarrowest(480, 492);
// Apart by more than the two windows' shadows.
constexpr int kGapToLauncher = 20;
// Lines over the limit before they are taken out, all at once.
constexpr int kLeaveOutBatch = 5000;

QString LeftOutLine(long long lines) {
  return QStringLiteral("…… 这里略去了 %1 行：日志窗口只保留开头的 %2 行和最近的 %3 行，完整的输出在启动器文件夹的 "
                        "log/game-latest.log ……")
      .arg(lines)
      .arg(CLogWnd::kFirstLines)
      .arg(CLogWnd::kLatestLines);
}

}  // namespace

bool CLogWnd::CreateHidden() {
  if (!Create(nullptr, QStringLiteral("日志"), kLogWindowStyle, WS_EX_WINDOWEDGE)) return false;
  RightWindow(GetHWND());
  return true;
}

void CLogWnd::ShowBeside(HWND launcher) {
  HWND window = GetHWND();
  if (!window) return;
  if (!window->isVisible()) MoveBeside(window, launcher, kNarrowest, kGapToLauncher);
  ShowWindow(true, true);
}

void CLogWnd::PostAppend(CLogWnd& window, std::string text) {
  window.PostTask([&window, chunk = std::move(text)] { window.Append(chunk); });
}

void CLogWnd::Append(const std::string& text) {
  if (!log_) return;
  log_->AppendText(QString::fromStdString(text));
  LeaveOutTheMiddle();
}

void CLogWnd::LeaveOutTheMiddle() {
  const int hasLeftOutLine = leftOut_ > 0 ? 1 : 0;
  // The last line is the one under way (empty after a line break): it comes on top of the latest.
  const int lines = log_->GetLineCount() - 1;
  if (lines <= kFirstLines + hasLeftOutLine + kLatestLines + kLeaveOutBatch) return;
  // The lines after the first ones, the line that tells of earlier ones included, become one.
  const int replaced = lines - kFirstLines - kLatestLines;
  leftOut_ += replaced - hasLeftOutLine;
  log_->ReplaceLines(kFirstLines, replaced, LeftOutLine(leftOut_));
  ShowNote(QStringLiteral("已略去 %1 行，完整的输出在 log/game-latest.log").arg(leftOut_));
}

void CLogWnd::Clear() {
  if (log_) log_->SetText(QString());
  leftOut_ = 0;
  ShowNote(QString());
}

QString CLogWnd::Text() const { return log_ ? log_->GetText() : QString(); }

QString CLogWnd::Note() const { return note_ ? note_->GetText() : QString(); }

void CLogWnd::ShowNote(const QString& text) {
  if (!note_) return;
  note_->SetText(text);
  note_->SetToolTip(text);
}

void CLogWnd::CopyText() {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(Text());
  ShowNote(QStringLiteral("已复制到剪贴板"));
}

void CLogWnd::SaveText() {
  if (!pickers_) return;
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  std::string path = QDir::home().filePath(QStringLiteral("游戏日志-%1.log").arg(stamp)).toStdString();
  if (!pickers_->BrowseForSaveFile(QStringLiteral("保存日志"), path, GetHWND())) return;
  const QByteArray bytes = Text().toUtf8();
  if (!WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    ShowMessageDialog(GetHWND(), QStringLiteral("无法保存日志到:\n%1").arg(QString::fromStdString(path)),
                      MessageKind::Error, QStringLiteral("提示"), kMessageOk);
    return;
  }
  ShowNote(QStringLiteral("已保存到 %1").arg(QString::fromStdString(path)));
}

void CLogWnd::InitControls() {
  CControlUI* control = paintManager_.FindControl(QStringLiteral("RE_Log"));
  log_ = ui_cast<CRichEditUI>(control);
  note_ = paintManager_.FindControl(QStringLiteral("LB_LogNote"));
  CControlUI* save = paintManager_.FindControl(QStringLiteral("Btn_SaveLog"));
  if (save) save->SetVisible(pickers_ != nullptr);
}

void CLogWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"Btn_Close") ShowWindow(false);
  else if (name == u"Btn_Min") SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == u"Btn_CopyLog") CopyText();
  else if (name == u"Btn_SaveLog") SaveText();
  else if (name == u"Btn_Ok") Close(IDOK);
  else if (name == u"Btn_Cancel") Close(IDCANCEL);
}

LRESULT CLogWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The window system's close (its close command, Alt+F4) hides the window like its close
  // button: the launcher window keeps it for the output of every later game.
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    ShowWindow(false);
    return 0;
  }
  return CDialogWindow::HandleMessage(msg, wParam, lParam);
}

LRESULT CLogWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  handled = msg == WMU_LOG_CLEAR;
  if (handled) Clear();
  return 0;
}

}  // namespace kv
