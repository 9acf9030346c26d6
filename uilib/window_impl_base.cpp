#include "uilib/window_impl_base.h"

#include <QDebug>
#include <QWidget>

#include "uilib/control.h"

namespace kv::ui {

bool IsCaptionDragControl(CControlUI* control) {
  static const QStringList dragging = {QStringLiteral("ControlUI"),          QStringLiteral("LabelUI"),
                                       QStringLiteral("ContainerUI"),        QStringLiteral("VerticalLayoutUI"),
                                       QStringLiteral("HorizontalLayoutUI"), QStringLiteral("TileLayoutUI"),
                                       QStringLiteral("TabLayoutUI"),        QStringLiteral("AnimationTabLayoutUI"),
                                       QStringLiteral("GifAnimUI")};
  if (!control) return false;
  for (CControlUI* c = control; c; c = c->GetParent()) {
    if (!dragging.contains(c->GetClass())) return false;
  }
  return true;
}

LRESULT CaptionHitTest(CPaintManagerUI& manager, QPoint pt, QSize size, bool maximized,
                       bool (*dragsAt)(CControlUI*)) {
  const int w = size.width();
  const int h = size.height();
  if (!maximized) {
    const UiRect& box = manager.GetSizeBox();
    const bool left = box.left > 0 && pt.x() < box.left;
    const bool right = box.right > 0 && pt.x() >= w - box.right;
    const bool top = box.top > 0 && pt.y() < box.top;
    const bool bottom = box.bottom > 0 && pt.y() >= h - box.bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  const UiRect& caption = manager.GetCaptionRect();
  const int captionBottom = caption.bottom < 0 ? h : caption.bottom;
  if (pt.x() >= caption.left && pt.x() < w - caption.right && pt.y() >= caption.top && pt.y() < captionBottom) {
    if (dragsAt(manager.FindControl(pt))) return HTCAPTION;
  }
  return HTCLIENT;
}

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

CControlUI* WindowImplBase::CreateControl(const QString&) { return nullptr; }

LRESULT WindowImplBase::OnCreate() {
  paintManager_.Init(GetHWND());
  paintManager_.AddPreMessageFilter(this);
  const QString folder = GetSkinDirectory();
  if (!folder.isEmpty()) CPaintManagerUI::SetResourcePath(folder);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetLayoutFile(), {}, this, &paintManager_);
  if (!root) {
    qWarning().noquote() << "cannot build" << GetLayoutFile() << ":" << builder.GetLastError();
    return -1;
  }
  paintManager_.AttachDialog(root);
  paintManager_.AddNotifier(this);
  OnWindowReady();
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(LPARAM lParam) {
  QWidget* window = GetHWND();
  if (!window) return HTCLIENT;
  const QPoint pt = window->mapFromGlobal(PointFromLParam(lParam));
  return CaptionHitTest(paintManager_, pt, window->size(), IsMaximized(), &IsCaptionDragControl);
}

void WindowImplBase::SyncMaxRestoreButtons() {
  CControlUI* maxButton = paintManager_.FindControl(QStringLiteral("maxbtn"));
  CControlUI* restoreButton = paintManager_.FindControl(QStringLiteral("restorebtn"));
  const bool maximized = IsMaximized();
  if (maxButton) maxButton->SetVisible(!maximized);
  if (restoreButton) restoreButton->SetVisible(maximized);
}

void WindowImplBase::OnSize(WPARAM kind) {
  if (kind == SIZE_MINIMIZED) return;
  SetRoundCorner(paintManager_.GetRoundCorner());
  SyncMaxRestoreButtons();
}

LRESULT WindowImplBase::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE);
    return 0;
  }
  const LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
  SyncMaxRestoreButtons();
  return result;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

bool WindowImplBase::ResponseDefaultKeyEvent(WPARAM key) {
  if (key == VK_ESCAPE) {
    Close();
    return true;
  }
  return false;
}

LRESULT WindowImplBase::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && ResponseDefaultKeyEvent(wParam)) handled = true;
  return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool handled = true;
  switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCCALCSIZE:
    case WM_NCPAINT: return 0;
    case WM_NCACTIVATE:
      if (IsMinimized()) {
        handled = false;
        break;
      }
      return wParam == 0 ? 1 : 0;
    case WM_SIZE:
      OnSize(wParam);
      handled = false;
      break;
    case WM_SYSCOMMAND:
      result = OnSysCommand(msg, wParam, lParam, handled);
      break;
    default:
      handled = false;
  }
  if (handled) return result;
  result = HandleCustomMessage(msg, wParam, lParam, handled);
  if (handled) return result;
  if (paintManager_.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || !msg.pSender) return;
  const QString& name = msg.pSender->GetName();
  if (name == u"closebtn") Close();
  else if (name == u"minbtn") SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == u"maxbtn") SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (name == u"restorebtn") SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

}  // namespace kv::ui
