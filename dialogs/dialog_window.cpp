#include "dialogs/dialog_window.h"

#include <QDebug>
#include <QWidget>

#include "uilib/control.h"
#include "uilib/window_impl_base.h"

namespace kv {

using namespace ui;

ui::CControlUI* CDialogWindow::CreateControl(const QString&) { return nullptr; }

void CDialogWindow::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"Btn_Close") Close(IDCLOSE);
  else if (name == u"Btn_Cancel") Close(IDCANCEL);
  else if (name == u"Btn_Ok") Close(IDOK);
}

LRESULT CDialogWindow::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT CDialogWindow::OnCreate() {
  paintManager_.Init(GetHWND());
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetLayoutFile(), {}, UsesBuilderCallback() ? this : nullptr, &paintManager_);
  if (!root) {
    qWarning().noquote() << "cannot build" << GetLayoutFile() << ":" << builder.GetLastError();
    return -1;
  }
  paintManager_.AttachDialog(root);
  paintManager_.AddNotifier(this);
  InitControls();
  return 0;
}

bool CDialogWindow::PressButtonForKey(WPARAM key) {
  QString name;
  if (key == VK_ESCAPE) {
    name = CancelButtonName();
  } else if (key == VK_RETURN) {
    // A focused button answers Enter itself: Enter on Cancel cancels.
    CControlUI* focus = paintManager_.GetFocus();
    if (focus && focus->GetInterface(QStringLiteral("Button"))) return false;
    name = ConfirmButtonName();
  }
  if (name.isEmpty()) return false;
  CControlUI* button = paintManager_.FindControl(name);
  if (!button || !button->IsVisibleInTree()) return false;
  button->Activate();
  return true;
}

LRESULT CDialogWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_KEYDOWN:
      if (PressButtonForKey(wParam)) return 0;
      break;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) SetRoundCorner(paintManager_.GetRoundCorner());
      break;
    case WM_NCACTIVATE:
      if (!IsMinimized()) return wParam == 0 ? 1 : 0;
      break;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
      return 0;
    case WM_NCHITTEST: {
      QWidget* window = GetHWND();
      if (!window) return HTCLIENT;
      return CaptionHitTest(paintManager_, window->mapFromGlobal(PointFromLParam(lParam)), window->size(),
                            IsMaximized(), &IsCaptionDragControl);
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessage(WM_CLOSE);
        return 0;
      }
      return CWindowWnd::HandleMessage(msg, wParam, lParam);
    default:
      break;
  }
  if (msg >= WM_USER) {
    bool handled = false;
    const LRESULT result = HandleCustomMessage(msg, wParam, lParam, handled);
    if (handled) return result;
  }
  LRESULT result = 0;
  if (paintManager_.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace kv
