#include "dialogs/log_wnd.h"

#include "dialogs/window_messages.h"
#include "uilib/rich_edit.h"

namespace kv {

using namespace ui;

namespace {

constexpr UINT kLogWindowStyle = 0x80420000;  // popup, not visible

}  // namespace

bool CLogWnd::CreateHidden() {
  if (!Create(nullptr, QStringLiteral("日志"), kLogWindowStyle, WS_EX_WINDOWEDGE)) return false;
  RightWindow(GetHWND());
  return true;
}

void CLogWnd::PostAppend(CLogWnd& window, std::string text) {
  window.PostTask([&window, chunk = std::move(text)] { window.Append(chunk); });
}

void CLogWnd::Append(const std::string& text) {
  if (log_) log_->AppendText(QString::fromStdString(text));
}

QString CLogWnd::Text() const { return log_ ? log_->GetText() : QString(); }

void CLogWnd::InitControls() {
  CControlUI* control = paintManager_.FindControl(QStringLiteral("RE_Log"));
  log_ = control ? static_cast<CRichEditUI*>(control->GetInterface(QStringLiteral("RichEdit"))) : nullptr;
}

void CLogWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"Btn_Close") ShowWindow(false);
  else if (name == u"Btn_Min") SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
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
  if (handled && log_) log_->SetText(QString());
  return 0;
}

}  // namespace kv
