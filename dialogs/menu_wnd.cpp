#include "dialogs/menu_wnd.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "uilib/control.h"
#include "uilib/ui_cast.h"

namespace kv::ui {

namespace {

QPointer<QWidget>& OwnerWindowSlot() {
  static QPointer<QWidget> owner;
  return owner;
}

QRect WorkAreaAt(QPoint point) {
  QScreen* screen = QGuiApplication::screenAt(point);
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}

}  // namespace

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() = default;

ObserverImpl& CMenuWnd::ContextMenuObserver() {
  static ObserverImpl observer;
  return observer;
}

HWND CMenuWnd::OwnerWindow() { return OwnerWindowSlot().data(); }

std::map<QString, bool>& CMenuWnd::CheckStates() {
  static std::map<QString, bool> states;
  return states;
}

void CMenuWnd::Init(CMenuElementUI* ownerItem, const QString& xml, CPaintManagerUI* ownerManager, QPoint screenPoint,
                    std::function<void(CMenuUI&)> amend) {
  ownerItem_ = ownerItem;
  amend_ = std::move(amend);
  xml_ = xml;
  point_ = screenPoint;
  HWND parent = nullptr;
  if (ownerItem_) {
    ownerItem_->SetSubMenuWindow(this);
    parent = ownerItem_->GetManager() ? ownerItem_->GetManager()->GetPaintWindow() : nullptr;
  } else {
    parent = ownerManager ? ownerManager->GetPaintWindow() : nullptr;
    OwnerWindowSlot() = parent;
  }
  ContextMenuObserver().AddReceiver(this);
  if (!Create(parent, QString(), WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) return;  // freed by its final message
  ShowWindow(true, true);
}

CControlUI* CMenuWnd::CreateControl(const QString& className) {
  if (className.compare(u"Menu", Qt::CaseInsensitive) == 0) return new CMenuUI();
  if (className.compare(u"MenuElement", Qt::CaseInsensitive) == 0) return new CMenuElementUI();
  return nullptr;
}

LRESULT CMenuWnd::OnCreate() {
  paintManager_.Init(GetHWND());
  if (ownerItem_) return CreateSubMenu();
  CDialogBuilder builder;
  CControlUI* root = builder.Create(xml_, {}, this, &paintManager_);
  if (!root) return -1;
  root_ = ui_cast<CMenuUI>(root);
  if (root_ && amend_) amend_(*root_);
  paintManager_.AttachDialog(root);
  paintManager_.AddNotifier(this);
  const QSize size = root->EstimateSize(WorkAreaAt(point_).size());
  // Placed where asked even near the screen's edge, as the opening window chose the point.
  GetHWND()->setGeometry(QRect(point_, size));
  return 0;
}

LRESULT CMenuWnd::CreateSubMenu() {
  CPaintManagerUI* ownerManager = ownerItem_->GetManager();
  if (!ownerManager) return -1;
  paintManager_.SetDefaultFont(ownerManager->GetDefaultFont());
  for (int id = 0; id < 16; ++id) paintManager_.AddFont(id, ownerManager->GetFont(id));
  paintManager_.AddDefaultAttributeList(QStringLiteral("ExplandIcon"),
                                        ownerManager->GetDefaultAttributeList(QStringLiteral("ExplandIcon")));
  auto* menu = new CMenuUI();
  root_ = menu;
  menu->SetManager(&paintManager_, nullptr, false);
  menu->ApplyAttributeList(ownerManager->GetDefaultAttributeList(QStringLiteral("Menu")));
  for (CMenuElementUI* item : ownerItem_->SubItems()) {
    ownerItem_->Remove(item, true);
    item->SetVisible(true);
    menu->Add(item);
  }
  paintManager_.AttachDialog(menu);
  paintManager_.AddNotifier(this);

  // To the right of the item, flipped left or up when it would leave the work area.
  QWidget* ownerWindow = ownerManager->GetPaintWindow();
  const QRect ownerRect = ownerWindow ? ownerWindow->frameGeometry() : QRect(point_, QSize(0, 0));
  const QRect work = WorkAreaAt(point_);
  const QSize size = menu->EstimateSize(work.size());
  QPoint pos(ownerRect.right() + 1, point_.y());
  if (pos.x() + size.width() > work.right() + 1) pos.setX(ownerRect.left() - size.width());
  if (pos.y() + size.height() > work.bottom() + 1) pos.setY(std::max(work.top(), work.bottom() + 1 - size.height()));
  pos.setX(std::max(pos.x(), work.left()));
  GetHWND()->setGeometry(QRect(pos, size));
  return 0;
}

bool CMenuWnd::Receive(ContextMenuParam param) {
  if (param.wParam == 1) {
    Close();
    return true;
  }
  if (param.wParam == 2 && param.hWnd) {
    for (QWidget* w = GetHWND(); w; w = w->parentWidget()) {
      if (w == param.hWnd) {
        Close();
        return true;
      }
    }
  }
  return false;
}

bool CMenuWnd::IsOverAnyMenu(QPoint global) const {
  for (ReceiverImpl* receiver : ContextMenuObserver().Receivers()) {
    auto* menu = dynamic_cast<CMenuWnd*>(receiver);
    QWidget* window = menu ? menu->GetHWND() : nullptr;
    if (window && window->isVisible() && window->frameGeometry().contains(global)) return true;
  }
  return false;
}

void CMenuWnd::MoveSelection(int direction) {
  if (!root_ || root_->GetCount() == 0) return;
  const int count = root_->GetCount();
  int index = root_->GetCurSel();
  for (int step = 0; step < count; ++step) {
    index = index < 0 ? (direction > 0 ? 0 : count - 1) : (index + direction + count) % count;
    CControlUI* item = root_->GetItemAt(index);
    if (item && item->IsVisible() && item->IsEnabled()) {
      root_->SelectItem(index);
      return;
    }
  }
}

LRESULT CMenuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  QWidget* window = GetHWND();
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_LEFT) {
        Close();
        return 0;
      }
      if (wParam == VK_UP || wParam == VK_DOWN) {
        MoveSelection(wParam == VK_UP ? -1 : 1);
        return 0;
      }
      if ((wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_RIGHT) && root_) {
        if (auto* item = static_cast<CMenuElementUI*>(root_->GetItemAt(root_->GetCurSel()))) {
          if (wParam != VK_RIGHT || item->HasSubMenu()) item->Choose();
        }
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (window && !IsOverAnyMenu(window->mapToGlobal(PointFromLParam(lParam)))) {
        ContextMenuObserver().Broadcast({1, nullptr});
        return 0;
      }
      if (msg == WM_RBUTTONDOWN) return 0;
      break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) SetRoundCorner(paintManager_.GetRoundCorner());
      break;
    case WM_NCHITTEST:
      return HTCLIENT;
    default:
      break;
  }
  LRESULT result = 0;
  if (paintManager_.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick && msg.sType != kNotifyValueChanged) return;
  if (CPaintManagerUI* owner = CPaintManagerUI::ForWindow(OwnerWindow())) owner->SendNotify(msg);
}

void CMenuWnd::OnFinalMessage(HWND) {
  RemoveObserver();
  // Open sub-menus lose the items they would give back, which go with this menu.
  if (root_) {
    for (int i = 0; i < root_->GetCount(); ++i) {
      auto* item = ui_cast<CMenuElementUI>(root_->GetItemAt(i));
      if (CMenuWnd* sub = item ? item->GetSubMenuWindow() : nullptr) {
        sub->ownerItem_ = nullptr;
        item->SetSubMenuWindow(nullptr);
        sub->Close();
      }
    }
  }
  if (ownerItem_) {
    // The sub-menu's items go back to the item they came from.
    if (root_) {
      while (root_->GetCount() > 0) {
        CControlUI* item = root_->GetItemAt(0);
        root_->RemoveAt(0, true);
        ownerItem_->Add(item);
      }
    }
    ownerItem_->SetSubMenuWindow(nullptr);
    ownerItem_->Invalidate();
  }
  delete this;
}

}  // namespace kv::ui
