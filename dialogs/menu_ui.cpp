#include "dialogs/menu_ui.h"

#include <QPainter>

#include "dialogs/menu_wnd.h"
#include "dialogs/window_messages.h"
#include "uilib/attribute_values.h"
#include "uilib/paint_manager.h"
#include "uilib/ui_cast.h"

namespace kv::ui {

// ---- CMenuUI ----

CMenuUI::CMenuUI() { GetHeader()->SetVisible(false); }

QString CMenuUI::GetClass() const { return QStringLiteral("MenuUI"); }

void* CMenuUI::GetInterface(const QString& name) {
  if (name.compare(u"Menu", Qt::CaseInsensitive) == 0) return this;
  return CListUI::GetInterface(name);
}

QSize CMenuUI::EstimateSize(QSize available) {
  int width = 0;
  int height = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (!item->IsVisible()) continue;
    const QSize size = item->EstimateSize(available);
    width = std::max(width, std::max(size.width(), item->GetFixedWidth()));
    height += size.height();
  }
  const UiRect& inset = GetInset();
  return {width + inset.left + inset.right, height + inset.top + inset.bottom};
}

// ---- CMenuElementUI ----

CMenuElementUI::CMenuElementUI() {
  cxyFixed_ = {134, 24};
  SetMouseChildEnabled(false);
}

QString CMenuElementUI::GetClass() const { return QStringLiteral("MenuElementUI"); }

void* CMenuElementUI::GetInterface(const QString& name) {
  if (name.compare(u"MenuElement", Qt::CaseInsensitive) == 0) return this;
  return CListContainerElementUI::GetInterface(name);
}

bool CMenuElementUI::GetChecked() const {
  const auto& states = CMenuWnd::CheckStates();
  auto it = states.find(name_);
  return it != states.end() && it->second;
}

void CMenuElementUI::SetChecked(bool checked) {
  CMenuWnd::CheckStates()[name_] = checked;
  Invalidate();
}

std::vector<CMenuElementUI*> CMenuElementUI::SubItems() const {
  std::vector<CMenuElementUI*> items;
  for (CControlUI* child : items_) {
    if (auto* item = ui_cast<CMenuElementUI>(child)) items.push_back(item);
  }
  return items;
}

bool CMenuElementUI::HasSubMenu() const { return !SubItems().empty() || subMenu_ != nullptr; }

bool CMenuElementUI::AddAt(CControlUI* control, int index) {
  if (!CListContainerElementUI::AddAt(control, index)) return false;
  // Child items belong to the sub-menu; inside the item they stay hidden.
  if (control->GetInterface(QStringLiteral("MenuElement"))) control->SetVisible(false);
  return true;
}

QSize CMenuElementUI::EstimateSize(QSize) {
  // Items fill the menu's width; the menu takes its width from the widest fixed one.
  return {0, separator_ ? kSeparatorHeight : (cxyFixed_.height() > 0 ? cxyFixed_.height() : 24)};
}

void CMenuElementUI::Choose() {
  if (!IsEnabled() || separator_ || !manager_) return;
  if (HasSubMenu()) {
    if (!subMenu_) {
      auto* window = new CMenuWnd();
      window->Init(this, QString(), nullptr, manager_->ClientToScreen({rcItem_.right, rcItem_.top}));
    }
    return;
  }
  if (checkItem_) SetChecked(!GetChecked());
  const bool checked = GetChecked();
  if (CWindowWnd* owner = CWindowWnd::FromHandle(CMenuWnd::OwnerWindow())) {
    // The name travels in the task; the owner borrows it while it handles the message. A task
    // runs only while its window exists, so `owner` is alive when it does.
    owner->PostTask([owner, name = name_, checked] {
      owner->SendMessage(WMU_MENU_COMMAND, reinterpret_cast<WPARAM>(&name), checked ? 1 : 0);
    });
  }
  CMenuWnd::ContextMenuObserver().Broadcast({1, nullptr});
}

void CMenuElementUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEvent::MouseEnter:
      CListContainerElementUI::DoEvent(event);
      if (IsEnabled() && !separator_ && row_.owner) row_.owner->SelectItem(row_.index);
      return;
    case UiEvent::ButtonDown:
    case UiEvent::DblClick:
      if (IsEnabled() && !separator_ && row_.owner) row_.owner->SelectItem(row_.index);
      return;
    case UiEvent::ButtonUp:
      if (rcItem_.Contains(event.ptMouse)) Choose();
      return;
    case UiEvent::RButtonDown:
    case UiEvent::ContextMenu:
      return;
    case UiEvent::KeyDown:
      if (event.chKey == VK_RETURN || event.chKey == VK_SPACE || (event.chKey == VK_RIGHT && HasSubMenu())) {
        Choose();
        return;
      }
      break;
    default:
      break;
  }
  CListContainerElementUI::DoEvent(event);
}

void CMenuElementUI::SetAttribute(const QString& rawName, const QString& value) {
  const QString name = rawName.toLower();
  if (name == u"icon") icon_ = value;
  else if (name == u"iconsize") iconSize_ = ParseSize(value);
  else if (name == u"checkitem") checkItem_ = ParseBool(value);
  else if (name == u"ischeck") {
    // The state kept from an earlier opening wins over the layout's.
    if (!name_.isEmpty() && !CMenuWnd::CheckStates().count(name_)) CMenuWnd::CheckStates()[name_] = ParseBool(value);
  } else if (name == u"type") {
    if (value.compare(u"line", Qt::CaseInsensitive) == 0) {
      separator_ = true;
      cxyFixed_.setHeight(kSeparatorHeight);
      SetEnabled(false);
      SetMouseEnabled(false);
    }
  } else if (name == u"expland") {
    expand_ = ParseBool(value);
  } else if (name == u"linecolor") {
    lineColor_ = ParseColor(value);
  } else {
    CListContainerElementUI::SetAttribute(rawName, value);
    return;
  }
  Invalidate();
}

void CMenuElementUI::DoPaint(QPainter& painter, const UiRect& paint) {
  if (!separator_) {
    CListContainerElementUI::DoPaint(painter, paint);
    return;
  }
  rcPaint_ = paint.Intersected(rcItem_);
  if (rcPaint_.IsEmpty()) return;
  painter.fillRect(QRect(rcItem_.left + 5, rcItem_.bottom - 5, std::max(0, rcItem_.Width() - 10), 1), ToQColor(lineColor_));
}

void CMenuElementUI::PaintStatusImage(QPainter& painter) {
  if (!icon_.isEmpty() && (!checkItem_ || GetChecked())) {
    const int x = (kIconColumn - iconSize_.width()) / 2;
    const int y = (rcItem_.Height() - iconSize_.height()) / 2;
    DrawImage(painter, QStringLiteral("file='%1' dest='%2,%3,%4,%5'")
                           .arg(icon_)
                           .arg(x)
                           .arg(y)
                           .arg(x + iconSize_.width())
                           .arg(y + iconSize_.height()));
  }
  if (expand_ && manager_) {
    const QString arrow = manager_->GetDefaultAttributeList(QStringLiteral("ExplandIcon"));
    const int w = rcItem_.Width();
    const int y = (rcItem_.Height() - 9) / 2;
    if (!arrow.isEmpty()) {
      DrawImage(painter, QStringLiteral("file='%1' dest='%2,%3,%4,%5'").arg(arrow).arg(w - 20).arg(y).arg(w - 11).arg(y + 9));
    }
  }
}

}  // namespace kv::ui
